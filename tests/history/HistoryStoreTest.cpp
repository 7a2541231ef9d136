// The history store and its binary and text forms, and the search by code.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "HistoryFixture.h"
#include "history/Duplicates.h"
#include "history/HistoryFiles.h"
#include "history/HistorySearch.h"
#include "history/KeyOrder.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "support/Bytes.h"

namespace qv {
namespace {

using testing::Le;   // pieces of hand-made binary files
std::string RecordBytes(int64_t size, double fileTime, double registered, const std::string& md5, const std::string& crc)
{
    return Le(static_cast<uint64_t>(size), 8) + Le(std::bit_cast<uint64_t>(fileTime), 8) +
           Le(std::bit_cast<uint64_t>(registered), 8) + static_cast<char>(md5.size()) + md5 +
           std::string(32 - md5.size(), '\0') + static_cast<char>(crc.size()) + crc + std::string(14 - crc.size(), '\0');
}
std::string Entry(const std::string& path, const std::string& record) { return Le(path.size(), 4) + path + record; }
std::string LongPath(size_t bytes) { return std::string(bytes - 1, 'q').insert(0, 1, '/'); }

const std::string kMd5 = "D41D8CD98F00B204E9800998ECF8427E";
const std::string kTail = ",\"2024/05/31\",\"2024/05/31\",A,B\r\n";   // a text line after its size

HistoryRecord Rec(int64_t size) { return HistoryRecord{size, 44000.5, 45000.0, "0123456789ABCDEF0123456789ABCDEF", "89ABCDEF"}; }

class HistoryTest : public WorkHooksFixture {
protected:
    std::string Entry(const std::string& path, int64_t size) { return qv::Entry(path, RecordBytes(size, 1, now, kMd5, "C")); }
    bool Read(const std::string& bytes, bool text = false, bool merge = false)
    {
        if (!merge) h.ClearHistory();
        const std::string file = dir.WriteFile(text ? "r.csv" : "r.dat", bytes);
        return text ? ReadHistoryText(h, file, options, ui) : ReadHistoryFile(h, file, options, ui);
    }
    HashHistory h;
    HistoryReadOptions options;   // 14 days, no size limit
    const double now = clock.Now();
};

TEST_F(HistoryTest, KeysSortFoldedWithExactTieBreakAndStayUnique)
{
    for (const char* p : {"/b/x", "/a/z", "/A/y", "/a/Y", "/a/y", "/a/b"}) h.Insert(p, Rec(1));
    EXPECT_EQ(KeysOf(h), (Texts{"/a/b", "/A/y", "/a/Y", "/a/y", "/a/z", "/b/x"}));
    // Found, or the index where the key would go.
    for (const auto& [key, found, at] : {std::tuple{"/a/Y", true, 2}, {"/A/Z", false, 4}, {"/c", false, 6}, {"/", false, 0}}) {
        int32_t index = -1;
        EXPECT_TRUE(h.Find(key, index) == found && index == at) << key;
    }
    // An existing key keeps its record; keys no file form can carry are refused.
    EXPECT_EQ(std::pair(h.Insert("/a/y", Rec(9)), h.RecordAt(3).Size), std::pair(3, int64_t{1}));
    for (const std::string& bad : {std::string(), std::string("/a\0b", 4), "/" + std::string(4096, 'x')})
        EXPECT_EQ(h.Insert(bad, Rec(1)), -1);
    EXPECT_EQ(h.Insert(std::string(4096, 'x'), Rec(1)), 6);

    EXPECT_TRUE(!h.RemoveByPath("/A/Y") && h.RemoveByPath("/A/y"));
    h.RemoveAt(0);
    EXPECT_THROW(h.RemoveAt(5), std::out_of_range);
    EXPECT_THROW(h.PathAt(-1), std::out_of_range);
    h.MarkForRemoval(0), h.MarkForRemoval(2);
    EXPECT_TRUE(h.IsMarkedForRemoval(2) && !h.IsMarkedForRemoval(1));
    EXPECT_EQ(h.PathAt(2), "/a/z");   // marked entries stay until committed
    EXPECT_EQ(h.CommitRemovals(), 2);
    EXPECT_EQ(KeysOf(h), (Texts{"/a/y", "/b/x", std::string(4096, 'x')}));
}

// The prefix-skipping comparison agrees with the plain one on random keys.
TEST(HistoryKeyOrder, AgreesWithPathKeyOrder)
{
    std::mt19937 rng(7);
    const auto word = [&] {
        std::string s = "/shared/prefix/of/some/length/";
        for (int c = static_cast<int>(rng() % 12); c >= 0; --c) s += "aAbB/._zZ"[rng() % 9];
        return s;
    };
    for (int n = 0; n < 20000; ++n) {
        const std::string a = word(), b = word();
        ASSERT_EQ(CompareHistoryKeys(a, b) <=> 0, ComparePathKeys(a, b) <=> 0) << a << " " << b;
    }
}

TEST_F(HistoryTest, RecordHashResultFoldersAndDuplicates)
{
    bool added = false;
    EXPECT_TRUE(RecordHashResult(h, "/d/a.txt", 3, 44000.5, 45000.0, "M1", "C1", &added) == 0 && added);
    // Touched file hashed again: new stamp, new registration, same entry; codes cut to size.
    EXPECT_TRUE(RecordHashResult(h, "/d/a.txt", 3, 44001.0, 45001.0, kMd5 + "XY", "C23456789", &added) == 0 && !added);
    EXPECT_EQ(h.RecordAt(0), (HistoryRecord{3, 44001.0, 45001.0, kMd5, "C2345678"}));
    EXPECT_TRUE(RecordHashResult(h, "", 3, 1, 1, "M", "C", &added) == -1 && !added);

    h.ClearHistory();
    EXPECT_TRUE(h.CollectHistoryFolders().empty());
    for (const std::string p : {"/x.bin", "/a/1", "/a/2", "/d/b/c/3", "/a/b/5", "/a/c", "/A/q"}) h.Insert(p, Rec(p == "/a/1" ? 2 : 1));
    EXPECT_EQ(h.CollectHistoryFolders(), (Texts{"/", "/A", "/a", "/a/b", "/d/b/c"}));

    // Duplicates of /a/2: same size and codes; vanished ones leave the store, the index follows.
    h.Insert("/a/0gone", Rec(1));
    h.Insert("/z/gone", Rec(1));
    int32_t index = -1;
    ASSERT_TRUE(h.Find("/a/2", index));
    const auto exists = [](const std::string& p) { return p.find("gone") == std::string::npos; };
    EXPECT_EQ(FindDuplicates(h, index, exists), (Texts{"/x.bin", "/d/b/c/3", "/A/q", "/a/c", "/a/b/5", "/a/2"}));
    EXPECT_EQ(std::pair(h.Count(), h.PathAt(index)), std::pair(7, std::string("/a/2")));
}


// Inspection against real files: kept only when size and stamp still match.
TEST_F(HistoryTest, InspectionRemovesStaleRecordsAndStopsWhenCancelled)
{
    EXPECT_FALSE(h.InspectHistory(kAttrAny, ui));   // empty
    statuses.clear();
    Texts paths;
    for (const char* name : {"kept.txt", "deleted.txt", "resized.txt", "redated.txt", ".hidden"}) {
        TempDir::SetMtime(paths.emplace_back(dir.WriteFile(name, "abc")), 1700000000);
        FoundEntry f;
        ASSERT_TRUE(FindPath(paths.back(), kAttrAny, f));
        h.Insert(paths.back(), HistoryRecord{f.size, f.stamp, now, "M", "C"});
    }
    ::unlink(paths[1].c_str());
    TempDir::SetMtime(dir.WriteFile("resized.txt", "abcd"), 1700000000);
    TempDir::SetMtime(paths[3], 1700000100);
    EXPECT_TRUE(h.InspectHistory(kAttrArchive | kAttrReadOnly, ui));   // hidden files restricted
    EXPECT_EQ(KeysOf(h), Texts{paths[0]});
    EXPECT_EQ(std::tie(statuses[0], statuses.back()), std::tuple("履歴データ検査中 20.0%", "履歴データソート中"));

    // The walk runs from the last record down; the third refresh stops it.
    for (const char* p : {"/nonexistent-qv/a", "/nonexistent-qv/b", "/nonexistent-qv/c"}) h.Insert(p, Rec(1));
    int pumps = 0;
    ui.pump = [&] { if (++pumps == 3) stop.Request(); };
    EXPECT_FALSE(h.InspectHistory(kAttrAny, ui));
    EXPECT_EQ(KeysOf(h), (Texts{"/nonexistent-qv/a", "/nonexistent-qv/b", paths[0]}));
    EXPECT_EQ(statuses.back(), "履歴データ検査中止");
}

TEST_F(HistoryTest, BinaryFormWrittenExactlyAndReadAsFarAsItGoes)
{
    const std::string file = dir.Path("one.dat");
    ASSERT_TRUE(WriteHistoryFile(h, file, ui));
    EXPECT_EQ(TempDir::ReadFile(file), Le(0, 4));
    h.Insert("/a/b.txt", HistoryRecord{3, 44000.5, 45000.25, kMd5, "ABCD1234"});
    h.Insert("/a/c", HistoryRecord{-1, 1.0, 2.0, "12", ""});
    ASSERT_TRUE(WriteHistoryFile(h, file, ui));
    EXPECT_EQ(TempDir::ReadFile(file), Le(2, 4) + qv::Entry("/a/b.txt", RecordBytes(3, 44000.5, 45000.25, kMd5, "ABCD1234")) +
                                           qv::Entry("/a/c", RecordBytes(-1, 1.0, 2.0, "12", "")));

    const std::string good = Entry("/x/1", 1) + Entry("/x/2", 2), one = Le(2, 4) + Entry("/x/1", 1);
    const std::pair<std::string, int32_t> damaged[] = {
        {"", 0}, {std::string("\x02\x00", 2), 0},                             // no count, a short one
        {Le(3, 4) + good, 2}, {Le(1, 4) + good, 1}, {Le(0xFFFFFFFF, 4) + good, 0},   // count above, below, -1
        {Le(2, 4) + good.substr(0, 85), 1}, {Le(2, 4) + good.substr(0, 120), 1},     // cut in a path, a record
        {one + Le(0, 4) + RecordBytes(1, 1, 1, "", ""), 1},                          // path lengths 0, -1, 4097
        {one + Le(0xFFFFFFFF, 4) + Entry("/x/2", 2), 1}, {one + Entry(LongPath(4097), 1), 1},
    };
    for (const auto& [bytes, kept] : damaged) EXPECT_TRUE(!Read(bytes) && h.Count() == kept) << bytes.size();
    EXPECT_FALSE(ReadHistoryFile(h, dir.Path("absent.dat"), options, ui) || !prompts.shown().empty());   // silently

    // Unsorted with equal keys (the first stays), a 4096-byte path, length bytes beyond their fields.
    std::string record = RecordBytes(5'000'000'000, 1, now, kMd5, "12345678");
    record[24] = static_cast<char>(200), record[57] = static_cast<char>(9);
    ASSERT_TRUE(Read(Le(5, 4) + Entry("/z", 1) + qv::Entry(LongPath(4096), record) + Entry("/a", 2) + Entry("/z", 3) +
                     Entry("/Z", 4)));
    EXPECT_EQ(KeysOf(h), (Texts{"/a", LongPath(4096), "/Z", "/z"}));
    EXPECT_EQ(std::pair(h.RecordAt(1), h.RecordAt(3).Size),
              std::pair(HistoryRecord{5'000'000'000, 1, now, kMd5, "12345678"}, int64_t{1}));
}

TEST_F(HistoryTest, CancelStopsBothReadersKeepingWhatWasRead)
{
    std::string dat = Le(10, 4), csv;
    for (int i = 0; i < 20; ++i) {
        if (i < 10) dat += Entry("/f/" + std::to_string(i), i);
        csv += "\"/c" + std::to_string(100 + i) + "\",1" + kTail;
    }
    ui.pump = [&] { if (statuses.size() == 4) stop.Request(); };
    EXPECT_TRUE(!Read(dat) && h.Count() == 4);
    EXPECT_EQ(std::tuple(labels[0], statuses[1], statuses.back()),
              std::tuple("r.dat 登録履歴 10件", "履歴データ読取り中 r.dat 10.0%", "履歴データソート中"));
    stop.Clear(), statuses.clear();
    EXPECT_TRUE(!Read(csv, true) && h.Count() == 4);
    EXPECT_EQ(std::tie(labels.back(), statuses[1]), std::tuple("r.csv 登録履歴 20件", "履歴データ読取り中 r.csv 5.0%"));
}

TEST_F(HistoryTest, FailedWritesNameTheFileAndTheReason)
{
    h.Insert("/a", HistoryRecord{1, 1, now, kMd5, "C"});
    bool fronted = false;
    ui.bringToFront = [&] { fronted = true; };
    const std::string missing = dir.Path("no-such-folder/Quenvarlith.dat"), folder = dir.MakeFolder("a-folder");
    prompts.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(WriteHistoryFile(h, missing, ui) || WriteHistoryText(h, folder, ui) || !fronted);
    EXPECT_EQ(prompts.MessageTexts(), (Texts{"履歴保存時にエラーが発生しました\r\r" + missing + "\rError code = 2 (No such file or directory)",
                                            "履歴保存時にエラーが発生しました\r\r" + folder + "\rError code = 21 (Is a directory)"}));
}

TEST(HistoryText, SplitLineRules)
{
    const std::pair<std::string, Texts> cases[] = {
        {R"("/a b/c.txt",12,"2024/01/31 9:05:07","2024/02/01",ABC,DEF)",
         {"/a b/c.txt", "12", "2024/01/31 9:05:07", "2024/02/01", "ABC", "DEF"}},
        {"  \"say \"\"hi\"\"\" ,\t1 , x", {"say \"hi\"", "1", "x"}},   // doubled quotes; blanks around fields
        {"\"p\",1,\"d\",\"d\",,C", {"p", "1", "d", "d", "", "C"}}, {"a,b,", {"a", "b", ""}}, {"a,b, ", {"a", "b"}},
        {"/a b,1", {"/a", "b", "1"}}, {"", {}}, {" \t ", {}},   // an unquoted field ends at a blank
        {"\"open,1", {"open,1"}}, {std::string("a,b\0,c", 6), {"a", "b"}}, {"\"x\"y,z", {"x", "y", "z"}},
    };
    for (const auto& [line, fields] : cases) EXPECT_EQ(SplitHistoryLine(line), fields) << line;
}

TEST_F(HistoryTest, TextLineQuotingAndExport)
{
    const HistoryRecord r{-5, EncodeDateTime({2024, 1, 31, 9, 5, 6}), EncodeDateTime({2004, 5, 6}), kMd5, "00000000"};
    std::string line;
    ASSERT_TRUE(FormatHistoryLine("/q\"uo\"te/a.txt", r, line));
    EXPECT_EQ(line, "\"/q\"\"uo\"\"te/a.txt\",-5,\"2024/01/31 9:05:06\",\"2004/05/06\"," + kMd5 + ",00000000");
    EXPECT_FALSE(FormatHistoryLine("/a\nb", r, line) || FormatHistoryLine("/a\rb", r, line));
    // Export: CR LF after every line; a path with a line break cannot be carried; codes that
    // would split the line are quoted.
    h.Insert("/a", HistoryRecord{r.Size, r.FileTime, r.RegisteredAt, "A,\"B", ""});
    h.Insert("/a\nb", r);
    h.Insert("/q\"uo\"te/a.txt", r);
    ASSERT_TRUE(WriteHistoryText(h, dir.Path("x.csv"), ui));
    EXPECT_EQ(TempDir::ReadFile(dir.Path("x.csv")),
              "\"/a\",-5,\"2024/01/31 9:05:06\",\"2004/05/06\",\"A,\"\"B\",\r\n" + line + "\r\n");
}

// Random stores survive both forms unchanged, and the binary form to the byte via the text form.
TEST_F(HistoryTest, RandomStoresRoundTripThroughBothForms)
{
    std::mt19937 rng(99);
    const std::string pieces[] = {"a", "Z", " ", "\t", "\"", ",", "日本", "\"\"", "'", "x y", "%", ";"};
    const auto any = [&](int below) { return static_cast<int>(rng() % below); };
    const auto hex = [&](int digits) {
        std::string s;
        while (digits-- > 0) s += "0123456789ABCDEF"[any(16)];
        return s;
    };
    for (int round = 0; round < 20; ++round) {
        HashHistory fromBinary, fromText;
        h.ClearHistory();
        for (int n = 0; n < 50; ++n) {
            std::string path = "/";
            for (int k = any(6); k >= 0; --k) path += pieces[any(12)];
            const bool midnight = any(4) == 0;   // a time of exactly midnight is written without it
            const double fileTime = EncodeDateTime({1980 + any(3), 1 + any(12), 1 + any(28), midnight ? 0 : any(24),
                                                    midnight ? 0 : any(60), midnight ? 0 : any(60)});
            h.Insert(path, HistoryRecord{int64_t{any(1 << 30)} << any(33), fileTime, now - any(86400) / 8640.0, hex(32), hex(8)});
        }
        const std::string dat = dir.Path("a.dat"), csv = dir.Path("a.csv"), again = dir.Path("b.dat");
        ASSERT_TRUE(WriteHistoryFile(h, dat, ui) && ReadHistoryFile(fromBinary, dat, options, ui));
        ASSERT_TRUE(WriteHistoryText(fromBinary, csv, ui) && ReadHistoryText(fromText, csv, options, ui));
        ASSERT_EQ(fromText.Count(), h.Count());
        for (int32_t i = 0; i < h.Count(); ++i)
            ASSERT_TRUE(fromText.PathAt(i) == h.PathAt(i) && fromText.RecordAt(i) == h.RecordAt(i)) << h.PathAt(i);
        ASSERT_TRUE(WriteHistoryFile(fromText, again, ui));
        ASSERT_EQ(TempDir::ReadFile(again), TempDir::ReadFile(dat));
    }
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HistoryTest, TextFieldsEncodingsAndSizes)
{
    // "/データ/a.txt" in Shift-JIS with over-long codes; one name that is not UTF-8 must not
    // turn the others into CP932 readings; sizes at and past the 64-bit limits.
    options.sizeLimit = INT64_MIN;
    ASSERT_TRUE(Read("\"/\x83\x66\x81\x5B\x83\x5E/a.txt\",10,\"2024/05/31 1:02:04\",\"2024/05/31 1:02:04\"," + kMd5 +
                         "XYZ,89ABCDEF12\r\n\"/日本/ok.txt\",1" + kTail + "\"/caf\xE9\",1" + kTail +
                         "\"/1\",9223372036854775807" + kTail + "\"/2\",-9223372036854775808" + kTail +
                         "\"/3\",9223372036854775808" + kTail + "\"/4\",12x" + kTail + "\"/5\",+7" + kTail,
                     true));
    ASSERT_EQ(h.Count(), 8);
    int32_t i = -1;
    ASSERT_TRUE(h.Find("/データ/a.txt", i));
    const double when = EncodeDateTime({2024, 5, 31, 1, 2, 4});
    EXPECT_EQ(h.RecordAt(i), (HistoryRecord{10, when, when, kMd5, "89ABCDEF"}));
    EXPECT_TRUE(h.Find("/日本/ok.txt", i));
    for (const auto& [path, size] : {std::pair{"/1", INT64_MAX}, {"/2", INT64_MIN}, {"/3", 0}, {"/4", 0}, {"/5", 7}})
        EXPECT_TRUE(h.Find(path, i) && h.RecordAt(i).Size == size) << path;
}

TEST_F(HistoryTest, BadTextLinesAndUnreadableFilesAreReported)
{
    const auto good = [](int n) { return "\"/g" + std::to_string(n) + "\",1,\"2024/05/31\",\"2024/05/31\",A,B"; };
    const std::string text = good(1) + "\r\n\r\n\"/five\",1,\"2024/05/31\",\"2024/05/31\",A\r\n" +
                             "/un quoted,1,\"2024/05/31\",\"2024/05/31\",A,B\n" + good(2) + "\r" + good(3);
    prompts.Push(Answer::Ignore).Push(Answer::Ignore).Push(Answer::Ignore).Push(Answer::Abort);
    EXPECT_TRUE(Read(text, true) && h.Count() == 3);
    EXPECT_TRUE(!Read(text, true) && h.Count() == 1);   // the line before the bad one stays
    const std::string head = "Quenvarlith履歴書式の不一致を検出\r\rファイル名\t" + dir.Path("r.csv") + "\r読取り行\t";
    ASSERT_EQ(prompts.shown().size(), 4u);
    EXPECT_EQ(std::tie(prompts.shown()[0].text, prompts.shown()[0].buttons), std::tuple(head, Buttons::AbortIgnore));
    EXPECT_EQ(prompts.shown()[1].text, head + "\"/five\",1,\"2024/05/31\",\"2024/05/31\",A");

    // A date that does not convert, or a file that cannot be read, ends the reading.
    prompts.Clear();
    prompts.Push(Answer::Ok).Push(Answer::Ok);
    EXPECT_FALSE(Read("\"/ok\",1" + kTail + "\"/bad\",1,\"31.05.2024\",\"2024/05/31\",A,B\r\n", true));
    EXPECT_EQ(h.Count(), 1);
    EXPECT_NE(prompts.LastText().find("\"/bad\""), std::string::npos);
    EXPECT_FALSE(ReadHistoryText(h, dir.Path("missing.csv"), options, ui));
    EXPECT_EQ(prompts.LastText().rfind("履歴ファイル読込エラー\r\rファイル名\t" + dir.Path("missing.csv") + "\r", 0), 0u);
    EXPECT_EQ(prompts.pending(), 0u);
}

// Arbitrary bytes and text never crash, hang or read out of bounds (run under the sanitizers too).
TEST_F(HistoryTest, RandomInputIsReadSafely)
{
    std::mt19937 rng(12345);
    const std::string pieces[] = {"\"", "\"\"", ",", " ", "\t", "\r\n", "\n", "\r", "/a", "1", "2024/05/31",
                                  "2024/05/31 1:02:03", std::string(1, '\0'), "\x83", "\xE3\x81\x82", "-", "ABCDEF"};
    prompts.SetDefaultAnswer(Answer::Ignore);
    for (int round = 0; round < 600; ++round) {
        std::string bytes = Le(3, 4) + Entry("/r/1", 1) + Entry("/r/2", 2);   // a valid file mutated, or text
        for (int f = 1 + static_cast<int>(rng() % 8); f > 0 && round % 2 == 0; --f) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        bytes.resize(rng() % (bytes.size() + 1));
        for (int i = static_cast<int>(rng() % 60); i > 0 && round % 2 == 1; --i)
            bytes += rng() % 5 == 0 ? std::string(1, static_cast<char>(rng())) : pieces[rng() % std::size(pieces)];
        h.ClearHistory();
        if (round % 4 < 2) h.Insert("/r/1", HistoryRecord{9, 1, now, kMd5, "C"});   // merge mode
        Read(bytes, round % 2 == 1, true);
        for (int32_t i = 0; i < h.Count(); ++i)
            ASSERT_TRUE((i == 0 || ComparePathKeys(h.PathAt(i - 1), h.PathAt(i)) < 0) && !h.PathAt(i).empty() &&
                        h.RecordAt(i).Md5.size() <= 32 && h.RecordAt(i).Crc.size() <= 8);
    }
}


TEST(HistorySearch, FindsTheFirstRecordCarryingTheSelectedCode)
{
    HashHistory h;
    const std::string md5 = "00112233445566778899AABBCCDDEEFF";
    h.Insert("/b/second", {1, 0, 0, md5, "1A2B3C4D"});
    h.Insert("/a/first", {1, 0, 0, std::string(32, 'E'), "1A2B3C4D"});
    h.Insert("/c/imported", {1, 0, 0, "ffffffffffffffffffffffffffffffff", "cafebabe"});
    const std::string notFound = "履歴の中に該当ハッシュコードのものは有りません";
    struct Row { std::string selected; int32_t index; std::string status; };
    const Row rows[] = {
        {"1a2b3c4d", 0, "見つかりました CRC:1A2B3C4D"},   // two records: the path sorting first
        {"00112233445566778899aabbccddeeff", 1, "見つかりました MD5:" + md5},
        {"CAFEBABE", 2, "見つかりました CRC:CAFEBABE"},
        {"1a2b3c4d ", -1, notFound},
        {"", -1, notFound},
        {"1A2B3C4", -1, notFound},
        {std::string(32, 'F').substr(0, 8), -1, notFound},   // the MD5's digits are not a CRC
    };
    for (const Row& r : rows) {
        const HistorySearchResult result = SearchHistoryByCode(h, r.selected);
        EXPECT_EQ(std::tie(result.index, result.status), std::tie(r.index, r.status)) << r.selected;
    }
}

}  // namespace
}  // namespace qv
