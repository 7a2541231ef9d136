#include "engine/ReadThread.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/Files.h"

namespace qv {

ReadEngine::ReadEngine(const ReadEngineOptions& options,
                       const std::function<void(const std::string&)>& onAllocFailure)
    : IoTimeoutMs(options.ioTimeoutMs),
      RetryLimit(options.retryLimit),
      IdlePollMs(options.idlePollMs),
      FirstLockMs(options.firstLockMs),
      ReadAheadIdleMs(options.readAheadIdleMs),
      bufferSize_(RoundBufferSize(options.bufferSizeSetting))
{
    for (int n = 0; n < kBankCount; ++n) {
        int code = options.allocFault ? options.allocFault(n) : 0;
        if (code == 0) {
            // Anonymous mappings are page-aligned, as O_DIRECT needs.
            void* block = ::mmap(nullptr, static_cast<size_t>(bufferSize_), PROT_READ | PROT_WRITE,
                                 MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block != MAP_FAILED) banks_[n] = static_cast<uint8_t*>(block);
            else code = errno;
        }
        if (code != 0 && onAllocFailure) {
            onAllocFailure("読取りバッファの初期化に失敗しました\r(" + std::to_string(code) + ") " +
                           PlatformErrorText(code) + "\r" + "Quenvarlithを再起動して下さい");
        }
    }
}

ReadEngine::~ReadEngine()
{
    if (TReadThread* reader = reader_.load()) reader->Terminate();
    ReleaseBanks();
}

std::string ReadEngine::BankDump(int n) const
{
    std::string dump;
    if (n < 0 || n >= kBankCount || !banks_[n]) return dump;
    char hex[4];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", banks_[n][i]);
        dump += hex;
    }
    return dump;
}

void ReadEngine::ReleaseBanks(const std::function<void(int, int)>& onFreeError)
{
    for (int n = 0; n < kBankCount; ++n) {
        if (!banks_[n]) continue;
        if (::munmap(banks_[n], static_cast<size_t>(bufferSize_)) != 0 && onFreeError) {
            onFreeError(n, errno);
        }
        banks_[n] = nullptr;
    }
}

void ReadEngine::NoteSurplus(const std::string& name, int bank)
{
    std::lock_guard<std::mutex> lock(surplusMutex_);
    // Checked under the lock that ForgetSurplus takes after a drop: a dropped file's note
    // either comes before and is forgotten, or sees the drop.
    if (ReadAbandoned.load()) return;
    surplusName_ = name;
    surplusBank_ = bank;
}

bool ReadEngine::TakeSurplus(const std::string& name, int& bank)
{
    std::lock_guard<std::mutex> lock(surplusMutex_);
    if (surplusName_.empty() || surplusName_ != name) return false;
    bank = surplusBank_;
    surplusName_.clear();
    return true;
}

void ReadEngine::ForgetSurplus()
{
    std::lock_guard<std::mutex> lock(surplusMutex_);
    surplusName_.clear();
}

int32_t CheckEmptyFile(const std::string& path)
{
    int code = 0;
    const int fd = OpenRegularFile(path, code);
    if (fd < 0) return code;
    char byte = 0;
    ssize_t n = 0;
    do {
        n = ::read(fd, &byte, 1);
    } while (n < 0 && errno == EINTR);
    code = n < 0 ? errno : 0;
    ::close(fd);
    return n > 0 ? kContentBeyondSize : code;
}

void ReadEngine::RequestReaderEnd()
{
    if (TReadThread* reader = reader_.load()) reader->Terminate();
}

TReadThread::TReadThread(ReadEngine& engine, uint32_t openFlags, int priority,
                         std::unique_ptr<FileSource> source)
    : engine_(engine),
      bufferSize_(static_cast<uint32_t>(engine.BufferSize())),
      openFlags_(openFlags),
      priority_(priority >= 1 && priority <= 5 ? priority : 3),
      source_(source ? std::move(source) : MakePosixFileSource())
{
    // A start signal left over from an earlier reader must not start this one.
    engine_.FileReadStart().Reset();
    engine_.reader_.store(this);
    thread_ = std::thread([this] { Execute(); });
}

TReadThread::~TReadThread()
{
    Terminate();
    if (thread_.joinable()) thread_.join();
    engine_.FileReadStart().Reset();
    // No thread is left to be idle; a later hand-over must not see this one's signal.
    engine_.ThreadIdle().Reset();
    engine_.ReadError.store(0);
    TReadThread* self = this;
    engine_.reader_.compare_exchange_strong(self, nullptr);
}

void TReadThread::Terminate()
{
    if (terminated_.exchange(true, std::memory_order_acq_rel)) return;
    // Wakes an idle reader at once instead of at its next poll.
    engine_.FileReadStart().Set();
}

bool TReadThread::WaitFor(int timeoutMs)
{
    return ended_.Wait(timeoutMs) == WaitResult::Obtained;
}

void TReadThread::Execute()
{
    SetCurrentThreadPriority(priority_);
    try {
        while (!Terminated()) {
            // Signalled once per idle spell: the main side resets it when it hands a file
            // over, so a signal seen afterwards always means this file is done with.
            engine_.ThreadIdle().Set();
            while (!Terminated() && engine_.FileReadStart().Wait(engine_.IdlePoll()) != WaitResult::Obtained) {
            }
            if (Terminated()) break;
            engine_.ThreadIdle().Reset();
            ReadFile();
            if (engine_.ReadError.load() != 0) {
                // A failure of a file the main side dropped is nobody's; the reader stays.
                if (!engine_.ReadAbandoned.load()) break;
                engine_.ReadError.store(0);
            }
        }
    } catch (...) {
        // Only an allocation can throw here; the batch stops on the error.
        int32_t none = 0;
        engine_.ReadError.compare_exchange_strong(none, ENOMEM);
    }
    source_->Close();
    finished_.store(true, std::memory_order_release);
    ended_.Set();
}

void TReadThread::ReadFile()
{
    name_ = engine_.ReadFileName;
    const std::string& name = name_;
    const int64_t size = engine_.ReadFileSize;
    const int start = engine_.ReadStartBank;
    int64_t position = 0;

    // A file read in one bank gains nothing from the read-ahead hint; spare it the call.
    const uint32_t flags = size <= static_cast<int64_t>(bufferSize_) ? (openFlags_ & ~kOpenSequential) : openFlags_;
    const int openCode = source_->Open(name, flags);
    if (openCode != 0) {
        engine_.ReadError.store(openCode);
        return;
    }
    if (engine_.ReadError.load() == 0) {
        const auto goOn = [&] {
            return position < size && !Terminated() && engine_.ReadError.load() == 0 &&
                   !engine_.ReadAbandoned.load();
        };
        for (int n = start; goOn(); n = (n + 1) % kBankCount) ReadBank(n, position, size);
    }
    source_->Close();
}

// One bank: lock it, read it (with retries), announce it, release it.
bool TReadThread::ReadBank(int n, int64_t& position, int64_t size)
{
    int waitCode = 0;
    const WaitResult lock = engine_.MutexBank(n).Lock(engine_.IoTimeout(), &waitCode);
    switch (lock) {
    case WaitResult::TimedOut:
        engine_.ReadError.store(BankCode(EngineCode::ReaderLockTimeout, n));
        return false;
    case WaitResult::Failed:
        engine_.ReadError.store(waitCode != 0 ? waitCode : EINVAL);
        return false;
    case WaitResult::Abandoned:
        engine_.ReadError.store(BankCode(EngineCode::ReaderLockAbandoned, n));
        engine_.MutexBank(n).Unlock();
        return false;
    case WaitResult::Obtained:
        break;
    }
    // Dropped while this bank was waited for: the bank is the main side's again at once.
    if (engine_.ReadAbandoned.load()) {
        engine_.MutexBank(n).Unlock();
        return false;
    }

    const int32_t limit = engine_.RetryLimit.load();
    int32_t retries = 0;
    engine_.ReadRetryCount.store(0);
    for (;;) {
        const int seekCode = source_->Seek(position);
        if (seekCode != 0) {
            engine_.ReadError.store(seekCode);
            break;
        }
        uint8_t* bank = engine_.Bank(n);
        uint32_t got = 0;
        // A bank whose allocation failed has no memory: every read into it fails.
        const auto enough = static_cast<uint32_t>(std::min<int64_t>(bufferSize_, size - position));
        const int readCode = bank ? source_->Read(bank, bufferSize_, enough, got) : ENOMEM;
        if (readCode == 0) {
            // Complete when the bank is full or the data reaches the size found before
            // reading; a file that grew since is read only up to that size.
            if (got >= bufferSize_ || position + got >= size) {
                // The read asked for a whole bank: more than the rest of the file came. (A
                // file whose size fills its last bank exactly is not probed past its end:
                // that would cost each such file one more read.)
                if (position + got > size) engine_.NoteSurplus(name_, n);
                // The file is closed after the announcement (ReadFile), while the main side
                // hashes: closing first would put the close on the path of every small file.
                // Released before the announcement: the main side, woken by the event, then
                // finds the bank free instead of sleeping on its mutex.
                engine_.MutexBank(n).Unlock();
                engine_.EventBank(n).Set();
                position += bufferSize_;
                return true;
            }
            engine_.ReadRetryCount.store(++retries);
            if (retries <= limit) continue;
            engine_.ReadError.store(BankCode(EngineCode::ShortRead, n));
            break;
        }
        engine_.ReadRetryCount.store(++retries);
        if (retries <= limit) continue;
        engine_.ReadError.store(readCode);
        break;
    }
    engine_.MutexBank(n).Unlock();
    return false;
}

}  // namespace qv
