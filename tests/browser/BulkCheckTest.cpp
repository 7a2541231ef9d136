// The bulk checks against the comparison text and across the history: fixed cases and oracles
#include <gtest/gtest.h>

#include <random>

#include "browser/BulkCheck.h"
#include "browser/DuplicateCheck.h"
#include "history/HashHistory.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "browser/Rows.h"

namespace qv {
namespace {

constexpr size_t npos = std::string::npos;

// Which bytes of the text are painted.
std::vector<bool> Coverage(const std::vector<TextRange>& ranges, size_t size)
{
    std::vector<bool> painted(size);
    for (const TextRange& r : ranges)
        for (size_t i = r.start; i < r.start + r.length; ++i) painted.at(i) = true;
    return painted;
}

// The check as its plain loop: every row searches the whole text, going on after each hit.
struct Direct {
    std::vector<ResultMark> marks;
    int counts[3] = {};   // hash and name, CRC, MD5
    std::vector<TextRange> painted;
};
Direct DirectCheck(const std::vector<FileRow>& rows, const std::string& text, const BulkCheckOptions& o)
{
    const std::string folded = AsciiLower(text);
    Direct d;
    // Hits of key from the start, each search after the last hit; all of them or the first.
    const auto search = [&](const std::string& key, bool all, bool paint) {
        std::vector<size_t> hits;
        for (size_t p = key.empty() ? npos : folded.find(AsciiLower(key)); p != npos;
             p = all ? folded.find(AsciiLower(key), p + key.size()) : npos) {
            hits.push_back(p);
            if (paint) d.painted.push_back({p, key.size()});
        }
        return hits;
    };
    for (const FileRow& row : rows) {
        const std::string& name = row.ShownName();
        bool hashAndName = false;
        for (const size_t p : search(name, true, o.markNames)) {
            const size_t before = p == 0 ? npos : text.find_last_of("\r\n", p - 1);
            const size_t begin = before == npos ? 0 : before + 1;
            const size_t end = std::min(text.find_first_of("\r\n", p + name.size()), text.size());
            const std::string line = AsciiUpper(text.substr(begin, end - begin));
            for (const std::string* code : {&row.crc, &row.md5})
                hashAndName |= !code->empty() && line.find(AsciiUpper(*code)) != npos;
        }
        const bool named = !search(name, false, false).empty();
        const bool md5 = !search(row.md5, o.markMd5, o.markMd5).empty();
        const bool crc = !search(row.crc, o.markCrc, o.markCrc).empty();
        const int mark = hashAndName ? 0 : md5 ? 1 : crc ? 2 : named ? 3 : 4;
        d.marks.push_back(static_cast<ResultMark>(mark));
        if (mark < 3) ++d.counts[mark == 0 ? 0 : (mark == 2 ? 1 : 2)];
    }
    return d;
}

TEST(BulkCheckTest, EachRowGetsItsMarkAndOneCounter)
{
    const std::string md5b = "0123456789ABCDEF0123456789ABCDEF";
    const std::vector<FileRow> rows = {
        Row("a.txt", "1234ABCD", std::string(32, 'E')),   // name and CRC on one line
        Row("b.bin", "00000000", md5b),                   // MD5 on a line without the name
        Row("c.dat", "11111111", std::string(32, 'F')),   // name only
        Row("d.iso", "89ABCDEF", std::string(32, 'D')),   // CRC inside a longer hex run
        Row("e.zip"),                                     // no codes: never a code match
        Row("f.none", "22222222", std::string(32, 'C')),  // nothing
    };
    const std::string text = "A.TXT 1234abcd\r\n" + AsciiLower(md5b) + "\r\nc.dat e.zip\r\nff89abcdef00\r\n";
    const BulkCheckResult r = BulkCheck(rows, text, {});
    EXPECT_EQ(MarkNumbers(r.marks), (std::vector<int>{0, 1, 3, 2, 3, 4}));
    EXPECT_EQ(r.status, "一括チェック完了  Hash&Name[1] CRC[1] MD5[1]");
    EXPECT_EQ(r.sound, Notification::Match);
    EXPECT_EQ(r.highlights, (std::vector<TextRange>{{0, 5}, {6, 8}, {16, 32}, {50, 5}, {56, 5}, {65, 8}}));

    // A name alone is no match.
    EXPECT_EQ(BulkCheck({rows[2]}, "c.dat", {}).sound, Notification::Mismatch);
}

TEST(BulkCheckTest, AgreesWithOneSearchPerRowOnRandomTexts)
{
    const std::vector<std::string> names = {"a.txt", "A.TXT", "aba", "b", "名前.txt", "x\ny", "12ab"};
    const std::vector<std::string> crcs = {"AAAAAAAA", "AAAAAAAB", "0AAAAAAA", "12AB12AB", "", "AB", "ABX"};
    const std::vector<std::string> md5s = {std::string(32, 'A'), std::string(31, 'A') + "B",
                                           "12AB12AB12AB12AB12AB12AB12AB12AB", ""};
    const std::vector<std::string> filler = {"a", "A", "0", "b", "\r\n", "\n", "\r", " ", "名", "x"};
    std::mt19937 rng(20240131);
    const auto pick = [&](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
    for (int round = 0; round < 400; ++round) {
        std::vector<FileRow> rows;
        for (size_t n = 1 + rng() % 6; n-- > 0;) rows.push_back(Row(pick(names), pick(crcs), pick(md5s)));
        std::string text;
        for (size_t n = rng() % 80; n-- > 0;) {
            const unsigned kind = rng() % 4;
            std::string token = pick(kind == 0 ? names : kind == 1 ? crcs : kind == 2 ? md5s : filler);
            if (rng() % 2) token = AsciiLower(token);
            text += token;
        }
        const BulkCheckOptions options{rng() % 2 == 0, rng() % 2 == 0, rng() % 2 == 0};

        const BulkCheckResult fast = BulkCheck(rows, text, options);
        const Direct direct = DirectCheck(rows, text, options);
        ASSERT_EQ(MarkNumbers(fast.marks), MarkNumbers(direct.marks)) << text;
        EXPECT_EQ(fast.status, BulkCheckStatus(direct.counts[0], direct.counts[1], direct.counts[2]));
        EXPECT_EQ(Coverage(fast.highlights, text.size()), Coverage(direct.painted, text.size())) << text;
        for (size_t i = 1; i < fast.highlights.size(); ++i)
            EXPECT_GT(fast.highlights[i].start, fast.highlights[i - 1].start + fast.highlights[i - 1].length);
    }
}


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
