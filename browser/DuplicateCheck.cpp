#include "browser/DuplicateCheck.h"

#include "browser/PatternSearch.h"
#include "history/HashHistory.h"
#include "platform/NumberFormat.h"

#include <cstring>
#include <unordered_map>

namespace qv {
namespace {

// The CRC text's first eight bytes and its length: a cheap first test that reads nothing
// outside the record (the MD5 text lives elsewhere in memory).
uint64_t CrcProbe(const std::string& crc)
{
    uint64_t bytes = 0;
    std::memcpy(&bytes, crc.data(), std::min<size_t>(crc.size(), sizeof bytes));
    return bytes ^ (uint64_t(crc.size()) << 59);
}

struct ProbeHash {
    size_t operator()(uint64_t key) const { return MixBits(key); }
};

// The distinct code pairs the rows show, each with how many history records hold it.
struct WantedPairs {
    struct Pair {
        const std::string* crc;
        const std::string* md5;
        int32_t holders = 0;
        int32_t nextSameProbe = -1;
    };
    std::vector<Pair> pairs;
    FlatIdTable<uint64_t, ProbeHash> byProbe;

    int32_t Find(const std::string& crc, const std::string& md5) const
    {
        for (int32_t id = byProbe.Find(CrcProbe(crc)); id >= 0; id = pairs[size_t(id)].nextSameProbe)
            if (*pairs[size_t(id)].crc == crc && *pairs[size_t(id)].md5 == md5) return id;
        return -1;
    }
    int32_t Add(const std::string& crc, const std::string& md5)
    {
        if (const int32_t id = Find(crc, md5); id >= 0) return id;
        const auto id = static_cast<int32_t>(pairs.size());
        const int32_t first = byProbe.Insert(CrcProbe(crc), id);
        pairs.push_back({&crc, &md5, 0, first == id ? -1 : pairs[size_t(first)].nextSameProbe});
        if (first != id) pairs[size_t(first)].nextSameProbe = id;
        return id;
    }
};

}  // namespace

std::string DuplicateCheckStatus(int duplicates)
{
    return "一括重複チェック完了  重複件数 " + FormatGrouped(duplicates) + "件";
}

DuplicateCheckResult BulkDuplicateCheck(const FolderContents& contents, const HashHistory& history)
{
    WantedPairs wanted;
    std::vector<int32_t> pairOf;
    pairOf.reserve(contents.rows.size());
    for (const FileRow& row : contents.rows)
        pairOf.push_back(row.crc.empty() || row.md5.empty() ? -1 : wanted.Add(row.crc, row.md5));
    for (int32_t i = 0; i < history.Count() && !wanted.pairs.empty(); ++i) {
        const HistoryRecord& record = history.RecordAt(i);
        if (const int32_t id = wanted.Find(record.Crc, record.Md5); id >= 0) ++wanted.pairs[size_t(id)].holders;
    }

    DuplicateCheckResult result;
    result.marks.reserve(contents.rows.size());
    for (size_t r = 0; r < contents.rows.size(); ++r) {
        const FileRow& row = contents.rows[r];
        int32_t others = 0;
        if (pairOf[r] >= 0) {
            others = wanted.pairs[size_t(pairOf[r])].holders;
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
    if (result.duplicates > 0) result.sound = Notification::Duplicate;
    return result;
}

}  // namespace qv
