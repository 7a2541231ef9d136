// The main thread's side of the bank exchange: codes through the banks, progress, cancel and
// the main side's error codes.

#include "engine/BankExchange.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "ReadThreadTestFakes.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using namespace qv::testing;
constexpr int64_t B = 65536;

// Same data, any bank size, any file size around the bank boundaries: the codes of one update.
class BankSizes : public ::testing::TestWithParam<int64_t> {};

TEST_P(BankSizes, CodesEqualOneUpdateOverTheWholeFile)
{
    const int64_t bank = GetParam();
    TempDir dir;
    for (const bool noCache : {false, true}) {
        ReadEngine engine(FastOptions(bank));
        ASSERT_EQ(engine.BufferSize(), bank);
        auto opens = std::make_shared<std::atomic<int>>(0);
        auto reads = std::make_shared<std::atomic<int>>(0);
        TReadThread reader(engine, ReadOpenFlags(noCache), 3, std::make_unique<CountingSource>(opens, reads));
        int expectedReads = 0;
        for (const int64_t size : {int64_t{1}, bank - 1, bank, bank + 1, 2 * bank, 3 * bank, 3 * bank + 1,
                                   5 * bank + 17}) {
            SCOPED_TRACE(::testing::Message() << "size " << size << " noCache " << noCache);
            const std::string data = Pattern(static_cast<size_t>(size), static_cast<uint32_t>(size));
            const std::string path = dir.WriteFile("data", data);
            int32_t code = -99;
            EXPECT_EQ(Through(engine, path, size, code), OneShot(data));
            EXPECT_EQ(code, 0);
            expectedReads += static_cast<int>((size + bank - 1) / bank);
            EXPECT_EQ(reads->load(), expectedReads);  // one bank: one read; one byte more: two
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Banks, BankSizes, ::testing::Values(int64_t{65536}, int64_t{1048576}));

TEST(ExchangeBanks, EmptyFileIsNeverHandedToTheReader)
{
    ReadEngine engine(FastOptions());
    int32_t code = -99;
    // No reader at all: an empty file must not even wait for one.
    EXPECT_EQ(Through(engine, "/nonexistent/empty", 0, code), OneShot(""));
    EXPECT_EQ(code, 0);

    auto file = std::make_shared<FakeFile>();
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    EXPECT_EQ(Through(engine, "empty", 0, code), (Codes{"00000000", "D41D8CD98F00B204E9800998ECF8427E"}));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(file->opens.load(), 0);
}

TEST(ExchangeBanks, FileNotFoundBeforeReadingHasNoCodes)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = 0;
    Through(engine, "gone", -1, code);
    EXPECT_EQ(code, ENOENT);
    EXPECT_EQ(file->opens.load(), 0);
}

TEST(ExchangeBanks, GrownFileIsReadUpToTheSizeFoundBefore)
{
    TempDir dir;
    ReadEngine engine(FastOptions());
    TReadThread reader(engine, ReadOpenFlags(false));
    const std::string data = Pattern(4 * B);
    const std::string path = dir.WriteFile("grows", data);
    // Growth past the last bank, growth inside the last bank, and a few bytes more.
    for (const int64_t size : {int64_t{2} * B, 3 * B - 10, 4 * B - 1, int64_t{5}}) {
        SCOPED_TRACE(size);
        int32_t code = -99;
        EXPECT_EQ(Through(engine, path, size, code), OneShot(data.substr(0, static_cast<size_t>(size))));
        EXPECT_EQ(code, 0);
    }
}

TEST(ExchangeBanks, ProgressIsRefreshedBeforeABankWaitOnlyWhenDue)
{
    TempDir dir;
    const std::string data = Pattern(4 * B + 1);
    const std::string path = dir.WriteFile("data", data);
    ReadEngine engine(FastOptions());
    TReadThread reader(engine, ReadOpenFlags(false));
    ManualClock clock(0.0, 5000);
    uint32_t next = 0;
    std::vector<int64_t> positions;
    BankExchangeHooks hooks;
    hooks.clock = &clock;
    hooks.nextRefreshTime = &next;

    // Always due: once before each of the five banks.
    hooks.refresh = [&](int64_t position) {
        positions.push_back(position);
        return 0u;
    };
    int32_t code = -99;
    EXPECT_EQ(Through(engine, path, 4 * B + 1, code, hooks), OneShot(data));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(positions, (std::vector<int64_t>{0, B, 2 * B, 3 * B, 4 * B}));

    // Due once: the returned time lies ahead of the (standing) clock.
    positions.clear();
    next = 4999;
    hooks.refresh = [&](int64_t position) {
        positions.push_back(position);
        return clock.Tick() + 800;
    };
    Through(engine, path, 4 * B + 1, code, hooks);
    EXPECT_EQ(positions, (std::vector<int64_t>{0}));
    EXPECT_EQ(next, 5800u);

    // Not due: equal is not past.
    positions.clear();
    next = 5000;
    Through(engine, path, 4 * B + 1, code, hooks);
    EXPECT_TRUE(positions.empty());

    // Across the wrap of the 32-bit tick the refresh still comes.
    clock.SetTick(0x10);
    next = 0xFFFFFF00u;
    Through(engine, path, 4 * B + 1, code, hooks);
    EXPECT_EQ(positions, (std::vector<int64_t>{0}));
}

TEST(ExchangeBanks, CancelStopsAfterTheCurrentBankAndEndsTheReader)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(20 * B);
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    ManualClock clock(0.0, 100);
    uint32_t next = 0;
    int cancelTag = 0;
    BankExchangeHooks hooks;
    hooks.clock = &clock;
    hooks.nextRefreshTime = &next;
    hooks.cancelled = [&] { return cancelTag != 0; };
    hooks.refresh = [&](int64_t position) {
        if (position == 2 * B) cancelTag = -1;  // the cancel button, served by the pump
        return 0u;
    };
    int32_t code = -99;
    Through(engine, "big", 20 * B, code, hooks);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(reader.Terminated());
    ASSERT_TRUE(reader.WaitFor(5000));
    EXPECT_LT(file->reads.load(), 20);
    // Every bank mutex was given back.
    std::thread([&] {
        for (int n = 0; n < kBankCount; ++n) {
            EXPECT_EQ(engine.MutexBank(n).Lock(0), WaitResult::Obtained) << n;
            engine.MutexBank(n).Unlock();
        }
    }).join();
}

TEST(ExchangeBanks, NoReaderGivesMinus18AfterOneIoTimeout)
{
    ReadEngine engine(FastOptions());
    int32_t code = 0;
    const auto start = std::chrono::steady_clock::now();
    Through(engine, "nobody reads", 10, code);
    EXPECT_EQ(code, -18);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kIoTimeoutMs - 5));
}

TEST(ExchangeBanks, NegativeTimeOutsNeverMeanWaitingForEver)
{
    ReadEngineOptions options = FastOptions();
    options.ioTimeoutMs = -1;
    options.firstLockMs = -1;
    ReadEngine engine(options);
    EXPECT_EQ(engine.IoTimeout(), 0);
    EXPECT_EQ(engine.FirstLock(), 0);
    int32_t code = 0;
    Through(engine, "nobody reads", 10, code);  // would hang with an unbounded idle wait
    EXPECT_EQ(code, -18);
}

TEST(ExchangeBanks, ReaderStillStuckInTheLastFileGivesMinus18)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(B);
    Gate stall;
    file->beforeRead = [&](int, int64_t) {
        stall.Pass();
        return 0;
    };
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = 0;
    Through(engine, "hangs", B, code);
    EXPECT_EQ(code, -21);
    Through(engine, "next", B, code);
    EXPECT_EQ(code, -18);
    stall.Open();
    EXPECT_TRUE(reader.WaitFor(5000));
}

TEST(ExchangeBanks, BankTwoLockedElsewhereAtTheStartGivesMinus17)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(B);
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    Gate release;
    std::atomic<bool> locked{false};
    std::thread holder([&] {
        locked = engine.MutexBank(2).Lock(5000) == WaitResult::Obtained;
        release.Pass();
        engine.MutexBank(2).Unlock();
    });
    ASSERT_TRUE(WaitUntil([&] { return locked.load(); }));
    int32_t code = 0;
    Through(engine, "blocked", B, code);
    EXPECT_EQ(code, -17);
    release.Open();
    holder.join();
    EXPECT_EQ(file->opens.load(), 0);
    // The reader was never started on that file: the next one goes through.
    file->content = Pattern(B, 7);
    EXPECT_EQ(Through(engine, "after", B, code), OneShot(file->content));
    EXPECT_EQ(code, 0);
}

// The reader stalls inside the read of bank n for longer than the I/O time-out.
TEST(ExchangeBanks, NoDataWithinTheIoTimeoutGivesMinus21MinusBank)
{
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = Pattern(4 * B);
        Gate stall;
        file->beforeRead = [&, n](int call, int64_t) {
            if (call == n) stall.Pass();
            return 0;
        };
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "stalls", 4 * B, code);
        EXPECT_EQ(code, -21 - n);
        stall.Open();
        EXPECT_TRUE(reader.WaitFor(5000));
    }
}

// A scripted reader that fills banks 0 .. n-1 properly and then misbehaves with bank n.
enum class Misdeed { EndsHoldingTheBank, KeepsTheBank };

void ScriptedReader(ReadEngine& engine, int n, Misdeed misdeed, Gate& release)
{
    engine.ThreadIdle().Set();
    if (engine.FileReadStart().Wait(5000) != WaitResult::Obtained) return;
    engine.ThreadIdle().Reset();
    for (int k = 0; k < n; ++k) {
        if (engine.MutexBank(k).Lock(5000) != WaitResult::Obtained) return;
        engine.EventBank(k).Set();
        engine.MutexBank(k).Unlock();
    }
    if (engine.MutexBank(n).Lock(5000) != WaitResult::Obtained) return;
    engine.EventBank(n).Set();
    if (misdeed == Misdeed::EndsHoldingTheBank) return;
    release.Pass();
    engine.MutexBank(n).Unlock();
}

TEST(ExchangeBanks, ReaderEndingWithABankGivesMinus14MinusBank)
{
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        Gate unused;
        std::thread reader([&] { ScriptedReader(engine, n, Misdeed::EndsHoldingTheBank, unused); });
        int32_t code = 0;
        Through(engine, "scripted", 4 * B, code);
        reader.join();
        EXPECT_EQ(code, -14 - n);
        // The main side took the abandoned mutex over and gave every bank back.
        std::thread([&] {
            for (int k = 0; k < kBankCount; ++k) {
                EXPECT_EQ(engine.MutexBank(k).Lock(0), WaitResult::Obtained) << k;
                engine.MutexBank(k).Unlock();
            }
        }).join();
    }
}

TEST(ExchangeBanks, ReaderKeepingAFilledBankGivesMinus24MinusBank)
{
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        Gate release;
        std::thread reader([&] { ScriptedReader(engine, n, Misdeed::KeepsTheBank, release); });
        int32_t code = 0;
        Through(engine, "scripted", 4 * B, code);
        release.Open();
        reader.join();
        EXPECT_EQ(code, -24 - n);
    }
}

TEST(ExchangeBanks, ReaderErrorOverridesTheMainSideCode)
{
    // The reader gives up on bank 1; the main side, waiting for bank 1, would time out.
    ReadEngine engine(FastOptions());
    engine.RetryLimit = 0;
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(3 * B);
    file->beforeRead = [&](int call, int64_t) { return call == 1 ? EIO : 0; };
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = 0;
    Through(engine, "eio", 3 * B, code);
    EXPECT_EQ(code, EIO);
    EXPECT_EQ(engine.ReadRetryCount.load(), 1);
    EXPECT_TRUE(reader.WaitFor(5000));  // an error ends the reader's use for the batch
}

}  // namespace
}  // namespace qv
