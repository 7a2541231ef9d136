// The job reading the next file while the current one finishes: each file must keep its own
// codes, errors and reports, and a read-ahead the next call does not take must leave nothing
// behind.
#include "FileJobFixture.h"

#include <cerrno>
#include <thread>

#include "engine/ReadThread.h"
#include "support/Waits.h"

namespace qv::test {
namespace {

std::string Bytes(size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed * 7 + i / 977) & 0xFF);
    return bytes;
}

using qv::testing::Gate;

// Waits, bounded, for a condition the reader thread brings about.
bool Eventually(const std::function<bool()>& condition)
{
    return qv::testing::WaitUntil(condition);
}

class ReadAheadJobTest : public FileJobTest {
protected:
    // The job with a next-path seam answering `next`.
    FileJob& AheadJob()
    {
        if (!job) {
            JobSeams s = Seams();
            s.nextPath = [this] { return next; };
            FileJobOptions options;
            options.fileSource = [this] { return std::make_unique<ControlledSource>(control); };
            options.readAheadIdleMs = 5000;   // the read-ahead never depends on the scheduler
            job = std::make_unique<FileJob>(history, s, settings, options);
            job->SetNextRefreshTime(clock.Tick() + 800);
            job->BeginBatch();
        }
        return *job;
    }

    int OpensOf(const std::string& path)
    {
        int count = 0;
        for (const std::string& p : control.Opened()) count += p == path;
        return count;
    }

    void ExpectCodes(int32_t index, const std::string& bytes)
    {
        ASSERT_GE(index, 0);
        std::string md5, crc;
        CodesOf(bytes, md5, crc);
        EXPECT_EQ(history.RecordAt(index).Md5, md5);
        EXPECT_EQ(history.RecordAt(index).Crc, crc);
    }

    std::string next;
};

TEST_F(ReadAheadJobTest, NextFileIsReadBeforeItsTurnAndEveryFileKeepsItsCodes)
{
    // Sizes around the bank size, so the ring goes on from every bank.
    const std::vector<size_t> sizes = {1, 65536, 65537, 3 * 65536 + 5, 100, 7 * 65536, 2 * 65536};
    std::vector<std::string> paths, contents;
    for (size_t i = 0; i < sizes.size(); ++i) {
        contents.push_back(Bytes(sizes[i], static_cast<int>(i)));
        paths.push_back(MakeFile(std::string("f").append(std::to_string(i)), contents[i]));
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(i);
        next = i + 1 < paths.size() ? paths[i + 1] : "";
        ExpectCodes(AheadJob().HashFile(paths[i], false), contents[i]);
        // Handed over before this call returned: the reader opens it without another call.
        if (!next.empty()) {
            EXPECT_TRUE(Eventually([&] { return OpensOf(next) == 1; }));
        }
    }
    for (const std::string& p : paths) EXPECT_EQ(OpensOf(p), 1) << p;
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
}

TEST_F(ReadAheadJobTest, ErrorWhileReadingAheadIsTheNextFilesOwn)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string b = MakeFile("b.bin", "defg");
    control.openFault = [&](const std::string& p) { return p == b ? EACCES : 0; };
    next = b;
    const int32_t first = AheadJob().HashFile(a, false);
    ExpectCodes(first, "abc");
    EXPECT_FALSE(AheadJob().LastOutcome().reported);
    EXPECT_FALSE(stop.Requested());
    ASSERT_TRUE(Eventually([&] { return OpensOf(b) == 1; }));

    next.clear();
    EXPECT_EQ(AheadJob().HashFile(b, false), -1);
    EXPECT_EQ(AheadJob().LastOutcome().code, EACCES);
    EXPECT_EQ(OpensOf(b), 1);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find("b.bin"), std::string::npos);
    EXPECT_EQ(prompts.shown()[0].text.find("a.bin"), std::string::npos);
    EXPECT_TRUE(stop.Requested());
    // The first file's record is untouched by the second one's failure.
    ExpectCodes(first, "abc");
}

TEST_F(ReadAheadJobTest, FailedReadAheadOfAnotherPathLeavesNoErrorBehind)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string b = MakeFile("b.bin", "defg");
    const std::string c = MakeFile("c.bin", "hij");
    control.openFault = [&](const std::string& p) { return p == b ? EIO : 0; };
    next = b;
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    ASSERT_TRUE(Eventually([&] { return OpensOf(b) == 1; }));
    // The list changed: c comes instead of b.
    next.clear();
    ExpectCodes(AheadJob().HashFile(c, false), "hij");
    EXPECT_EQ(AheadJob().LastOutcome().code, 0);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
    EXPECT_TRUE(AheadJob().ReaderRunning());
}

TEST_F(ReadAheadJobTest, DroppedReadAheadStopsAtTheNextBankAndTheBatchEnds)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string big = MakeFile("big.bin", Bytes(40 * 65536, 3));
    const std::string c = MakeFile("c.bin", "hij");
    Gate gate;
    std::atomic<int> bigReads{0};
    control.afterRead = [&](const std::string& p, uint8_t*, uint32_t, int) {
        if (p != big) return;
        if (bigReads++ == 0) gate.Pass();   // held until the drop has been made
    };
    next = big;
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    ASSERT_TRUE(Eventually([&] { return bigReads.load() == 1; }));
    next.clear();
    // Another path: the read of big is dropped, and the reader is free for c at once
    // (a reader still busy would make the hand-over time out with -18).
    gate.Open();
    ExpectCodes(AheadJob().HashFile(c, false), "hij");
    EXPECT_TRUE(prompts.shown().empty());
    // Two banks ahead at most, then the drop is seen.
    EXPECT_LE(bigReads.load(), 3);
    AheadJob().EndBatch();
    EXPECT_FALSE(AheadJob().ReaderRunning());
}

TEST_F(ReadAheadJobTest, EndingTheBatchWithAReadAheadPendingReleasesTheHeldBank)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string big = MakeFile("big.bin", Bytes(10 * 65536, 4));
    next = big;
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    ASSERT_TRUE(Eventually([&] { return OpensOf(big) == 1; }));
    AheadJob().EndBatch();
    // Every bank is free again, from any thread.
    for (int n = 0; n < kBankCount; ++n) {
        WaitResult lock = WaitResult::Failed;
        std::thread([&] {
            lock = AheadJob().Engine().MutexBank(n).Lock(0);
            if (lock == WaitResult::Obtained) AheadJob().Engine().MutexBank(n).Unlock();
        }).join();
        EXPECT_EQ(lock, WaitResult::Obtained) << n;
    }
    // The next batch reads normally.
    next.clear();
    AheadJob().BeginBatch();
    ExpectCodes(AheadJob().HashFile(big, false), Bytes(10 * 65536, 4));
}

TEST_F(ReadAheadJobTest, FilesTheHistoryServesAreNeverReadAhead)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string b = MakeFile("b.bin", "defg");
    ExpectCodes(AheadJob().HashFile(b, false), "defg");
    next = b;
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    next = a;   // the same path again is served from its new record
    AheadJob().HashFile(a, false);
    EXPECT_FALSE(AheadJob().LastOutcome().read);
    next.clear();
    AheadJob().HashFile(b, false);
    EXPECT_FALSE(AheadJob().LastOutcome().read);
    AheadJob().EndBatch();
    EXPECT_EQ(OpensOf(a), 1);
    EXPECT_EQ(OpensOf(b), 1);
}

TEST_F(ReadAheadJobTest, FileRewrittenAfterItWasReadAheadGetsTheNewCodes)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string b = MakeFile("b.bin", "old!");
    next = b;
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    ASSERT_TRUE(Eventually([&] { return OpensOf(b) == 1; }));
    // Same size, later stamp: what was read ahead is stale.
    MakeFile("b.bin", "new!", LocalTime(2024, 1, 31, 9, 7, 8));
    next.clear();
    ExpectCodes(AheadJob().HashFile(b, false), "new!");
    EXPECT_EQ(OpensOf(b), 2);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ReadAheadJobTest, CurrentFileChangedStillReportsAndTheNextIsReadOnItsOwn)
{
    const std::string a = MakeFile("a.bin", "abc");
    const std::string b = MakeFile("b.bin", "defg");
    next = b;
    // a grows while it is read: the change report is a's, b's codes stay right.
    control.afterRead = [&](const std::string& p, uint8_t*, uint32_t, int) {
        if (p == a) MakeFile("a.bin", "abcd", LocalTime(2024, 1, 31, 9, 9, 10));
    };
    ExpectCodes(AheadJob().HashFile(a, false), "abc");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find("ハッシュ算出中にファイルが更新されました"), std::string::npos);
    EXPECT_TRUE(stop.Requested());
    control.afterRead = nullptr;
    stop.Clear();
    next.clear();
    ExpectCodes(AheadJob().HashFile(b, false), "defg");
    EXPECT_EQ(prompts.shown().size(), 1u);
}

}  // namespace
}  // namespace qv::test
