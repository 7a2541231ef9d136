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

class ReadAheadJobTest : public FileJobTest {
protected:
    ReadAheadJobTest() { Job().BeginBatch(); }
    // Hashes path with `ahead` as the next path, and waits until the reader has opened it.
    int32_t HashReadingAhead(const std::string& path, const std::string& ahead)
    {
        next = ahead;
        const int opened = OpensOf(ahead);
        const int32_t index = Job().HashFile(path, false);
        EXPECT_TRUE(qv::testing::WaitUntil([&] { return OpensOf(ahead) > opened; })) << ahead;
        next.clear();
        return index;
    }
};

// A read-ahead that failed or that the file outlived is not what the next call gets.
TEST_F(ReadAheadJobTest, ReadAheadThatFailedOrIsOutdatedLeavesNothingBehind)
{
    const std::string a = MakeFile("a.bin", "abc"), b = MakeFile("b.bin", "defg"), c = MakeFile("c.bin", "hij");
    const std::string d = MakeFile("d.bin", "old!"), e = MakeFile("e.bin", "xyz");
    control.openFault = [&](const std::string& p) { return p == b ? EIO : 0; };
    EXPECT_EQ(Recorded(HashReadingAhead(a, b)), CodesOf("abc"));
    // The list changed: c comes instead of b.
    EXPECT_EQ(Recorded(Job().HashFile(c, false)), CodesOf("hij"));
    HashReadingAhead(e, d);
    MakeFile("d.bin", "new!", LocalUnix(2024, 1, 31, 9, 7, 8));   // same size, later stamp
    EXPECT_EQ(Recorded(Job().HashFile(d, false)), CodesOf("new!"));
    EXPECT_EQ(OpensOf(d), 2);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(stop.Requested());
    EXPECT_TRUE(Job().ReaderRunning());
}

TEST_F(ReadAheadJobTest, DroppedReadAheadStopsAtTheNextBankAndEndingTheBatchFreesEveryBank)
{
    const std::string a = MakeFile("a.bin", "abc"), big = MakeFile("big.bin", Bytes(40 * 65536, 3));
    const std::string c = MakeFile("c.bin", "hij"), d = MakeFile("d.bin", "xyz");
    qv::testing::Gate gate;
    std::atomic<int> bigReads{0};
    control.afterRead = [&](const std::string& p, uint8_t*, uint32_t, int) {
        if (p == big && bigReads++ == 0) gate.Pass();   // held until the drop has been made
    };
    HashReadingAhead(a, big);
    // Another path: the read of big is dropped, and the reader is free for c at once (a reader
    // still busy would make the hand-over time out with -18).
    gate.Open();
    EXPECT_EQ(Recorded(Job().HashFile(c, false)), CodesOf("hij"));
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_LE(bigReads.load(), 3);   // two banks ahead at most, then the drop is seen

    HashReadingAhead(d, big);
    Job().EndBatch();
    EXPECT_FALSE(Job().ReaderRunning());
    for (int n = 0; n < kBankCount; ++n) {
        WaitResult lock = WaitResult::Failed;
        std::thread([&] {
            lock = Job().Engine().MutexBank(n).Lock(0);
            if (lock == WaitResult::Obtained) Job().Engine().MutexBank(n).Unlock();
        }).join();
        EXPECT_EQ(lock, WaitResult::Obtained) << n;
    }
    Job().BeginBatch();   // the next batch reads normally
    EXPECT_EQ(Recorded(Job().HashFile(big, false)), CodesOf(Bytes(40 * 65536, 3)));
}

}  // namespace
}  // namespace qv::test
