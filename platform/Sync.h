#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pthread.h>

namespace qv {

// The four outcomes a bounded wait can have.
enum class WaitResult { Obtained, TimedOut, Abandoned, Failed };

// An event with bounded waits: manual reset stays signalled until Reset; auto reset lets one
// waiter through and clears itself.
class Event {
public:
    Event(bool manualReset, bool initiallySignalled);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void Set();
    void Reset();
    WaitResult Wait(int timeoutMs);   // Obtained or TimedOut; timeoutMs < 0 waits without limit
private:
    bool SpinUntilSignalled();

    std::mutex m_;
    std::condition_variable cv_;
    bool manual_;
    bool signalled_;
    // Mirrors signalled_ so a waiter can watch it without the lock while it spins.
    std::atomic<bool> flag_;
    // How much spinning has paid off lately (see SpinUntilSignalled).
    std::atomic<int> spinCredit_;
};

// A bank mutex: a robust timed mutex, so a lock whose owner thread ended reports Abandoned
// (and the caller then holds it). It is recursive: the owner may lock it again and must
// unlock it as often.
// timeoutMs < 0 waits without limit; 0 only tries.
class BankMutex {
public:
    BankMutex();
    ~BankMutex();
    BankMutex(const BankMutex&) = delete;
    BankMutex& operator=(const BankMutex&) = delete;
    WaitResult Lock(int timeoutMs, int* errorCode = nullptr);  // errorCode set on Failed
    bool Unlock();   // false when the caller does not own it
private:
    pthread_mutex_t m_;
};

// Physical memory in bytes.
uint64_t PhysicalMemoryBytes();
// Priority 1 (lowest) .. 5 (highest) of the calling thread, best effort; false when refused.
bool SetCurrentThreadPriority(int level);

}  // namespace qv
