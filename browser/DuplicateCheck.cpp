#include "browser/DuplicateCheck.h"

#include "history/HashHistory.h"
#include "platform/NumberFormat.h"

#include <unordered_map>

namespace qv {
namespace {

// One text for the pair; the CRC's length first so no two pairs give the same text.
void PairKey(std::string& key, const std::string& crc, const std::string& md5)
{
    const size_t length = crc.size();
    key.assign(reinterpret_cast<const char*>(&length), sizeof length);
    key += crc;
    key += md5;
}

}  // namespace

std::string DuplicateCheckStatus(int duplicates)
{
    return "一括重複チェック完了  重複件数 " + FormatGrouped(duplicates) + "件";
}

DuplicateCheckResult BulkDuplicateCheck(const FolderContents& contents, const HashHistory& history)
{
    // How many records hold each pair that a row shows.
    std::unordered_map<std::string, int32_t> holders;
    std::string key;
    for (const FileRow& row : contents.rows) {
        if (row.crc.empty() || row.md5.empty()) continue;
        PairKey(key, row.crc, row.md5);
        holders.emplace(key, 0);
    }
    for (int32_t i = 0; i < history.Count() && !holders.empty(); ++i) {
        const HistoryRecord& record = history.RecordAt(i);
        PairKey(key, record.Crc, record.Md5);
        const auto it = holders.find(key);
        if (it != holders.end()) ++it->second;
    }

    DuplicateCheckResult result;
    result.marks.reserve(contents.rows.size());
    for (size_t r = 0; r < contents.rows.size(); ++r) {
        const FileRow& row = contents.rows[r];
        int32_t others = 0;
        if (!row.crc.empty() && !row.md5.empty()) {
            PairKey(key, row.crc, row.md5);
            others = holders[key];
            // Paths are exact keys, so at most one of the holders is the row's own record.
            int32_t own = -1;
            if (history.Find(contents.PathOf(r), own) && history.RecordAt(own).Crc == row.crc &&
                history.RecordAt(own).Md5 == row.md5)
                --others;
        }
        result.marks.push_back(others > 0 ? ResultMark::HashAndName : ResultMark::Nothing);
        if (others > 0) ++result.duplicates;
    }
    result.status = DuplicateCheckStatus(result.duplicates);
    result.sound = result.duplicates > 0 ? BulkSound::Duplicate : BulkSound::None;
    return result;
}

}  // namespace qv
