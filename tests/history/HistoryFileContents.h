#pragma once
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "history/HistoryFiles.h"

namespace qv {

// The keys of a history store, in its order.
inline std::vector<std::string> KeysOf(const HashHistory& h)
{
    std::vector<std::string> keys;
    for (int32_t i = 0; i < h.Count(); ++i) keys.push_back(h.PathAt(i));
    return keys;
}

// The keys a binary history file holds, whatever their age; the file must read to its end.
inline std::vector<std::string> KeysIn(const std::string& file)
{
    HashHistory h;
    WorkHooks ui;
    EXPECT_TRUE(ReadHistoryFile(h, file, HistoryReadOptions{std::numeric_limits<int32_t>::max(), 0}, ui)) << file;
    return KeysOf(h);
}

}  // namespace qv
