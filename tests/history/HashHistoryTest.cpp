#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "history/HashHistory.h"
#include "history/KeyOrder.h"
#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace qv {
namespace {

HistoryRecord Rec(int64_t size, double registered = 45000.0)
{
    HistoryRecord r;
    r.Size = size;
    r.FileTime = 44000.5;
    r.RegisteredAt = registered;
    r.Md5 = "0123456789ABCDEF0123456789ABCDEF";
    r.Crc = "89ABCDEF";
    return r;
}

std::vector<std::string> Paths(const HashHistory& h)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < h.Count(); ++i) out.push_back(h.PathAt(i));
    return out;
}

TEST(HashHistory, KeepsKeysSortedFoldedWithExactTieBreak)
{
    HashHistory h;
    for (const char* p : {"/b/x", "/a/z", "/A/y", "/a/Y", "/a/y", "/a/b"}) h.Insert(p, Rec(1));
    EXPECT_EQ(Paths(h), (std::vector<std::string>{"/a/b", "/A/y", "/a/Y", "/a/y", "/a/z", "/b/x"}));
    int32_t index = -1;
    EXPECT_TRUE(h.Find("/a/Y", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(h.Find("/A/Z", index));
    EXPECT_EQ(index, 4);   // where it would go: before "/a/z" since 'Z' < 'z'
    EXPECT_FALSE(h.Find("/c", index));
    EXPECT_EQ(index, 6);
    EXPECT_FALSE(h.Find("/", index));
    EXPECT_EQ(index, 0);
}

TEST(HashHistory, CaseDifferingPathsAreTwoFiles)
{
    HashHistory h;
    h.Insert("/data/a.txt", Rec(1));
    h.Insert("/Data/A.TXT", Rec(2));
    ASSERT_EQ(h.Count(), 2);
    int32_t i = -1;
    ASSERT_TRUE(h.Find("/data/a.txt", i));
    EXPECT_EQ(h.RecordAt(i).Size, 1);
    ASSERT_TRUE(h.Find("/Data/A.TXT", i));
    EXPECT_EQ(h.RecordAt(i).Size, 2);
    EXPECT_TRUE(h.RemoveByPath("/Data/A.TXT"));
    EXPECT_EQ(Paths(h), std::vector<std::string>{"/data/a.txt"});
}

TEST(HashHistory, InsertOfExistingKeyKeepsFirstRecord)
{
    HashHistory h;
    EXPECT_EQ(h.Insert("/k", Rec(1)), 0);
    EXPECT_EQ(h.Insert("/a", Rec(2)), 0);
    EXPECT_EQ(h.Insert("/k", Rec(3)), 1);
    EXPECT_EQ(h.Count(), 2);
    EXPECT_EQ(h.RecordAt(1).Size, 1);
    // Records are changed in place through RecordAt.
    h.RecordAt(1).Crc = "00000000";
    int32_t i = -1;
    ASSERT_TRUE(h.Find("/k", i));
    EXPECT_EQ(h.RecordAt(i).Crc, "00000000");
}

TEST(HashHistory, RefusesKeysNoFileFormCanCarry)
{
    HashHistory h;
    EXPECT_EQ(h.Insert("", Rec(1)), -1);
    EXPECT_EQ(h.Insert(std::string("/a\0b", 4), Rec(1)), -1);
    EXPECT_EQ(h.Insert("/" + std::string(4096, 'x'), Rec(1)), -1);
    EXPECT_EQ(h.Insert(std::string(4096, 'x'), Rec(1)), 0);
    EXPECT_EQ(h.Count(), 1);
}

TEST(HashHistory, RemovalAndClear)
{
    HashHistory h;
    for (const char* p : {"/1", "/2", "/3"}) h.Insert(p, Rec(1));
    EXPECT_FALSE(h.RemoveByPath("/4"));
    EXPECT_EQ(h.Count(), 3);
    h.RemoveAt(1);
    EXPECT_EQ(Paths(h), (std::vector<std::string>{"/1", "/3"}));
    EXPECT_THROW(h.RemoveAt(2), std::out_of_range);
    EXPECT_THROW(h.PathAt(-1), std::out_of_range);
    h.ClearHistory();
    EXPECT_EQ(h.Count(), 0);
}

TEST(HashHistory, MarkedRemovalsKeepIndexesUntilCommitted)
{
    HashHistory h;
    for (int i = 0; i < 10; ++i) h.Insert("/f" + std::to_string(i), Rec(i));
    for (int32_t i = 0; i < h.Count(); i += 3) h.MarkForRemoval(i);
    EXPECT_EQ(h.Count(), 10);
    EXPECT_TRUE(h.IsMarkedForRemoval(3));
    EXPECT_EQ(h.PathAt(3), "/f3");
    EXPECT_EQ(h.CommitRemovals(), 4);
    EXPECT_EQ(Paths(h), (std::vector<std::string>{"/f1", "/f2", "/f4", "/f5", "/f7", "/f8"}));
}

TEST(HashHistory, FindAgreesWithLinearScanOnRandomKeys)
{
    std::mt19937 rng(7);
    const std::string alphabet = "aAbB/._zZ";
    HashHistory h;
    std::vector<std::string> keys;
    for (int n = 0; n < 2000; ++n) {
        std::string k = "/";
        const int len = 1 + static_cast<int>(rng() % 6);
        for (int c = 0; c < len; ++c) k += alphabet[rng() % alphabet.size()];
        keys.push_back(k);
        h.Insert(k, Rec(n));
    }
    std::sort(keys.begin(), keys.end(), PathKeyLess{});
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    ASSERT_EQ(Paths(h), keys);
    for (size_t i = 0; i < keys.size(); ++i) {
        int32_t at = -1;
        ASSERT_TRUE(h.Find(keys[i], at));
        EXPECT_EQ(at, static_cast<int32_t>(i));
    }
}

TEST(HashHistory, RecordHashResultRefreshesOrInserts)
{
    HashHistory h;
    bool added = false;
    EXPECT_EQ(RecordHashResult(h, "/d/a.txt", 3, 44000.5, 45000.0, "M1", "C1", &added), 0);
    EXPECT_TRUE(added);
    // Touched file hashed again: new stamp, new registration, same entry.
    EXPECT_EQ(RecordHashResult(h, "/d/a.txt", 3, 44001.0, 45001.0, "M2", "C2", &added), 0);
    EXPECT_FALSE(added);
    ASSERT_EQ(h.Count(), 1);
    EXPECT_EQ(h.RecordAt(0), (HistoryRecord{3, 44001.0, 45001.0, "M2", "C2"}));
    // Another spelling is another file here.
    EXPECT_EQ(RecordHashResult(h, "/D/A.TXT", 3, 44001.0, 45001.0, "M2", "C2", &added), 0);
    EXPECT_TRUE(added);
    EXPECT_EQ(h.Count(), 2);
    EXPECT_EQ(RecordHashResult(h, "", 3, 1, 1, "M", "C", &added), -1);
    EXPECT_FALSE(added);
}

TEST(HashHistory, PrefixSkippingComparisonAgreesWithPathKeyOrder)
{
    std::mt19937 rng(3);
    const std::string alphabet = "aAbB/";
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int n = 0; n < 20000; ++n) {
        std::string a = "/shared/prefix/of/some/length/", b = a;
        for (int c = static_cast<int>(rng() % 12); c > 0; --c) a += alphabet[rng() % alphabet.size()];
        for (int c = static_cast<int>(rng() % 12); c > 0; --c) b += alphabet[rng() % alphabet.size()];
        ASSERT_EQ(sign(CompareHistoryKeys(a, b)), sign(ComparePathKeys(a, b))) << a << " " << b;
    }
}

TEST(HashHistory, CollectsSortedDistinctFolders)
{
    HashHistory empty;
    EXPECT_TRUE(empty.CollectHistoryFolders().empty());

    HashHistory h;
    for (const char* p : {"/x.bin", "/a/1", "/a/2", "/d/b/c/3", "/a/b/5", "/a/c", "/A/q"})
        h.Insert(p, Rec(1));
    EXPECT_EQ(h.CollectHistoryFolders(),
              (std::vector<std::string>{"/", "/A", "/a", "/a/b", "/d/b/c"}));
}

// Inspection against real files: kept only when size and stamp still match.
class InspectHistoryTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes, time_t mtime = 1700000000)
    {
        const std::string p = dir.WriteFile(name, bytes);
        TempDir::SetMtime(p, mtime);
        return p;
    }
    void Record(const std::string& path)
    {
        FoundEntry f;
        ASSERT_TRUE(FindPath(path, kAttrAny, f));
        HistoryRecord r = Rec(f.size);
        r.FileTime = f.stamp;
        h.Insert(path, r);
    }
    TempDir dir;
    HashHistory h;
    ManualClock clock{45000.0, 0};
    StopFlag stop;
    std::vector<std::string> statuses;
    WorkHooks Ui()
    {
        WorkHooks ui;
        ui.clock = &clock;
        ui.stop = &stop;
        ui.refreshPeriod = 0;
        ui.status = [this](const std::string& s) { statuses.push_back(s); };
        return ui;
    }
};

TEST_F(InspectHistoryTest, RemovesDeletedResizedRedatedAndRestrictedFiles)
{
    const std::string kept = Make("kept.txt", "abc");
    const std::string deleted = Make("deleted.txt", "abc");
    const std::string resized = Make("resized.txt", "abc");
    const std::string redated = Make("redated.txt", "abc");
    const std::string hidden = Make(".hidden", "abc");
    for (const auto& p : {kept, deleted, resized, redated, hidden}) Record(p);
    ASSERT_EQ(h.Count(), 5);
    ::unlink(deleted.c_str());
    Make("resized.txt", "abcd");
    TempDir::SetMtime(redated, 1700000100);

    WorkHooks ui = Ui();
    EXPECT_TRUE(h.InspectHistory(kAttrArchive | kAttrReadOnly, ui));
    EXPECT_EQ(Paths(h), std::vector<std::string>{kept});
    EXPECT_EQ(statuses.front(), "履歴データ検査中 20.0%");
    EXPECT_EQ(statuses.back(), "履歴データソート中");
}

TEST_F(InspectHistoryTest, EmptyHistoryGivesFalse)
{
    WorkHooks ui = Ui();
    EXPECT_FALSE(h.InspectHistory(kAttrAny, ui));
    EXPECT_EQ(h.Count(), 0);
}

TEST_F(InspectHistoryTest, CancelKeepsUnexaminedRecordsAndOrder)
{
    // Four records of missing files; the walk runs from the last one down.
    for (const char* p : {"/nonexistent-qv/a", "/nonexistent-qv/b", "/nonexistent-qv/c",
                          "/nonexistent-qv/d"})
        h.Insert(p, Rec(1));
    WorkHooks ui = Ui();
    int pumps = 0;
    ui.pump = [&] {
        if (++pumps == 3) stop.Request();
    };
    EXPECT_FALSE(h.InspectHistory(kAttrAny, ui));
    // d and c were examined (and removed) before the third refresh stopped the walk.
    EXPECT_EQ(Paths(h), (std::vector<std::string>{"/nonexistent-qv/a", "/nonexistent-qv/b"}));
    EXPECT_EQ(statuses.back(), "履歴データ検査中止");
}

}  // namespace
}  // namespace qv
