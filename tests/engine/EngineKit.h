#pragma once
// A scriptable file source and the helpers shared by the reader and bank-exchange tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "engine/BankExchange.h"
#include "engine/ReadThread.h"
#include "support/Bytes.h"
#include "support/Waits.h"

namespace qv::testing {

constexpr int kIoTimeoutMs = 200;    // where a time-out is what the test waits for
constexpr int kPatientMs = 5000;     // where none may happen, even on a loaded machine
constexpr int64_t B = 65536;

inline ReadEngineOptions EngineOptions(int ioTimeoutMs, int64_t bufferSize = B)
{
    ReadEngineOptions options;
    options.bufferSizeSetting = bufferSize;
    options.ioTimeoutMs = ioTimeoutMs;
    return options;
}

inline std::string Finish(HashContext& ctx)
{
    uint8_t digest[16];
    uint32_t crc = 0;
    HashFinal(ctx, digest, crc);
    return CrcText(crc) + " " + Md5Text(digest);
}

// "CRC MD5" of the whole data in one update: the reference.
inline std::string OneShot(const std::string& data)
{
    HashContext ctx;
    HashInit(ctx);
    HashUpdate(ctx, data.data(), static_cast<uint32_t>(data.size()));
    return Finish(ctx);
}

// The result of hashing a file through the engine.
inline int32_t Exchange(ReadEngine& engine, int64_t size, const BankExchangeHooks& hooks = {})
{
    HashContext ctx;
    HashInit(ctx);
    return ExchangeBanks(engine, "file", size, ctx, hooks);
}

// "CRC MD5" of a file hashed through the engine, or "code N" for the result the exchange gave.
inline std::string Hashed(ReadEngine& engine, int64_t size, const std::string& path = "file")
{
    HashContext ctx;
    HashInit(ctx);
    const int32_t code = ExchangeBanks(engine, path, size, ctx, {});
    return code == 0 ? Finish(ctx) : "code " + std::to_string(code);
}

// What a fake file serves and what the reader did with it.
struct FakeFile {
    std::string content;
    int openError = 0, seekError = 0;
    // Before each read (from 0): an errno value fails it; it may stall or change the content (under m).
    std::function<int(int call)> beforeRead;
    std::atomic<int> opens{0}, closes{0}, seeks{0}, reads{0};
    std::mutex m;
};

// The read numbered n waits at the gate.
inline void StallAt(FakeFile& file, Gate& gate, int n)
{
    file.beforeRead = [&gate, n](int call) { if (call == n) gate.Pass(); return 0; };
}

class FakeSource : public FileSource {
public:
    explicit FakeSource(std::shared_ptr<FakeFile> file) : file_(std::move(file)) {}
    int Open(const std::string&, uint32_t) override
    {
        ++file_->opens;
        open_ = !file_->openError;
        return file_->openError;
    }
    int Seek(int64_t position) override { ++file_->seeks; position_ = position; return file_->seekError; }
    int Read(void* buffer, uint32_t length, uint32_t, uint32_t& got) override
    {
        got = 0;
        const int call = file_->reads++;
        if (file_->beforeRead)
            if (const int code = file_->beforeRead(call)) return code;
        std::lock_guard<std::mutex> lock(file_->m);
        const int64_t available = static_cast<int64_t>(file_->content.size()) - position_;
        got = static_cast<uint32_t>(std::clamp<int64_t>(available, 0, length));
        if (got > 0) std::memcpy(buffer, file_->content.data() + position_, got);
        return 0;
    }
    void Close() override { file_->closes += std::exchange(open_, false); }

private:
    std::shared_ptr<FakeFile> file_;
    int64_t position_ = 0;
    bool open_ = false;
};

// A reader on a fake file, started and idle (a loaded machine may start a thread slower than a time-out).
struct FakeReader {
    FakeReader(ReadEngine& engine, std::string content, int priority = 3)
        : file(std::make_shared<FakeFile>()),
          thread(engine, ReadOpenFlags(false), priority, std::make_unique<FakeSource>(file))
    {
        file->content = std::move(content);
        EXPECT_EQ(engine.ThreadIdle().Wait(5000), WaitResult::Obtained);
    }
    std::shared_ptr<FakeFile> file;
    TReadThread thread;
};

// Every bank mutex is free again: another thread can take each at once.
inline bool AllBanksFree(ReadEngine& engine)
{
    int free = 0;
    std::thread([&] {
        for (int n = 0; n < kBankCount; ++n)
            if (engine.MutexBank(n).Lock(0) == WaitResult::Obtained) free += engine.MutexBank(n).Unlock();
    }).join();
    return free == kBankCount;
}

}  // namespace qv::testing
