#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "history/HashHistory.h"
#include "platform/WorkHooks.h"

namespace qv {

// Settings the readers apply to records taken from a file.
struct HistoryReadOptions {
    int32_t keepDays = 14;    // records registered before now - keepDays are dropped
    int64_t sizeLimit = 0;    // records of files smaller than this are dropped
};

// The merge rules for records read from a file, for one reading. Merge mode is on when the
// store held entries when reading began: a present key takes the read record only when that
// was registered later. Other records pass the size limit and the keep period, then the
// first of equal keys stays. New entries are gathered and joined to the store in one sorted
// pass by Finish (also run by the destructor), so a large file loads in n log n, not n^2.
// Until Finish, Find does not see the new entries.
class HistoryMerge {
public:
    HistoryMerge(HashHistory& store, const HistoryReadOptions& options, double now);
    ~HistoryMerge();
    HistoryMerge(const HistoryMerge&) = delete;
    HistoryMerge& operator=(const HistoryMerge&) = delete;

    void MergeRecord(std::string_view path, const HistoryRecord& record);
    void Finish();

    bool MergeMode() const { return mergeMode_; }
    double CutOff() const { return cutOff_; }

private:
    struct Pending {
        HashHistory::EntryPtr entry;
        bool admitted;   // passed the size limit and the keep period
    };

    HashHistory& store_;
    HistoryReadOptions options_;
    bool mergeMode_;
    double cutOff_;
    std::vector<Pending> pending_;
    bool pendingSorted_ = true;
};

// Binary form: int32 count, then per entry int32 path length, the path bytes and a 72-byte
// record, all little-endian. Reading stops at a short file or a path length outside 1..4096,
// keeping what was read. False when cancelled, not read to its end, or longer than its count
// says; only a regular file is opened. why (when given) gets the reason of a failure that was
// not a stop, for a message naming the file.
bool ReadHistoryFile(HashHistory& store, const std::string& path,
                     const HistoryReadOptions& options, WorkHooks& ui, std::string* why = nullptr);
// Writes the whole store to a temporary file beside path and renames it over path when
// complete. On failure the message box is shown, the old file stays, and the result is false.
bool WriteHistoryFile(const HashHistory& store, const std::string& path, WorkHooks& ui);

// Text form: one CR LF line per entry: "path",size,"file time","registered",MD5,CRC.
bool ReadHistoryText(HashHistory& store, const std::string& path,
                     const HistoryReadOptions& options, WorkHooks& ui);
// A path holding a line break cannot be carried by a line: such entries are left out and
// counted in skipped.
bool WriteHistoryText(const HashHistory& store, const std::string& path, WorkHooks& ui, int32_t* skipped = nullptr);

// The pieces of the text form, exposed for tests and for other readers of comma lists.
std::vector<std::string> SplitHistoryLine(std::string_view line);
// One line without its CR LF; false when the path cannot be carried (it holds a line break).
bool FormatHistoryLine(std::string_view path, const HistoryRecord& record, std::string& line);
// The 72-byte record of the binary form.
void EncodeRecordBytes(const HistoryRecord& record, unsigned char out[72]);
HistoryRecord DecodeRecordBytes(const unsigned char in[72]);

// The write-failure message box text.
std::string HistorySaveErrorText(const std::string& path, int errorCode);
// The box text for a history file that could not be read, with the reason.
std::string HistoryReadErrorText(const std::string& path, const std::string& reason);

}  // namespace qv
