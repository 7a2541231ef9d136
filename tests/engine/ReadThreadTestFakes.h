#pragma once
// Fakes and helpers shared by the reader-thread and bank-exchange tests.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/BankExchange.h"
#include "engine/FileSource.h"
#include "engine/Hash.h"
#include "engine/ReadThread.h"

namespace qv::testing {

constexpr int kIoTimeoutMs = 200;
constexpr auto kGiveUp = std::chrono::seconds(5);  // no test waits longer than this

// Deterministic pseudo-random bytes (xorshift), different per seed.
inline std::string Pattern(size_t size, uint32_t seed = 1)
{
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1u;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

struct Codes {
    std::string crc;
    std::string md5;
    bool operator==(const Codes&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Codes& codes)
{
    return out << codes.crc << "/" << codes.md5;
}

inline Codes Finish(HashContext& ctx)
{
    uint8_t digest[16];
    uint32_t crc = 0;
    HashFinal(ctx, digest, crc);
    return {CrcText(crc), Md5Text(digest)};
}

// The reference: the whole data in one update call.
inline Codes OneShot(const std::string& data)
{
    HashContext ctx;
    HashInit(ctx);
    HashUpdate(ctx, data.data(), static_cast<uint32_t>(data.size()));
    return Finish(ctx);
}

// Hashes a file through the engine; code receives the result of the exchange.
inline Codes Through(ReadEngine& engine, const std::string& path, int64_t size, int32_t& code,
                     const BankExchangeHooks& hooks = {})
{
    HashContext ctx;
    HashInit(ctx);
    code = ExchangeBanks(engine, path, size, ctx, hooks);
    return Finish(ctx);
}

inline ReadEngineOptions FastOptions(int64_t bufferSize = 65536)
{
    ReadEngineOptions options;
    options.bufferSizeSetting = bufferSize;
    options.ioTimeoutMs = kIoTimeoutMs;
    return options;
}

// Waits for a condition, bounded; true when it came.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = kGiveUp)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A one-way gate: waiters block until the test opens it, or until their bounded time is up.
class Gate {
public:
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            open_ = true;
        }
        cv_.notify_all();
    }
    bool Pass(std::chrono::milliseconds limit = kGiveUp)
    {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, limit, [this] { return open_; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

// What a fake file serves and what the reader did with it; shared with the test because the
// reader thread owns the source.
struct FakeFile {
    std::string content;
    int openError = 0;
    int seekError = 0;
    // Runs before each read (call counts from 0) at the read position; a non-zero return
    // fails that read with the errno value. May block (stalls) or change the content.
    std::function<int(int call, int64_t position)> beforeRead;
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};
    std::atomic<int> seeks{0};
    std::atomic<int> reads{0};
    std::mutex m;  // guards content while a hook changes it
};

class FakeSource : public FileSource {
public:
    explicit FakeSource(std::shared_ptr<FakeFile> file) : file_(std::move(file)) {}
    int Open(const std::string&, uint32_t) override
    {
        ++file_->opens;
        open_ = file_->openError == 0;
        return file_->openError;
    }
    int Seek(int64_t position) override
    {
        ++file_->seeks;
        if (file_->seekError != 0) return file_->seekError;
        position_ = position;
        return 0;
    }
    int Read(void* buffer, uint32_t length, uint32_t, uint32_t& got) override
    {
        got = 0;
        const int call = file_->reads++;
        if (file_->beforeRead) {
            if (const int code = file_->beforeRead(call, position_)) return code;
        }
        std::lock_guard<std::mutex> lock(file_->m);
        const int64_t available = static_cast<int64_t>(file_->content.size()) - position_;
        if (available > 0) {
            got = static_cast<uint32_t>(std::min<int64_t>(available, length));
            std::memcpy(buffer, file_->content.data() + position_, got);
        }
        return 0;
    }
    void Close() override
    {
        if (open_) ++file_->closes;
        open_ = false;
    }

private:
    std::shared_ptr<FakeFile> file_;
    int64_t position_ = 0;
    bool open_ = false;
};

inline std::unique_ptr<FileSource> Fake(const std::shared_ptr<FakeFile>& file)
{
    return std::make_unique<FakeSource>(file);
}

// Counts the reads of a real file.
class CountingSource : public PosixFileSource {
public:
    explicit CountingSource(std::shared_ptr<std::atomic<int>> opens,
                            std::shared_ptr<std::atomic<int>> reads)
        : opens_(std::move(opens)), reads_(std::move(reads)) {}
    int Open(const std::string& path, uint32_t flags) override
    {
        ++*opens_;
        return PosixFileSource::Open(path, flags);
    }
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override
    {
        ++*reads_;
        return PosixFileSource::Read(buffer, length, enough, got);
    }

private:
    std::shared_ptr<std::atomic<int>> opens_;
    std::shared_ptr<std::atomic<int>> reads_;
};

// Locks a bank mutex on a thread of its own that then ends while still holding it.
inline WaitResult AbandonMutex(BankMutex& mutex)
{
    WaitResult result = WaitResult::Failed;
    std::thread([&] { result = mutex.Lock(static_cast<int>(kGiveUp.count() * 1000)); }).join();
    return result;
}

}  // namespace qv::testing
