#pragma once
// The reader thread and the three buffer banks it shares with the hashing (main) thread.
// The banks form a ring: each has a memory block, an event announcing that it was filled and
// a mutex marking it in use. The main thread keeps the bank it hashes locked, so the reader
// runs at most two banks ahead.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/BankSize.h"
#include "engine/EngineCodes.h"
#include "engine/FileSource.h"
#include "platform/Sync.h"

namespace qv {

class TReadThread;

struct ReadEngineOptions {
    int64_t bufferSizeSetting = 65536;
    int32_t ioTimeoutMs = 10000;    // every bank wait on both sides, and the idle wait
    int32_t retryLimit = 3;         // repeats of a failed or short read of one bank
    int32_t idlePollMs = 500;       // the idle reader's poll of "FileReadStart"
    int32_t firstLockMs = 10;       // the main side's lock of bank 2 at the start of a file
    // How long a read-ahead waits for the reader to turn idle; longer only in tests, where
    // it must not depend on the scheduler (waiting holds up the hashing).
    int32_t readAheadIdleMs = 0;
    // Test seam: returns an errno value to make the allocation of that bank fail.
    std::function<int(int bank)> allocFault;
};

// Owns the banks, the events and mutexes and the shared engine variables. Lives as long as
// the main window; reader threads come and go (one per batch, destroyed before the engine).
class ReadEngine {
public:
    // onAllocFailure receives the user message for each bank whose memory could not be had;
    // such a bank stays without memory and reads into it fail with a read error.
    explicit ReadEngine(const ReadEngineOptions& options = {},
                        const std::function<void(const std::string&)>& onAllocFailure = {});
    ~ReadEngine();
    ReadEngine(const ReadEngine&) = delete;
    ReadEngine& operator=(const ReadEngine&) = delete;

    int64_t BufferSize() const { return bufferSize_; }
    uint8_t* Bank(int n) const { return banks_[n]; }
    // First 8 bytes of bank n as "XX " groups; empty for a bank without memory.
    std::string BankDump(int n) const;

    Event& ThreadIdle() { return threadIdle_; }
    Event& FileReadStart() { return fileReadStart_; }
    Event& EventBank(int n) { return eventBank_[n]; }
    BankMutex& MutexBank(int n) { return mutexBank_[n]; }

    // Releases the bank memory; onFreeError(bank, errno) for a release that failed. Runs at
    // destruction when not called before.
    void ReleaseBanks(const std::function<void(int bank, int code)>& onFreeError = {});

    // Asks the running reader thread, if any, to end.
    void RequestReaderEnd();
    TReadThread* Reader() const { return reader_.load(); }

    // Shared engine variables. Name, size and start bank are written by the main thread before
    // "FileReadStart" is signalled; the other two are written by the reader.
    std::string ReadFileName;
    int64_t ReadFileSize = 0;
    // The bank the reader starts at: 0, or the one after the bank the main side still hashes
    // when the file was handed over before the previous file was done.
    int ReadStartBank = 0;
    // The main side dropped the file being read: the reader stops at its next bank, forgets
    // what went wrong with it and goes idle. Cleared by the main side at each hand-over.
    std::atomic<bool> ReadAbandoned{false};
    std::atomic<int32_t> ReadError{0};
    std::atomic<int32_t> ReadRetryCount{0};

    std::atomic<int32_t> IoTimeoutMs;
    std::atomic<int32_t> RetryLimit;
    std::atomic<int32_t> IdlePollMs;
    std::atomic<int32_t> FirstLockMs;
    std::atomic<int32_t> ReadAheadIdleMs;

    // Content that went on past the size a file was handed over with (a file under /proc
    // reports 0 bytes, a file may grow): noted by the reader with the bank of the file's end,
    // before that bank is announced, unless the main side dropped the file; taken by the main
    // side once the file is hashed. ForgetSurplus before handing a file over anew.
    void NoteSurplus(const std::string& name, int bank);
    bool TakeSurplus(const std::string& name, int& bank);
    void ForgetSurplus();

    // The wait limits as used: a negative value would mean waiting for ever, so it counts as 0.
    int IoTimeout() const { return Bounded(IoTimeoutMs); }
    int IdlePoll() const { return Bounded(IdlePollMs); }
    int FirstLock() const { return Bounded(FirstLockMs); }
    int ReadAheadIdle() const { return Bounded(ReadAheadIdleMs); }

private:
    friend class TReadThread;
    static int Bounded(const std::atomic<int32_t>& ms) { return ms.load() < 0 ? 0 : ms.load(); }

    int64_t bufferSize_;
    uint8_t* banks_[kBankCount] = {nullptr, nullptr, nullptr};
    Event threadIdle_{true, false};
    Event fileReadStart_{false, false};
    Event eventBank_[kBankCount] = {{false, false}, {false, false}, {false, false}};
    BankMutex mutexBank_[kBankCount];
    std::atomic<TReadThread*> reader_{nullptr};
    std::mutex surplusMutex_;
    std::string surplusName_;   // empty: nothing noted
    int surplusBank_ = 0;
};

// Whether a file reported as empty is one: 0, kContentBeyondSize when it has data after all,
// or the errno of the open (a FIFO or device gives EINVAL: such a file is not read).
inline constexpr int32_t kContentBeyondSize = -4;   // the "short read" code of bank 0
int32_t CheckEmptyFile(const std::string& path);

// The reader: idle (signalling "ThreadIdle", polling "FileReadStart"), reading one file bank
// by bank, or finished (termination requested, or an error left in ReadError).
class TReadThread {
public:
    // Starts at once. priority 1 (lowest) .. 5 (highest), anything else is normal (3); applied
    // by the thread itself, best effort. A null source reads through POSIX.
    TReadThread(ReadEngine& engine, uint32_t openFlags, int priority = 3,
                std::unique_ptr<FileSource> source = nullptr);
    // Requests the end and waits for it when the owner has not; then ReadError := 0.
    ~TReadThread();
    TReadThread(const TReadThread&) = delete;
    TReadThread& operator=(const TReadThread&) = delete;

    // Noticed at once when idle (the poll bounds it to IdlePollMs in any case), at the next
    // bank when reading.
    void Terminate();
    bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // Waits up to timeoutMs for the run method to end; true when it has.
    bool WaitFor(int timeoutMs);
    uint32_t BufferSize() const { return bufferSize_; }
    uint32_t OpenFlags() const { return openFlags_; }

protected:
    void Execute();

private:
    void ReadFile();
    bool ReadBank(int n, int64_t& position, int64_t size);
    std::string name_;   // of the file being read

    ReadEngine& engine_;
    uint32_t bufferSize_;
    uint32_t openFlags_;
    int priority_;
    std::unique_ptr<FileSource> source_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    Event ended_{true, false};
    std::thread thread_;
};

}  // namespace qv
