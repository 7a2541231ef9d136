#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// What the history remembers about one file. Codes are upper-case hex text.
struct HistoryRecord {
    int64_t Size = 0;           // bytes when the codes were computed
    double FileTime = 0.0;      // last-write stamp (whole seconds) at that moment
    double RegisteredAt = 0.0;  // local date-time the codes were last computed
    std::string Md5;            // at most 32 characters
    std::string Crc;            // at most 8 characters

    bool operator==(const HistoryRecord&) const = default;
};

// Longest path any history file form carries (PATH_MAX).
inline constexpr size_t kMaxHistoryPathBytes = 4096;
inline constexpr size_t kMd5TextLength = 32;
inline constexpr size_t kCrcTextLength = 8;

// A key every file form can carry: 1..4096 bytes and no NUL.
bool IsValidHistoryKey(std::string_view path);

// The validity rule: a record describes a file whose stamp has this size and time.
inline bool RecordMatchesStamp(const HistoryRecord& record, int64_t size, double stamp)
{
    return record.Size == size && record.FileTime == stamp;
}

}  // namespace qv
