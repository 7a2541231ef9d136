#include "history/Duplicates.h"

#include "history/HashHistory.h"
#include "platform/DirSearch.h"

namespace qv {

std::vector<std::string> FindDuplicates(HashHistory& history, int32_t& index,
                                        const std::function<bool(const std::string&)>& exists)
{
    std::vector<std::string> rows;
    if (index < 0 || index >= history.Count()) return rows;
    // Copies: RemoveAt below may move the record at index.
    const HistoryRecord wanted = history.RecordAt(index);
    for (int32_t i = history.Count() - 1; i >= 0; --i) {
        const HistoryRecord& r = history.RecordAt(i);
        if (r.Size != wanted.Size || r.Crc != wanted.Crc || r.Md5 != wanted.Md5) continue;
        const std::string path = history.PathAt(i);
        const bool present = exists ? exists(path) : FileExists(path);
        if (present) {
            rows.push_back(path);
        } else if (i != index) {
            history.RemoveAt(i);
            if (i < index) --index;
        }
        // The shown record itself is never removed here, so index keeps naming a record.
    }
    return rows;
}

}  // namespace qv
