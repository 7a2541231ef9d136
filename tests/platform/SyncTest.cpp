#include "platform/Sync.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/Waits.h"

namespace qv {
namespace {

using testing::MsSince;

// Two polls: 'y' for each obtained.
std::string Polls(Event& e)
{
    std::string seen;
    for (int i = 0; i < 2; ++i) seen += e.Wait(0) == WaitResult::Obtained ? 'y' : 'n';
    return seen;
}

auto OnOtherThread(auto f)
{
    decltype(f()) result{};
    std::thread([&] { result = f(); }).join();
    return result;
}

TEST(Event, ManualStaysSignalledAutoLetsOneThrough)
{
    Event manual(true, false), automatic(false, true);
    EXPECT_EQ(Polls(manual), "nn");
    manual.Set();
    EXPECT_EQ(Polls(manual), "yy");
    manual.Reset();
    EXPECT_EQ(Polls(manual), "nn");
    EXPECT_EQ(Polls(automatic), "yn");
    automatic.Set();
    automatic.Set();   // signalling twice does not count twice
    EXPECT_EQ(Polls(automatic), "yn");
    automatic.Set();
    automatic.Reset();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(automatic.Wait(60), WaitResult::TimedOut);
    EXPECT_TRUE(MsSince(start) >= 55 && MsSince(start) < 5000) << MsSince(start);
}

// Waiters watch a lock-free hint before they sleep; no hand-over may be lost or doubled,
// whether the hint is seen during the spin or only after the waiter has gone to sleep.
TEST(Event, PingPongHandOversAreNeitherLostNorDoubled)
{
    Event ping(false, false), pong(false, false);
    constexpr int kRounds = 20000;
    std::atomic<int> failures{0};
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            failures += ping.Wait(5000) != WaitResult::Obtained;
            if (i % 1000 == 999) std::this_thread::sleep_for(std::chrono::microseconds(200));   // past the spin
            pong.Set();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ping.Set();
        failures += pong.Wait(5000) != WaitResult::Obtained;
    }
    partner.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Polls(ping) + Polls(pong), "nnnn");
}

TEST(BankMutex, RecursiveOwnerAndBoundedWaitsOfOtherThreads)
{
    BankMutex mutex;
    EXPECT_FALSE(mutex.Unlock());   // not owned
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);
    ASSERT_EQ(mutex.Lock(0), WaitResult::Obtained);   // the owner may lock again ...
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(OnOtherThread([&] { return mutex.Lock(0); }), WaitResult::TimedOut);   // ... and unlocks as often
    EXPECT_FALSE(OnOtherThread([&] { return mutex.Unlock(); }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OnOtherThread([&] { return mutex.Lock(50); }), WaitResult::TimedOut);
    EXPECT_TRUE(MsSince(start) >= 45 && MsSince(start) < 5000) << MsSince(start);
}

// Hand-overs, and an owner ending while holding a bank mutex: the engine's exchanges and faults check them.

TEST(SystemInfo, PhysicalMemoryAndThreadPriorities)
{
    const uint64_t bytes = PhysicalMemoryBytes();
    EXPECT_GT(bytes, 16u * 1024u * 1024u);
    EXPECT_EQ(bytes % static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)), 0u);
    // On a thread of its own, so the test process keeps its priority.
    std::thread([] {
        const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
        // Below the range: the lowest (the engine's reader tests check the levels within it).
        ASSERT_TRUE(SetCurrentThreadPriority(0));
        EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), 10);
    }).join();
}

}  // namespace
}  // namespace qv
