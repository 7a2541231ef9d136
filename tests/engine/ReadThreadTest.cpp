// The reader thread, the banks and the reader's error codes.

#include "engine/ReadThread.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <vector>

#include "ReadThreadTestFakes.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using namespace qv::testing;
using Ms = std::chrono::milliseconds;
constexpr int64_t B = 65536;

int64_t ElapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - since).count();
}

TEST(RoundBufferSize, MultipleOf64KiBRoundedDownAtLeastOneUnit)
{
    EXPECT_EQ(RoundBufferSize(100000), 65536);
    EXPECT_EQ(RoundBufferSize(200000), 196608);
    EXPECT_EQ(RoundBufferSize(0), 65536);
    EXPECT_EQ(RoundBufferSize(-1), 65536);
    EXPECT_EQ(RoundBufferSize(-200000), 65536);
    EXPECT_EQ(RoundBufferSize(65535), 65536);
    EXPECT_EQ(RoundBufferSize(65536), 65536);
    EXPECT_EQ(RoundBufferSize(131071), 65536);
    EXPECT_EQ(RoundBufferSize(1048576), 1048576);
    // Bank reads and hash updates take 32-bit lengths.
    EXPECT_EQ(RoundBufferSize(INT64_MAX), kMaxBufferSize);
    EXPECT_EQ(RoundBufferSize(int64_t{1} << 32), kMaxBufferSize);
}

TEST(ReadEngine, ThreeSeparatePageAlignedBanksOfTheRoundedSize)
{
    ReadEngine engine(FastOptions(200000));
    ASSERT_EQ(engine.BufferSize(), 196608);
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    for (int n = 0; n < kBankCount; ++n) {
        uint8_t* bank = engine.Bank(n);
        ASSERT_NE(bank, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(bank) % page, 0u);
        bank[0] = static_cast<uint8_t>(n);
        bank[engine.BufferSize() - 1] = static_cast<uint8_t>(n);
    }
    for (int n = 0; n < kBankCount; ++n) {
        EXPECT_EQ(engine.Bank(n)[0], n) << "bank " << n << " overlaps another";
        EXPECT_EQ(engine.Bank(n)[engine.BufferSize() - 1], n);
    }
}

TEST(ReadEngine, BankDumpIsFirstEightBytesInUpperCaseHex)
{
    ReadEngine engine(FastOptions());
    const uint8_t head[9] = {0x00, 0x0A, 0xFF, 0x10, 0x7F, 0x80, 0xC3, 0x01, 0x55};
    std::memcpy(engine.Bank(1), head, sizeof head);
    EXPECT_EQ(engine.BankDump(1), "00 0A FF 10 7F 80 C3 01 ");
    EXPECT_EQ(engine.BankDump(3), "");
}

TEST(ReadEngine, FailedAllocationIsReportedAndReadsIntoThatBankFail)
{
    ReadEngineOptions options = FastOptions();
    options.allocFault = [](int bank) { return bank == 1 ? ENOMEM : 0; };
    std::vector<std::string> messages;
    ReadEngine engine(options, [&](const std::string& text) { messages.push_back(text); });

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "読取りバッファの初期化に失敗しました\r(12) " + PlatformErrorText(ENOMEM) +
                               "\rQuenvarlithを再起動して下さい");
    EXPECT_NE(engine.Bank(0), nullptr);
    EXPECT_EQ(engine.Bank(1), nullptr);
    EXPECT_NE(engine.Bank(2), nullptr);
    EXPECT_EQ(engine.BankDump(1), "");

    TempDir dir;
    const std::string one = Pattern(B);
    const std::string two = Pattern(B + 1, 2);
    const std::string onePath = dir.WriteFile("one", one);
    const std::string twoPath = dir.WriteFile("two", two);
    TReadThread reader(engine, ReadOpenFlags(false));
    int32_t code = -99;
    // A file that fits in bank 0 never touches bank 1.
    EXPECT_EQ(Through(engine, onePath, B, code), OneShot(one));
    EXPECT_EQ(code, 0);
    Through(engine, twoPath, B + 1, code);
    EXPECT_EQ(code, ENOMEM);
    EXPECT_EQ(engine.ReadRetryCount.load(), 4);  // the retry limit of 3 was spent first
}

TEST(ReadEngine, ReleaseBanksFreesTheMemoryOnce)
{
    ReadEngine engine(FastOptions());
    int failures = 0;
    engine.ReleaseBanks([&](int, int) { ++failures; });
    EXPECT_EQ(failures, 0);
    for (int n = 0; n < kBankCount; ++n) EXPECT_EQ(engine.Bank(n), nullptr);
    engine.ReleaseBanks([&](int, int) { ++failures; });  // and the destructor: nothing left to free
    EXPECT_EQ(failures, 0);
}

// PosixFileSource as a file system that refuses O_DIRECT would make it.
class NoDirectSource : public PosixFileSource {
public:
    bool refuseAtOpen = true;
    int directOpens = 0;

protected:
    int SysOpen(const char* path, int flags) override
    {
        if (flags & O_DIRECT) {
            ++directOpens;
            if (refuseAtOpen) {
                errno = EINVAL;
                return -1;
            }
        }
        return PosixFileSource::SysOpen(path, flags);
    }
    ssize_t SysPread(int fd, void* buffer, size_t length, off_t offset) override
    {
        if (!refuseAtOpen && (::fcntl(fd, F_GETFL) & O_DIRECT)) {
            errno = EINVAL;
            return -1;
        }
        return PosixFileSource::SysPread(fd, buffer, length, offset);
    }
};

TEST(PosixFileSource, PipeInPlaceOfTheFileIsRefusedWithoutBlocking)
{
    // A file swapped for a FIFO after it was found: opening it for reading must not wait
    // for a writer that may never come, or the reader could never be ended.
    TempDir dir;
    const std::string path = dir.Path("swapped");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    PosixFileSource source;
    EXPECT_EQ(source.Open(path, ReadOpenFlags(false)), EINVAL);
    EXPECT_EQ(source.Open(path, ReadOpenFlags(true)), EINVAL);
    uint32_t got = 0;
    char byte = 0;
    EXPECT_EQ(source.Read(&byte, 1, 1, got), EBADF);
}

TEST(PosixFileSource, ReadsWholeBanksAndStopsShortOnlyAtTheEnd)
{
    TempDir dir;
    const std::string data = Pattern(B + 100);
    const std::string path = dir.WriteFile("data", data);
    PosixFileSource source;
    ASSERT_EQ(source.Open(path, ReadOpenFlags(false)), 0);
    std::vector<char> buffer(B);
    uint32_t got = 0;
    ASSERT_EQ(source.Seek(0), 0);
    ASSERT_EQ(source.Read(buffer.data(), B, B, got), 0);
    EXPECT_EQ(got, B);
    EXPECT_EQ(std::string(buffer.data(), got), data.substr(0, B));
    ASSERT_EQ(source.Seek(B), 0);
    ASSERT_EQ(source.Read(buffer.data(), B, B, got), 0);
    EXPECT_EQ(got, 100u);
    EXPECT_EQ(std::string(buffer.data(), got), data.substr(B));
    ASSERT_EQ(source.Seek(2 * B), 0);
    ASSERT_EQ(source.Read(buffer.data(), B, B, got), 0);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(source.Seek(-1), EINVAL);
    source.Close();
    EXPECT_EQ(source.Read(buffer.data(), B, B, got), EBADF);

    EXPECT_EQ(source.Open(dir.Path("missing"), ReadOpenFlags(false)), ENOENT);
    EXPECT_EQ(source.Open(dir.Path("missing"), ReadOpenFlags(true)), ENOENT);
}

TEST(PosixFileSource, NoCacheBypassesTheCacheOrFallsBackWhereRefused)
{
    TempDir dir;
    const std::string data = Pattern(3 * B + 777);
    const std::string path = dir.WriteFile("data", data);
    ReadEngine engine(FastOptions());  // page-aligned banks, as O_DIRECT wants
    const auto readAll = [&](FileSource& source) {
        std::string back;
        for (int64_t position = 0;; position += B) {
            uint32_t got = 0;
            EXPECT_EQ(source.Seek(position), 0);
            EXPECT_EQ(source.Read(engine.Bank(0), B, B, got), 0);
            back.append(reinterpret_cast<const char*>(engine.Bank(0)), got);
            if (got < B) return back;
        }
    };

    PosixFileSource direct;
    ASSERT_EQ(direct.Open(path, ReadOpenFlags(true)), 0);
    EXPECT_EQ(readAll(direct), data);

    NoDirectSource refusedAtOpen;
    ASSERT_EQ(refusedAtOpen.Open(path, ReadOpenFlags(true)), 0);
    EXPECT_EQ(refusedAtOpen.directOpens, 1);
    EXPECT_FALSE(refusedAtOpen.DirectIo());
    EXPECT_EQ(readAll(refusedAtOpen), data);

    NoDirectSource refusedAtRead;
    refusedAtRead.refuseAtOpen = false;
    ASSERT_EQ(refusedAtRead.Open(path, ReadOpenFlags(true)), 0);
    EXPECT_TRUE(refusedAtRead.DirectIo());
    EXPECT_EQ(readAll(refusedAtRead), data);
    EXPECT_FALSE(refusedAtRead.DirectIo());
}

TEST(TReadThread, IdleReaderEndsPromptlyOnTerminationAndNotBefore)
{
    {
        // Left alone it keeps polling, here six periods of 50 ms.
        ReadEngineOptions options = FastOptions();
        options.idlePollMs = 50;
        ReadEngine engine(options);
        TReadThread reader(engine, ReadOpenFlags(false));
        ASSERT_EQ(engine.ThreadIdle().Wait(5000), WaitResult::Obtained);
        EXPECT_FALSE(reader.WaitFor(300));
        EXPECT_FALSE(reader.Finished());
    }
    ReadEngine engine(FastOptions());  // the 500 ms poll
    ASSERT_EQ(engine.IdlePoll(), 500);
    TReadThread reader(engine, ReadOpenFlags(false));
    ASSERT_EQ(engine.ThreadIdle().Wait(5000), WaitResult::Obtained);
    const auto start = std::chrono::steady_clock::now();
    reader.Terminate();
    ASSERT_TRUE(reader.WaitFor(5000));
    EXPECT_LT(ElapsedMs(start), 500 + 250);
    EXPECT_TRUE(reader.Finished());
}

// The reader sets its own priority; a value outside 1..5 means normal.
TEST(TReadThread, PriorityIsAppliedByTheReaderItself)
{
    const auto niceOfReader = [](int priority) {
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = "x";
        std::atomic<int> nice{-100};
        file->beforeRead = [&](int, int64_t) {
            errno = 0;
            nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
            return 0;
        };
        TReadThread reader(engine, ReadOpenFlags(false), priority, Fake(file));
        int32_t code = -99;
        Through(engine, "x", 1, code);
        EXPECT_EQ(code, 0);
        return nice.load();
    };
    const int normal = niceOfReader(3);
    EXPECT_GT(niceOfReader(1), normal);  // lowest: a larger nice value
    EXPECT_EQ(niceOfReader(9), normal);
    EXPECT_EQ(niceOfReader(0), normal);
}

TEST(TReadThread, TerminationWhileReadingStopsAtTheNextBank)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(10 * B);
    Gate stall;
    std::atomic<bool> stalled{false};
    file->beforeRead = [&](int call, int64_t) {
        if (call == 1) {
            stalled = true;
            stall.Pass();
        }
        return 0;
    };
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = -99;
    std::thread main([&] { Through(engine, "fake", 10 * B, code); });
    ASSERT_TRUE(WaitUntil([&] { return stalled.load(); }));
    reader.Terminate();
    stall.Open();
    ASSERT_TRUE(reader.WaitFor(5000));
    main.join();
    EXPECT_EQ(file->reads.load(), 2);
    EXPECT_EQ(file->closes.load(), 1);
    // The exchange lost its data source: it times out on the next bank.
    EXPECT_EQ(code, -21 - 2);
}

TEST(TReadThread, DestructionClearsTheReadErrorAndTheIdleSignal)
{
    ReadEngine engine(FastOptions());
    {
        auto file = std::make_shared<FakeFile>();
        file->openError = EACCES;
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "locked", 5, code);
        EXPECT_EQ(code, EACCES);
        EXPECT_TRUE(reader.WaitFor(5000));  // an open failure ends the reader
        EXPECT_EQ(engine.ReadError.load(), EACCES);
    }
    EXPECT_EQ(engine.ReadError.load(), 0);
    EXPECT_EQ(engine.ThreadIdle().Wait(0), WaitResult::TimedOut);
    EXPECT_EQ(engine.Reader(), nullptr);

    // The next batch's reader works as new.
    TempDir dir;
    const std::string data = Pattern(1000);
    const std::string path = dir.WriteFile("f", data);
    TReadThread reader(engine, ReadOpenFlags(false), 5);
    int32_t code = -99;
    EXPECT_EQ(Through(engine, path, 1000, code), OneShot(data));
    EXPECT_EQ(code, 0);
}

TEST(TReadThread, OpenFailureIsReportedWithinOneIoTimeout)
{
    ReadEngine engine(FastOptions());
    TReadThread reader(engine, ReadOpenFlags(false));
    TempDir dir;
    int32_t code = 0;
    const auto start = std::chrono::steady_clock::now();
    Through(engine, dir.Path("vanished"), 100, code);
    EXPECT_EQ(code, ENOENT);
    // Nothing signals the main side: it sees the error before its first bank wait, or at
    // the latest when that wait times out.
    EXPECT_LT(ElapsedMs(start), kIoTimeoutMs + 300);
    EXPECT_TRUE(reader.WaitFor(5000));
}

TEST(TReadThread, ReadFailuresAreRetriedThenReported)
{
    const std::string data = Pattern(2 * B + 5);
    {
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = data;
        file->beforeRead = [](int call, int64_t) { return call >= 1 ? EIO : 0; };
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "eio", 2 * B + 5, code);
        EXPECT_EQ(code, EIO);
        EXPECT_EQ(engine.ReadRetryCount.load(), 4);
        EXPECT_EQ(file->reads.load(), 1 + 4);  // bank 0, then bank 1 once and three repeats
        EXPECT_EQ(file->seeks.load(), 1 + 4);  // every repeat starts with a seek
    }
    {
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = data;
        file->beforeRead = [](int call, int64_t) { return call == 1 || call == 2 ? EIO : 0; };
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = -99;
        EXPECT_EQ(Through(engine, "flaky", 2 * B + 5, code), OneShot(data));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(file->reads.load(), 5);
    }
    {
        ReadEngine engine(FastOptions());
        engine.RetryLimit = 0;
        auto file = std::make_shared<FakeFile>();
        file->content = data;
        file->beforeRead = [](int call, int64_t) { return call == 0 ? EIO : 0; };
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "no repeats", 2 * B + 5, code);
        EXPECT_EQ(code, EIO);
        EXPECT_EQ(file->reads.load(), 1);
    }
}

TEST(TReadThread, FailedSeekIsReportedWithoutRepeats)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    file->content = Pattern(B);
    file->seekError = ESPIPE;
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = 0;
    Through(engine, "pipe", B, code);
    EXPECT_EQ(code, ESPIPE);
    EXPECT_EQ(file->seeks.load(), 1);
    EXPECT_EQ(file->reads.load(), 0);
}

// The data ends inside bank n although the size found before said more: short reads, repeats,
// then -4 - n.
TEST(TReadThread, ShortReadBeforeTheEndGivesMinus4MinusBank)
{
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = Pattern(n * B + 100);
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "shrunk", 4 * B, code);
        EXPECT_EQ(code, -4 - n);
        EXPECT_EQ(engine.ReadRetryCount.load(), 4);
        EXPECT_EQ(file->reads.load(), n + 4);
    }
}

TEST(TReadThread, ShortReadThatRecoversOnARepeatIsNoError)
{
    ReadEngine engine(FastOptions());
    auto file = std::make_shared<FakeFile>();
    const std::string data = Pattern(3 * B);
    file->content = data.substr(0, B + 10);
    file->beforeRead = [&](int call, int64_t) {
        if (call == 3) {
            std::lock_guard<std::mutex> lock(file->m);
            file->content = data;  // the writer caught up
        }
        return 0;
    };
    TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
    int32_t code = -99;
    EXPECT_EQ(Through(engine, "late", 3 * B, code), OneShot(data));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(file->reads.load(), 1 + 3 + 1);
}

TEST(TReadThread, RealFileTruncatedBeforeReadingGivesShortReadError)
{
    TempDir dir;
    const std::string path = dir.WriteFile("shrinks", Pattern(5 * B));
    ReadEngine engine(FastOptions());
    TReadThread reader(engine, ReadOpenFlags(false));
    ASSERT_EQ(::truncate(path.c_str(), B + B / 2), 0);
    int32_t code = 0;
    Through(engine, path, 5 * B, code);
    EXPECT_EQ(code, -5);
}

// Another thread takes bank n's mutex while the reader is busy elsewhere and ends holding it.
TEST(TReadThread, AbandonedBankMutexGivesMinus1MinusBank)
{
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        auto file = std::make_shared<FakeFile>();
        file->content = Pattern(6 * B);
        // Bank n is next free while the reader fills the bank two places before it.
        const int trigger = (n + 2) % kBankCount;
        std::atomic<int> abandoned{-1};
        file->beforeRead = [&](int call, int64_t) {
            if (call == trigger) abandoned = static_cast<int>(AbandonMutex(engine.MutexBank(n)));
            return 0;
        };
        TReadThread reader(engine, ReadOpenFlags(false), 3, Fake(file));
        int32_t code = 0;
        Through(engine, "abandoned", 6 * B, code);
        EXPECT_EQ(abandoned.load(), static_cast<int>(WaitResult::Obtained));
        EXPECT_EQ(code, -1 - n);
        // The reader took it over and released it: the mutex is usable again.
        std::thread([&] {
            EXPECT_EQ(engine.MutexBank(n).Lock(1000), WaitResult::Obtained);
            engine.MutexBank(n).Unlock();
        }).join();
    }
}

// The hashing side keeps bank n past the I/O time-out (a modal window in the progress pump).
TEST(TReadThread, HashingSideHoldingABankTooLongGivesMinus7MinusBank)
{
    TempDir dir;
    const std::string path = dir.WriteFile("slow", Pattern(6 * B));
    for (int n = 0; n < kBankCount; ++n) {
        SCOPED_TRACE(n);
        ReadEngine engine(FastOptions());
        TReadThread reader(engine, ReadOpenFlags(false));
        ManualClock clock(0.0, 1000);
        uint32_t next = 0;
        // The main side holds bank n while it waits for bank n + 1: stall the pump there.
        const int64_t stallAt = (n + 1) % kBankCount * B;
        BankExchangeHooks hooks;
        hooks.clock = &clock;
        hooks.nextRefreshTime = &next;
        bool reached = false;
        hooks.refresh = [&](int64_t position) {
            if (position == stallAt) {
                reached = true;
                EXPECT_TRUE(WaitUntil([&] { return engine.ReadError.load() != 0; }));
            }
            return 0u;
        };
        int32_t code = 0;
        Through(engine, path, 6 * B, code, hooks);
        EXPECT_TRUE(reached);
        EXPECT_EQ(code, -7 - n);
    }
}

TEST(TReadThread, ManyFilesInARowThroughOneReader)
{
    TempDir dir;
    ReadEngine engine(FastOptions());
    auto opens = std::make_shared<std::atomic<int>>(0);
    auto reads = std::make_shared<std::atomic<int>>(0);
    TReadThread reader(engine, ReadOpenFlags(false), 3, std::make_unique<CountingSource>(opens, reads));
    const int64_t sizes[] = {1, 0, 17, B - 1, B, B + 1, 3 * B, 3 * B + 1, 7 * B + 3, 0, 2};
    int expectedOpens = 0;
    int expectedReads = 0;
    for (int round = 0; round < 20; ++round) {
        for (size_t i = 0; i < std::size(sizes); ++i) {
            const int64_t size = sizes[i];
            const std::string data = Pattern(static_cast<size_t>(size), static_cast<uint32_t>(round * 100 + i));
            const std::string path = dir.WriteFile(std::to_string(i), data);
            int32_t code = -99;
            ASSERT_EQ(Through(engine, path, size, code), OneShot(data)) << "round " << round << " size " << size;
            ASSERT_EQ(code, 0);
            if (size > 0) ++expectedOpens;
            expectedReads += static_cast<int>((size + B - 1) / B);
        }
    }
    EXPECT_EQ(opens->load(), expectedOpens);
    EXPECT_EQ(reads->load(), expectedReads);
    EXPECT_FALSE(reader.Finished());
}

}  // namespace
}  // namespace qv
