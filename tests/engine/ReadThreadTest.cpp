// The banks, the file source and the reader thread: its life, termination and read repeats.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <tuple>

#include "EngineKit.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using namespace qv::testing;

TEST(BankSize, MultipleOf64KiBRoundedDownWithinTheLimits)
{
    const std::pair<int64_t, int64_t> cases[] = {
        {100000, 65536},     {200000, 196608}, {0, 65536}, {-200000, 65536}, {65535, 65536}, {131071, 65536},
        {1048576, 1048576}, {INT64_MAX, kMaxBufferSize}, {int64_t{1} << 32, kMaxBufferSize}};
    for (const auto& [setting, bank] : cases) EXPECT_EQ(RoundBufferSize(setting), bank) << setting;
}

// A bank whose memory could not be had is reported, and reads into it fail.
TEST(ReadEngine, AlignedBanksOrAReportedFailureReleasedOnce)
{
    ReadEngineOptions options = EngineOptions(kIoTimeoutMs, 200000);
    options.allocFault = [](int bank) { return bank == 1 ? ENOMEM : 0; };
    std::vector<std::string> messages;
    ReadEngine engine(options, [&](const std::string& text) { messages.push_back(text); });
    EXPECT_EQ(messages, std::vector<std::string>{"読取りバッファの初期化に失敗しました\r(12) " +
                                                 PlatformErrorText(ENOMEM) + "\rQuenvarlithを再起動して下さい"});
    EXPECT_EQ(engine.BufferSize(), 196608);
    for (int n : {0, 2}) EXPECT_EQ(reinterpret_cast<uintptr_t>(engine.Bank(n)) % 4096, 0u);
    FakeReader reader(engine, std::string("\x00\x0A\xFF\x10\x7F\x80\xC3\x01\x55", 9) + Pattern(196608));
    // A file that fits in bank 0 never touches bank 1.
    EXPECT_EQ(Hashed(engine, 9), OneShot(reader.file->content.substr(0, 9)));
    EXPECT_EQ(engine.BankDump(0), "00 0A FF 10 7F 80 C3 01 ");
    EXPECT_EQ(engine.BankDump(1) + engine.BankDump(3), "");
    EXPECT_EQ(Exchange(engine, 196608 + 1), ENOMEM);
    EXPECT_EQ(engine.ReadRetryCount.load(), 4);   // the retry limit of 3 was spent first
    int failures = 0;
    for (int twice = 0; twice < 2; ++twice) engine.ReleaseBanks([&](int, int) { ++failures; });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(engine.Bank(2), nullptr);
}

// As a file system that refuses O_DIRECT, at the open or at the read.
struct NoDirectSource : PosixFileSource {
    explicit NoDirectSource(bool atOpen) : atOpen(atOpen) {}
    int SysOpen(const char* path, int flags) override
    {
        return atOpen && (flags & O_DIRECT) ? Refuse() : PosixFileSource::SysOpen(path, flags);
    }
    ssize_t SysPread(int fd, void* buffer, size_t length, off_t offset) override
    {
        return (::fcntl(fd, F_GETFL) & O_DIRECT) ? Refuse() : PosixFileSource::SysPread(fd, buffer, length, offset);
    }
    static int Refuse() { errno = EINVAL; return -1; }
    bool atOpen;
};

TEST(PosixFileSource, ReadsWholeBanksWithOrWithoutTheCacheAndRefusesPipes)
{
    TempDir dir;
    const std::string data = Pattern(3 * B + 777);
    const std::string path = dir.WriteFile("data", data);
    ReadEngine engine(EngineOptions(kPatientMs));   // page-aligned banks, as O_DIRECT wants
    uint8_t* bank = engine.Bank(0);
    PosixFileSource cached, direct;
    NoDirectSource refusedAtOpen(true), refusedAtRead(false);
    const std::pair<PosixFileSource*, bool> sources[] = {
        {&cached, false}, {&direct, true}, {&refusedAtOpen, true}, {&refusedAtRead, true}};
    for (const auto& [source, noCache] : sources) {
        ASSERT_EQ(source->Open(path, ReadOpenFlags(noCache)), 0);
        std::string back;
        // Short only at the end of the file.
        for (uint32_t got = B; got == B; back.append(reinterpret_cast<const char*>(bank), got)) {
            EXPECT_EQ(source->Seek(static_cast<int64_t>(back.size())), 0);
            EXPECT_EQ(source->Read(bank, B, B, got), 0);
        }
        EXPECT_EQ(back, data) << noCache;
    }
    EXPECT_FALSE(refusedAtOpen.DirectIo() || refusedAtRead.DirectIo());
    EXPECT_EQ(cached.Seek(-1), EINVAL);
    // A file swapped for a FIFO after it was found must not make the open wait for a writer.
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    uint32_t got = 0;
    for (const bool noCache : {false, true}) {
        EXPECT_EQ(cached.Open(dir.Path("missing"), ReadOpenFlags(noCache)), ENOENT);
        EXPECT_EQ(cached.Open(dir.Path("fifo"), ReadOpenFlags(noCache)), EINVAL);
        EXPECT_EQ(cached.Read(bank, 1, 1, got), EBADF);
    }
}

TEST(TReadThread, IdleReaderPollsUntilToldToEndThenEndsAtOnce)
{
    for (const int poll : {50, 5000}) {
        ReadEngineOptions options = EngineOptions(kIoTimeoutMs);
        options.idlePollMs = poll;
        ReadEngine engine(options);
        FakeReader reader(engine, "");
        EXPECT_TRUE(poll != 50 || !reader.thread.WaitFor(300));   // six short polls and still there
        const auto start = std::chrono::steady_clock::now();
        reader.thread.Terminate();
        ASSERT_TRUE(reader.thread.WaitFor(5000));
        EXPECT_LT(MsSince(start), 1000);   // woken, not left to finish its poll
        EXPECT_TRUE(reader.thread.Finished());
    }
}

// The reader sets its own priority; a value outside 1..5 means normal.
TEST(TReadThread, PriorityIsAppliedByTheReaderItself)
{
    const auto niceOfReader = [](int priority) {
        ReadEngine engine(EngineOptions(kPatientMs));
        FakeReader reader(engine, "x", priority);
        std::atomic<int> nice{-100};
        reader.file->beforeRead = [&](int) {
            nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
            return 0;
        };
        EXPECT_EQ(Exchange(engine, 1), 0);
        return nice.load();
    };
    const int normal = niceOfReader(3);
    EXPECT_GT(niceOfReader(1), normal);   // lowest: a larger nice value
    EXPECT_EQ(std::make_pair(niceOfReader(9), niceOfReader(0)), std::make_pair(normal, normal));
}

TEST(TReadThread, TerminationWhileReadingStopsAtTheNextBank)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    FakeReader reader(engine, Pattern(10 * B));
    Gate stall;
    StallAt(*reader.file, stall, 1);
    int32_t code = -99;
    std::thread main([&] { code = Exchange(engine, 10 * B); });
    ASSERT_TRUE(WaitUntil([&] { return reader.file->reads.load() == 2; }));   // in the read of bank 1
    reader.thread.Terminate();
    stall.Open();
    ASSERT_TRUE(reader.thread.WaitFor(5000));
    main.join();
    EXPECT_EQ(std::make_pair(reader.file->reads.load(), reader.file->closes.load()), std::make_pair(2, 1));
    // The exchange lost its data source: it times out on the next bank.
    EXPECT_EQ(code, BankCode(EngineCode::BankEventTimeout, 2));
}

// An open failure ends the reader, seen by one bank wait at the latest; the reader's end clears the error.
TEST(TReadThread, OpenFailureEndsTheReaderAndItsDestructionClearsTheError)
{
    ReadEngine engine(EngineOptions(kIoTimeoutMs));
    {
        FakeReader reader(engine, "");
        reader.file->openError = EACCES;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Exchange(engine, 100), EACCES);
        EXPECT_LT(MsSince(start), kIoTimeoutMs + 300);
        EXPECT_TRUE(reader.thread.WaitFor(5000));
        EXPECT_EQ(engine.ReadError.load(), EACCES);
    }
    EXPECT_EQ(engine.ReadError.load(), 0);
    EXPECT_EQ(engine.ThreadIdle().Wait(0), WaitResult::TimedOut);
    EXPECT_EQ(engine.Reader(), nullptr);
    // The next batch's reader, on real files, works as new.
    TempDir dir;
    const std::string data = Pattern(1000);
    TReadThread reader(engine, ReadOpenFlags(false), 5);
    EXPECT_EQ(Hashed(engine, 1000, dir.WriteFile("f", data)), OneShot(data));
}

// Failed and short reads are repeated from a fresh seek; a reader error wins over the main side's time-out.
TEST(TReadThread, ReadsAreRepeatedUpToTheRetryLimit)
{
    const std::string data = Pattern(2 * B + 5);
    const struct {
        const char* what;
        int32_t retryLimit;
        size_t available;    // bytes the file holds before the read numbered healAt
        int healAt, seekError;
        bool (*fails)(int call);   // with EIO
        int32_t code;
        int reads, seeks, retries;
    } cases[] = {
        {"bank 1 always fails", 3, data.size(), -1, 0, [](int call) { return call >= 1; }, EIO, 5, 5, 4},
        {"two failures, then data", 3, data.size(), -1, 0, [](int call) { return call == 1 || call == 2; }, 0, 5, 5, 0},
        {"no repeats allowed", 0, data.size(), -1, 0, [](int call) { return call == 0; }, EIO, 1, 1, 1},
        {"seek fails", 3, data.size(), -1, ESPIPE, nullptr, ESPIPE, 0, 1, 0},
        {"short until the writer caught up", 3, B + 10, 3, 0, nullptr, 0, 5, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReadEngine engine(EngineOptions(kIoTimeoutMs));
        engine.RetryLimit = c.retryLimit;
        FakeReader reader(engine, data.substr(0, c.available));
        FakeFile& file = *reader.file;
        file.seekError = c.seekError;
        file.beforeRead = [&](int call) {
            std::lock_guard<std::mutex> lock(file.m);
            if (call == c.healAt) file.content = data;
            return c.fails && c.fails(call) ? EIO : 0;
        };
        const std::string expected = c.code == 0 ? OneShot(data) : "code " + std::to_string(c.code);
        EXPECT_EQ(Hashed(engine, static_cast<int64_t>(data.size())), expected);
        EXPECT_EQ(reader.thread.WaitFor(c.code == 0 ? 0 : 5000), c.code != 0);
        EXPECT_EQ(std::make_tuple(file.reads.load(), file.seeks.load(), engine.ReadRetryCount.load()),
                  std::make_tuple(c.reads, c.seeks, c.retries));
    }
}

}  // namespace
}  // namespace qv
