// The bulk duplicate check: fixed cases and a row-by-record oracle.
#include <gtest/gtest.h>

#include <random>

#include "browser/DuplicateCheck.h"
#include "history/HashHistory.h"
#include "platform/Paths.h"
#include "browser/Rows.h"

namespace qv {
namespace {

// The folder's rows show the codes of their own records, as a reread does.
FolderContents Shown(const HashHistory& h, const std::string& folder, const std::vector<std::string>& names)
{
    FolderContents c;
    c.folder = folder;
    for (const std::string& name : names) {
        FileRow row;
        row.name = name;
        int32_t i = 0;
        if (h.Find(JoinPath(folder, name), i)) {
            row.crc = h.RecordAt(i).Crc;
            row.md5 = h.RecordAt(i).Md5;
        }
        c.rows.push_back(row);
    }
    return c;
}

HistoryRecord Codes(const std::string& crc, const std::string& md5, int64_t size = 1) { return {size, 1, 1, md5, crc}; }

TEST(DuplicateCheckTest, MarksRowsWithAnotherPathOfEqualCodes)
{
    const std::string m1(32, '1'), m2(32, '2');
    HashHistory h;
    h.Insert("/f/twin1", Codes("AAAAAAAA", m1));
    h.Insert("/f/twin2", Codes("AAAAAAAA", m1));
    h.Insert("/f/alone", Codes("BBBBBBBB", m1));
    h.Insert("/f/Sized", Codes("CCCCCCCC", m2, 5));
    h.Insert("/g/sized", Codes("CCCCCCCC", m2, 9));   // another size still counts
    h.Insert("/f/CASE", Codes("DDDDDDDD", m2));
    h.Insert("/f/case", Codes("DDDDDDDD", m2));       // two files here, not one
    h.Insert("/g/half", Codes("BBBBBBBB", m2));       // CRC alone is no duplicate
    const DuplicateCheckResult r =
        BulkDuplicateCheck(Shown(h, "/f", {"twin1", "twin2", "alone", "Sized", "CASE", "case", "new"}), h);
    EXPECT_EQ(MarkNumbers(r.marks), (std::vector<int>{0, 0, 4, 0, 0, 0, 4}));
    EXPECT_EQ(r.status, "一括重複チェック完了  重複件数 5件");
    EXPECT_EQ(r.sound, Notification::Duplicate);
    EXPECT_EQ(BulkDuplicateCheck(Shown(h, "/f", {"alone"}), h).sound, std::nullopt);
}

TEST(DuplicateCheckTest, AgreesWithScanningEveryRecordPerRow)
{
    const std::vector<std::string> crcs = {"AAAAAAAA", "BBBBBBBB", "aaaaaaaa"};
    const std::vector<std::string> md5s = {std::string(32, 'A'), std::string(32, 'B')};
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        HashHistory h;
        for (size_t n = rng() % 12; n-- > 0;) {
            const std::string path = std::string(rng() % 2 ? "/f/" : "/g/") + char('a' + rng() % 6);
            h.Insert(path, Codes(crcs[rng() % crcs.size()], md5s[rng() % md5s.size()]));
        }
        FolderContents c = Shown(h, "/f", {"a", "b", "c", "d", "e", "f"});
        c.rows[rng() % 6].crc.clear();   // one row the history no longer backs
        const DuplicateCheckResult fast = BulkDuplicateCheck(c, h);
        for (size_t r = 0; r < c.rows.size(); ++r) {
            const FileRow& row = c.rows[r];
            bool duplicate = false;
            for (int32_t i = 0; i < h.Count() && !row.crc.empty(); ++i)
                duplicate |= h.RecordAt(i).Crc == row.crc && h.RecordAt(i).Md5 == row.md5 &&
                             !PathKeysEqual(h.PathAt(i), c.PathOf(r));
            ASSERT_EQ(fast.marks[r], duplicate ? ResultMark::HashAndName : ResultMark::Nothing) << round;
        }
    }
}

}  // namespace
}  // namespace qv
