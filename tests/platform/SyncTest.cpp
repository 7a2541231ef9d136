#include "platform/Sync.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace qv {
namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    Event event(true, false);
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
    event.Set();
    EXPECT_EQ(event.Wait(0), WaitResult::Obtained);
    EXPECT_EQ(event.Wait(0), WaitResult::Obtained);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(Event, AutoResetLetsOneWaitThrough)
{
    Event event(false, true);
    EXPECT_EQ(event.Wait(0), WaitResult::Obtained);
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
    event.Set();
    event.Set();   // signalling twice does not count twice
    EXPECT_EQ(event.Wait(0), WaitResult::Obtained);
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);
}

TEST(Event, TimeOutIsBounded)
{
    Event event(false, false);
    const auto start = Clock::now();
    EXPECT_EQ(event.Wait(60), WaitResult::TimedOut);
    const long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 55);
    EXPECT_LT(elapsed, 5000);
}

TEST(Event, WakesAWaiterOnAnotherThread)
{
    Event event(false, false);
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = static_cast<int>(event.Wait(10000)); });
    event.Set();
    waiter.join();
    EXPECT_EQ(result.load(), static_cast<int>(WaitResult::Obtained));
    EXPECT_EQ(event.Wait(0), WaitResult::TimedOut);   // the waiter took the signal
}

TEST(Event, ManualResetReleasesEveryWaiter)
{
    Event event(true, false);
    std::atomic<int> obtained{0};
    std::thread a([&] { obtained += event.Wait(10000) == WaitResult::Obtained; });
    std::thread b([&] { obtained += event.Wait(10000) == WaitResult::Obtained; });
    event.Set();
    a.join();
    b.join();
    EXPECT_EQ(obtained.load(), 2);
}

// Waiters watch a lock-free hint before they sleep; no hand-over may be lost or doubled,
// whether the hint is seen during the spin or only after the waiter has gone to sleep.
TEST(Event, PingPongHandOversAreNeitherLostNorDoubled)
{
    Event ping(false, false);
    Event pong(false, false);
    constexpr int kRounds = 20000;
    std::atomic<int> failures{0};
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (ping.Wait(5000) != WaitResult::Obtained) ++failures;
            if (i % 1000 == 999) std::this_thread::sleep_for(std::chrono::microseconds(200));
            pong.Set();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ping.Set();
        if (pong.Wait(5000) != WaitResult::Obtained) ++failures;
    }
    partner.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(ping.Wait(0), WaitResult::TimedOut);
    EXPECT_EQ(pong.Wait(0), WaitResult::TimedOut);
}

TEST(Event, ResetAfterSetLeavesNothingForALaterWait)
{
    Event event(false, false);
    event.Set();
    event.Reset();
    const auto start = Clock::now();
    EXPECT_EQ(event.Wait(30), WaitResult::TimedOut);
    EXPECT_GE(ElapsedMs(start), 25);
}

TEST(BankMutex, ObtainedThenTimedOutForAnotherThread)
{
    BankMutex mutex;
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    WaitResult other = WaitResult::Failed;
    long elapsed = 0;
    std::thread t([&] {
        const auto start = Clock::now();
        other = mutex.Lock(50);
        elapsed = ElapsedMs(start);
    });
    t.join();
    EXPECT_EQ(other, WaitResult::TimedOut);
    EXPECT_GE(elapsed, 45);
    EXPECT_LT(elapsed, 5000);
    EXPECT_TRUE(mutex.Unlock());
}

TEST(BankMutex, ZeroTimeOutOnlyTries)
{
    BankMutex mutex;
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    WaitResult other = WaitResult::Failed;
    std::thread([&] { other = mutex.Lock(0); }).join();
    EXPECT_EQ(other, WaitResult::TimedOut);
    mutex.Unlock();
    std::thread([&] {
        other = mutex.Lock(0);
        mutex.Unlock();
    }).join();
    EXPECT_EQ(other, WaitResult::Obtained);
}

TEST(BankMutex, HandsOverWhenReleasedDuringAWait)
{
    BankMutex mutex;
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    Event started(true, false);
    WaitResult other = WaitResult::Failed;
    std::thread t([&] {
        started.Set();
        other = mutex.Lock(10000);
        if (other == WaitResult::Obtained) mutex.Unlock();
    });
    ASSERT_EQ(started.Wait(10000), WaitResult::Obtained);
    mutex.Unlock();
    t.join();
    EXPECT_EQ(other, WaitResult::Obtained);
}

TEST(BankMutex, OwnerThreadEndingWhileHoldingGivesAbandoned)
{
    BankMutex mutex;
    WaitResult ownerResult = WaitResult::Failed;
    std::thread([&] { ownerResult = mutex.Lock(1000); }).join();   // ends holding it
    ASSERT_EQ(ownerResult, WaitResult::Obtained);

    EXPECT_EQ(mutex.Lock(1000), WaitResult::Abandoned);
    // The caller now holds it and the mutex works normally again.
    WaitResult other = WaitResult::Failed;
    std::thread([&] { other = mutex.Lock(0); }).join();
    EXPECT_EQ(other, WaitResult::TimedOut);
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(mutex.Lock(0), WaitResult::Obtained);
    EXPECT_TRUE(mutex.Unlock());
}

TEST(BankMutex, OwnerMayLockAgainAndMustUnlockAsOften)
{
    BankMutex mutex;
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    EXPECT_TRUE(mutex.Unlock());
    WaitResult other = WaitResult::Failed;
    std::thread([&] { other = mutex.Lock(0); }).join();
    EXPECT_EQ(other, WaitResult::TimedOut);
    EXPECT_TRUE(mutex.Unlock());
    std::thread([&] {
        other = mutex.Lock(0);
        mutex.Unlock();
    }).join();
    EXPECT_EQ(other, WaitResult::Obtained);
}

TEST(BankMutex, UnlockByANonOwnerIsRefused)
{
    BankMutex mutex;
    EXPECT_FALSE(mutex.Unlock());
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    bool unlocked = true;
    std::thread([&] { unlocked = mutex.Unlock(); }).join();
    EXPECT_FALSE(unlocked);
    EXPECT_TRUE(mutex.Unlock());
}

TEST(SystemInfo, PhysicalMemoryIsWholePages)
{
    const uint64_t bytes = PhysicalMemoryBytes();
    EXPECT_GT(bytes, 16u * 1024u * 1024u);
    EXPECT_EQ(bytes % static_cast<uint64_t>(sysconf(_SC_PAGESIZE)), 0u);
}

TEST(SystemInfo, ThreadPriorityMapsLevelsToNiceValues)
{
    // On its own thread so the test process keeps its priority.
    int lowest = 99, clamped = 99;
    bool lowered = false;
    std::thread([&] {
        const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
        lowered = SetCurrentThreadPriority(1);
        lowest = getpriority(PRIO_PROCESS, tid);
        SetCurrentThreadPriority(0);   // below the range: treated as the lowest
        clamped = getpriority(PRIO_PROCESS, tid);
    }).join();
    ASSERT_TRUE(lowered);
    EXPECT_EQ(lowest, 10);
    EXPECT_EQ(clamped, 10);
}

}  // namespace
}  // namespace qv
