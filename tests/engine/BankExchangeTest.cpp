// The bank exchange: codes through the banks, progress, cancel, and every engine fault at every bank.

#include <cerrno>
#include <tuple>
#include <vector>

#include "EngineKit.h"

namespace qv {
namespace {

using namespace qv::testing;

// Sizes around the bank boundaries, files grown since their size was found: one update's codes, one read a bank.
TEST(ExchangeBanks, CodesEqualOneUpdateWithOneReadPerBank)
{
    for (const int64_t bank : {B, 16 * B}) {
        ReadEngine engine(EngineOptions(kPatientMs, bank));
        FakeReader reader(engine, "");
        int expectedReads = 0;
        for (int round = 0; round < 8; ++round) {
            for (const int64_t size : {int64_t{1}, int64_t{0}, int64_t{17}, bank - 1, bank, bank + 1, 2 * bank,
                                       3 * bank, 3 * bank + 1, 5 * bank + 17, int64_t{2}}) {
                const std::string data = Pattern(static_cast<size_t>(size), static_cast<uint32_t>(round + size));
                reader.file->content = data + "grown";   // the reader is idle between files
                ASSERT_EQ(Hashed(engine, size), OneShot(data)) << "bank " << bank << " size " << size;
                expectedReads += static_cast<int>((size + bank - 1) / bank);
                ASSERT_EQ(reader.file->reads.load(), expectedReads);   // one bank: one read; one byte more: two
            }
        }
        EXPECT_FALSE(reader.thread.Finished());
    }
}

TEST(ExchangeBanks, EmptyOrVanishedFilesAreNeverOpened)
{
    ReadEngine engine(EngineOptions(kPatientMs));
    // An empty file needs no reader at all, not even one to wait for.
    EXPECT_EQ(Hashed(engine, 0, "/nonexistent/empty"), "00000000 D41D8CD98F00B204E9800998ECF8427E");
    FakeReader reader(engine, "");
    EXPECT_EQ(Exchange(engine, 0), 0);
    EXPECT_EQ(Exchange(engine, -1), ENOENT);   // not found before reading: no codes
    EXPECT_EQ(reader.file->opens.load(), 0);
}

TEST(ExchangeBanks, ProgressIsRefreshedBeforeABankWaitOnlyWhenDue)
{
    ReadEngine engine(EngineOptions(kPatientMs));
    FakeReader reader(engine, Pattern(4 * B + 1));
    ManualClock clock(0.0, 5000);
    uint32_t next = 0, period = 0;   // period 0: due again at once
    std::vector<int64_t> positions;
    BankExchangeHooks hooks;
    hooks.clock = &clock;
    hooks.nextRefreshTime = &next;
    hooks.refresh = [&](int64_t position) {
        positions.push_back(position);
        return period == 0 ? 0u : clock.Tick() + period;
    };
    const auto run = [&](uint32_t refreshTime) {
        positions.clear();
        next = refreshTime;
        EXPECT_EQ(Exchange(engine, 4 * B + 1, hooks), 0);
        return positions;
    };
    EXPECT_EQ(run(0), (std::vector<int64_t>{0, B, 2 * B, 3 * B, 4 * B}));   // before each of the five banks
    period = 800;
    EXPECT_EQ(run(4999), (std::vector<int64_t>{0}));
    EXPECT_EQ(next, 5800u);
    EXPECT_EQ(run(5000), (std::vector<int64_t>{}));   // equal is not past
    clock.SetTick(0x10);
    EXPECT_EQ(run(0xFFFFFF00u), (std::vector<int64_t>{0}));   // across the wrap of the tick
}

TEST(ExchangeBanks, CancelStopsAfterTheCurrentBankAndEndsTheReader)
{
    ReadEngine engine(EngineOptions(kPatientMs));
    FakeReader reader(engine, Pattern(20 * B));
    BankExchangeHooks hooks;
    hooks.cancelled = [pass = 0]() mutable { return ++pass > 3; };   // the cancel button, after three banks
    EXPECT_EQ(Exchange(engine, 20 * B, hooks), 0);
    EXPECT_TRUE(reader.thread.Terminated());
    ASSERT_TRUE(reader.thread.WaitFor(5000));
    EXPECT_LT(reader.file->reads.load(), 20);
    EXPECT_TRUE(AllBanksFree(engine));
}

// Each brings its fault about at bank n and returns the result of the exchange.
int32_t ReaderFindsItsBankAbandoned(int n)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(6 * B));
    // Bank n is the next free one while the reader fills the bank two places before it.
    reader.file->beforeRead = [&](int call) {
        if (call == (n + 2) % kBankCount) std::thread([&] { engine.MutexBank(n).Lock(5000); }).join();
        return 0;
    };
    const int32_t code = Exchange(engine, 6 * B);
    EXPECT_TRUE(reader.thread.WaitFor(5000));
    EXPECT_TRUE(AllBanksFree(engine));   // the reader took the abandoned mutex over and let it go
    return code;
}

int32_t DataEndsBeforeTheSizeFound(int n)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(n * B + 100));
    const int32_t code = Exchange(engine, 4 * B);
    EXPECT_EQ(engine.ReadRetryCount.load(), 4);
    return code;
}

// The hashing side keeps bank n, waiting for the next one on its pass (n + 1) mod 3, past the time-out.
int32_t HashingSideKeepsItsBank(int n)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(6 * B));
    BankExchangeHooks hooks;
    hooks.cancelled = [&, pass = 0]() mutable {
        EXPECT_TRUE(pass++ != (n + 1) % kBankCount || WaitUntil([&] { return engine.ReadError.load() != 0; }));
        return false;
    };
    return Exchange(engine, 6 * B, hooks);
}

// A scripted reader fills banks 0 .. n, then ends holding bank n or keeps it until released.
int32_t ReaderMisbehavesWithItsBank(int n, bool endsHoldingIt)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    Gate release;
    std::thread reader([&] {
        engine.ThreadIdle().Set();
        if (engine.FileReadStart().Wait(5000) != WaitResult::Obtained) return;
        for (int k = 0; k <= n; ++k) {
            if (engine.MutexBank(k).Lock(5000) != WaitResult::Obtained) return;
            engine.EventBank(k).Set();
            if (k < n) engine.MutexBank(k).Unlock();
        }
        if (endsHoldingIt) return;
        release.Pass();
        engine.MutexBank(n).Unlock();
    });
    const int32_t code = Exchange(engine, 4 * B);
    release.Open();
    reader.join();
    EXPECT_TRUE(AllBanksFree(engine));
    return code;
}

// The reader stalls in the read of bank n past the time-out; still stuck, it is not idle for the next file.
int32_t ReaderStallsInARead(int n)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(4 * B));
    Gate stall;
    StallAt(*reader.file, stall, n);
    const int32_t code = Exchange(engine, 4 * B);
    EXPECT_EQ(Exchange(engine, B), CodeOf(EngineCode::ReaderNotIdle));
    stall.Open();
    EXPECT_TRUE(reader.thread.WaitFor(5000));
    return code;
}

int32_t BankTwoLockedElsewhereAtTheStart(int)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(B));
    Gate locked, release;
    std::thread holder([&] {
        engine.MutexBank(2).Lock(5000);
        locked.Open();
        release.Pass();
        engine.MutexBank(2).Unlock();
    });
    locked.Pass();
    const int32_t code = Exchange(engine, B);
    release.Open();
    holder.join();
    // The reader was never started on that file: the next one goes through.
    EXPECT_EQ(Hashed(engine, B), OneShot(reader.file->content));
    EXPECT_EQ(reader.file->opens.load(), 1);
    return code;
}

// No reader to wait for; negative time-outs never mean waiting for ever.
int32_t NoReaderAtAll(int)
{
    ReadEngineOptions options = EngineOptions(-1);
    options.firstLockMs = -1;
    ReadEngine engine(options);
    return Exchange(engine, 10);
}

TEST(EngineFaults, EachGivesItsCodeAtEachBank)
{
    const std::tuple<EngineCode, int, int32_t (*)(int n)> faults[] = {   // the fault, the banks it can be at, how
        {EngineCode::ReaderLockAbandoned, 3, ReaderFindsItsBankAbandoned},
        {EngineCode::ShortRead, 3, DataEndsBeforeTheSizeFound},
        {EngineCode::ReaderLockTimeout, 3, HashingSideKeepsItsBank},
        {EngineCode::HashLockAbandoned, 3, [](int n) { return ReaderMisbehavesWithItsBank(n, true); }},
        {EngineCode::FirstLockFailed, 1, BankTwoLockedElsewhereAtTheStart},
        {EngineCode::ReaderNotIdle, 1, NoReaderAtAll},
        {EngineCode::BankEventTimeout, 3, ReaderStallsInARead},
        {EngineCode::HashLockTimeout, 3, [](int n) { return ReaderMisbehavesWithItsBank(n, false); }},
    };
    for (const auto& [fault, banks, bringAbout] : faults)
        for (int n = 0; n < banks; ++n) EXPECT_EQ(bringAbout(n), BankCode(fault, n)) << "bank " << n;
}

}  // namespace
}  // namespace qv
