#pragma once
// The history search of the clip viewer: which remembered file a selected code belongs to.

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class HashHistory;

struct HistorySearchResult {
    int32_t index = -1;   // the record to show as the current result; -1: none (mismatch sound)
    std::string status;
};

// An 8-character selection is looked up as a CRC, a 32-character one as an MD5 (nothing is
// trimmed); the first record in index order wins, so the path that sorts first is shown.
HistorySearchResult SearchHistoryByCode(const HashHistory& history, std::string_view selected);

}  // namespace qv
