#pragma once
#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/Paths.h"

namespace qv {

// ComparePathKeys, after skipping the bytes both keys share exactly: neighbouring keys share
// long folder prefixes, and equal bytes cannot change a folded or an exact comparison.
inline int CompareHistoryKeys(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    size_t same = 0;
    while (same + 8 <= n && std::memcmp(a.data() + same, b.data() + same, 8) == 0) same += 8;
    while (same < n && a[same] == b[same]) ++same;
    return ComparePathKeys(a.substr(same), b.substr(same));
}

}  // namespace qv
