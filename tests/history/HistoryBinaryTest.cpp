#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <random>

#include "WorkHooksFixture.h"
#include "history/HistoryFiles.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {
namespace {

// Little-endian building blocks for hand-made files.
std::string U32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}
std::string U64(uint64_t v)
{
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}
std::string F64(double d)
{
    uint64_t v = 0;
    std::memcpy(&v, &d, 8);
    return U64(v);
}
std::string RecordBytes(int64_t size, double fileTime, double registered, const std::string& md5,
                        const std::string& crc)
{
    std::string r = U64(static_cast<uint64_t>(size)) + F64(fileTime) + F64(registered);
    r += static_cast<char>(md5.size());
    r += md5 + std::string(32 - md5.size(), '\0');
    r += static_cast<char>(crc.size());
    r += crc + std::string(8 - crc.size(), '\0');
    r += std::string(6, '\0');
    return r;
}
std::string EntryBytes(const std::string& path, const std::string& record)
{
    return U32(static_cast<uint32_t>(path.size())) + path + record;
}

// An absolute path of exactly bytes bytes.
std::string LongPath(size_t bytes, char fill)
{
    std::string s(bytes, fill);
    s[0] = '/';
    return s;
}

const char* kMd5 = "D41D8CD98F00B204E9800998ECF8427E";

class HistoryBinaryTest : public WorkHooksFixture {
protected:
    HistoryBinaryTest() : WorkHooksFixture(45001.0) {}
    HistoryRecord Rec(int64_t size, double registered = 45000.25)
    {
        return HistoryRecord{size, 44000.5, registered, kMd5, "00000000"};
    }
    HistoryReadOptions options;   // 14 days, no size limit
};

TEST_F(HistoryBinaryTest, WritesTheExactLayout)
{
    HashHistory h;
    WorkHooks ui = Ui();
    const std::string empty = dir.Path("empty.dat");
    ASSERT_TRUE(WriteHistoryFile(h, empty, ui));
    EXPECT_EQ(TempDir::ReadFile(empty), U32(0));

    h.Insert("/a/b.txt", HistoryRecord{3, 44000.5, 45000.25, kMd5, "ABCD1234"});
    h.Insert("/a/c", HistoryRecord{-1, 1.0, 2.0, "12", ""});
    const std::string one = dir.Path("one.dat");
    ASSERT_TRUE(WriteHistoryFile(h, one, ui));
    const std::string bytes = TempDir::ReadFile(one);
    EXPECT_EQ(bytes.size(), 4u + (4 + 8 + 72) + (4 + 4 + 72));
    EXPECT_EQ(bytes, U32(2) + EntryBytes("/a/b.txt", RecordBytes(3, 44000.5, 45000.25, kMd5, "ABCD1234")) +
                         EntryBytes("/a/c", RecordBytes(-1, 1.0, 2.0, "12", "")));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HistoryBinaryTest, RoundTripKeepsEveryFieldAndCaseDifferingKeys)
{
    HashHistory h;
    h.Insert("/data/A.txt", HistoryRecord{5'000'000'000LL, 44000.5, 45000.75, kMd5, "89ABCDEF"});
    h.Insert("/data/a.txt", HistoryRecord{0, 44000.0, 45000.0, "", ""});
    h.Insert("/日本語/ファイル.bin", Rec(7));
    h.Insert(LongPath(4096, 'p'), Rec(8));   // 4096 bytes: the longest key
    WorkHooks ui = Ui();
    const std::string file = dir.Path("Quenvarlith.dat");
    ASSERT_TRUE(WriteHistoryFile(h, file, ui));

    HashHistory back;
    ASSERT_TRUE(ReadHistoryFile(back, file, options, ui));
    ASSERT_EQ(back.Count(), h.Count());
    for (int32_t i = 0; i < h.Count(); ++i) {
        EXPECT_EQ(back.PathAt(i), h.PathAt(i));
        EXPECT_EQ(back.RecordAt(i), h.RecordAt(i));
    }
    EXPECT_EQ(labels.front(), "Quenvarlith.dat 登録履歴 4件");
    EXPECT_EQ(statuses.front(), "履歴データ読取り中 Quenvarlith.dat 0.0%");
    EXPECT_EQ(statuses.back(), "履歴データソート中");
}

TEST_F(HistoryBinaryTest, TruncatedAndMalformedFilesKeepWhatWasRead)
{
    const std::string good1 = EntryBytes("/x/1", RecordBytes(1, 1, 45000.5, kMd5, "1"));
    const std::string good2 = EntryBytes("/x/2", RecordBytes(2, 1, 45000.5, kMd5, "2"));
    struct Case {
        const char* name;
        std::string bytes;
        int32_t kept;
    } cases[] = {
        {"missing count", "", 0},
        {"short count", std::string("\x02\x00", 2), 0},
        {"count larger than data", U32(3) + good1 + good2, 2},
        {"cut inside a path", U32(2) + good1 + good2.substr(0, 6), 1},
        {"cut inside a record", U32(2) + good1 + good2.substr(0, 40), 1},
        {"zero path length", U32(2) + good1 + U32(0) + RecordBytes(1, 1, 1, "", ""), 1},
        {"negative path length", U32(2) + good1 + U32(0xFFFFFFFF) + good2, 1},
        {"path of 4097 bytes", U32(2) + good1 + EntryBytes(LongPath(4097, 'q'),
                                                            RecordBytes(1, 1, 45000.5, "", "")),
         1},
        {"negative count", U32(0x80000000) + good1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HashHistory h;
        WorkHooks ui = Ui();
        const std::string file = dir.WriteFile("t.dat", c.bytes);
        EXPECT_FALSE(ReadHistoryFile(h, file, options, ui));
        EXPECT_EQ(h.Count(), c.kept);
    }
    HashHistory h;
    WorkHooks ui = Ui();
    EXPECT_FALSE(ReadHistoryFile(h, dir.Path("absent.dat"), options, ui));
    EXPECT_TRUE(prompts.shown().empty());   // reading fails silently

    // A 4096-byte path is accepted, and an over-long MD5 length byte reads as the field.
    std::string record = RecordBytes(1, 1, 45000.5, kMd5, "12345678");
    record[24] = static_cast<char>(200);
    record[57] = static_cast<char>(9);
    const std::string longest = LongPath(4096, 'q');
    ASSERT_TRUE(ReadHistoryFile(h, dir.WriteFile("l.dat", U32(1) + EntryBytes(longest, record)),
                                options, ui));
    ASSERT_EQ(h.Count(), 1);
    EXPECT_EQ(h.PathAt(0), longest);
    EXPECT_EQ(h.RecordAt(0).Md5, kMd5);
    EXPECT_EQ(h.RecordAt(0).Crc, "12345678");
}

TEST_F(HistoryBinaryTest, UnsortedFileWithDuplicatesKeepsFirstOfEqualKeys)
{
    const std::string file = dir.WriteFile(
        "u.dat", U32(4) + EntryBytes("/z", RecordBytes(1, 1, 45000.5, "", "")) +
                     EntryBytes("/a", RecordBytes(2, 1, 45000.5, "", "")) +
                     EntryBytes("/z", RecordBytes(3, 1, 45000.9, "", "")) +
                     EntryBytes("/Z", RecordBytes(4, 1, 45000.5, "", "")));
    HashHistory h;
    WorkHooks ui = Ui();
    ASSERT_TRUE(ReadHistoryFile(h, file, options, ui));
    ASSERT_EQ(h.Count(), 3);
    EXPECT_EQ(h.PathAt(0), "/a");
    EXPECT_EQ(h.PathAt(1), "/Z");
    EXPECT_EQ(h.PathAt(2), "/z");
    EXPECT_EQ(h.RecordAt(2).Size, 1);
}

TEST_F(HistoryBinaryTest, CancelStopsReadingAndKeepsEntriesRead)
{
    HashHistory src;
    for (int i = 0; i < 10; ++i) src.Insert("/f/" + std::to_string(i), Rec(i));
    WorkHooks ui = Ui();
    const std::string file = dir.Path("c.dat");
    ASSERT_TRUE(WriteHistoryFile(src, file, ui));
    int pumps = 0;
    ui.pump = [&] {
        if (++pumps == 4) stop.Request();
    };
    HashHistory h;
    EXPECT_FALSE(ReadHistoryFile(h, file, options, ui));
    EXPECT_EQ(h.Count(), 4);
}

TEST_F(HistoryBinaryTest, FailedWriteLeavesOldFileAndShowsMessage)
{
    HashHistory h;
    h.Insert("/a", Rec(1));
    const std::string target = dir.WriteFile("Quenvarlith.dat", "old contents");
    bool fronted = false;
    WorkHooks ui = Ui();
    ui.bringToFront = [&] { fronted = true; };

    prompts.Push(Answer::Ok);
    const std::string missing = dir.Path("no-such-folder/Quenvarlith.dat");
    EXPECT_FALSE(WriteHistoryFile(h, missing, ui));
    EXPECT_EQ(prompts.LastText(),
              "履歴保存時にエラーが発生しました\r\r" + missing + "\rError code = 2 (No such file or directory)");
    EXPECT_TRUE(fronted);

    prompts.Push(Answer::Ok);
    const std::string folder = dir.MakeFolder("a-folder");
    EXPECT_FALSE(WriteHistoryText(h, folder, ui));
    EXPECT_EQ(prompts.LastText(), "履歴保存時にエラーが発生しました\r\r" + folder + "\rError code = 21 (Is a directory)");

    // A read-only folder refuses the temporary file: the old file stays as it was.
    if (::geteuid() != 0) {
        prompts.Push(Answer::Ok);
        ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
        EXPECT_FALSE(WriteHistoryFile(h, target, ui));
        ::chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(TempDir::ReadFile(target), "old contents");
        EXPECT_EQ(prompts.LastText(),
                  "履歴保存時にエラーが発生しました\r\r" + target + "\rError code = 13 (Permission denied)");
    }
    EXPECT_EQ(prompts.pending(), 0u);
}

// Arbitrary bytes never crash, hang or read out of bounds (run under the sanitizer build).
TEST_F(HistoryBinaryTest, RandomBytesAreReadSafely)
{
    std::mt19937 rng(12345);
    const std::string seed = U32(3) + EntryBytes("/r/1", RecordBytes(1, 1, 45000.5, kMd5, "1")) +
                             EntryBytes("/r/2", RecordBytes(2, 1, 45000.5, kMd5, "2"));
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            bytes = seed;   // mutate a valid file
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<char>(rng());
            bytes.resize(rng() % (bytes.size() + 1));
        } else {
            bytes.resize(rng() % 300);
            for (char& c : bytes) c = static_cast<char>(rng());
        }
        HashHistory h;
        h.Insert("/r/1", Rec(9));   // merge mode on half the time
        if (round % 4 < 2) h.ClearHistory();
        WorkHooks ui = Ui();
        ReadHistoryFile(h, dir.WriteFile("f.dat", bytes), options, ui);
        for (int32_t i = 1; i < h.Count(); ++i)
            ASSERT_LT(ComparePathKeys(h.PathAt(i - 1), h.PathAt(i)), 0);
        for (int32_t i = 0; i < h.Count(); ++i) {
            ASSERT_LE(h.RecordAt(i).Md5.size(), 32u);
            ASSERT_LE(h.RecordAt(i).Crc.size(), 8u);
        }
    }
}

}  // namespace
}  // namespace qv
