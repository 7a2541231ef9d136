#include "platform/Sync.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace qv {

namespace {
// Waking a thread whose CPU has gone idle costs tens of microseconds on a virtual machine,
// more than reading a small file. A waiter therefore watches the flag for a short while
// first; the credit stops the spinning where it does not pay (long waits, a busy machine).
constexpr auto kSpinLimit = std::chrono::microseconds(50);
constexpr int kSpinCreditMax = 4;
constexpr int kSpinBackOff = -16;   // waits without spinning before it is tried again

inline void CpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}
}  // namespace

Event::Event(bool manualReset, bool initiallySignalled)
    : manual_(manualReset), signalled_(initiallySignalled), flag_(initiallySignalled),
      spinCredit_(kSpinCreditMax)
{
}

void Event::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_);
        signalled_ = true;
    }
    // Raised only after the lock is free, so a spinning waiter does not run into it and sleep.
    // The flag is a hint; signalled_ under the lock stays the truth.
    flag_.store(true, std::memory_order_release);
    if (manual_) cv_.notify_all();
    else cv_.notify_one();
}

void Event::Reset()
{
    std::lock_guard<std::mutex> lock(m_);
    signalled_ = false;
    flag_.store(false, std::memory_order_relaxed);
}

bool Event::SpinUntilSignalled()
{
    int credit = spinCredit_.load(std::memory_order_relaxed);
    if (credit <= 0) {
        spinCredit_.store(credit + 1, std::memory_order_relaxed);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kSpinLimit;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (flag_.load(std::memory_order_acquire)) {
                spinCredit_.store(kSpinCreditMax, std::memory_order_relaxed);
                return true;
            }
            CpuRelax();
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    credit -= 2;
    spinCredit_.store(credit <= 0 ? kSpinBackOff : credit, std::memory_order_relaxed);
    return false;
}

WaitResult Event::Wait(int timeoutMs)
{
    if (timeoutMs != 0 && !flag_.load(std::memory_order_acquire)) SpinUntilSignalled();
    std::unique_lock<std::mutex> lock(m_);
    const auto ready = [this] { return signalled_; };
    if (timeoutMs < 0) {
        cv_.wait(lock, ready);
    } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return WaitResult::TimedOut;
    }
    if (!manual_) {
        signalled_ = false;
        flag_.store(false, std::memory_order_relaxed);
    }
    return WaitResult::Obtained;
}

BankMutex::BankMutex()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_, &attr);
    pthread_mutexattr_destroy(&attr);
}

BankMutex::~BankMutex() { pthread_mutex_destroy(&m_); }

WaitResult BankMutex::Lock(int timeoutMs, int* errorCode)
{
    int rc;
    if (timeoutMs < 0) {
        rc = pthread_mutex_lock(&m_);
    } else {
        // Measured on the monotonic clock: a wall-clock step (NTP, resume from suspend) must
        // neither cut a bank wait short nor stretch it without limit.
        timespec deadline{};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += timeoutMs / 1000;
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_nsec -= 1000000000L;
            ++deadline.tv_sec;
        }
        rc = pthread_mutex_clocklock(&m_, CLOCK_MONOTONIC, &deadline);
    }
    switch (rc) {
    case 0:
        return WaitResult::Obtained;
    case ETIMEDOUT:
        return WaitResult::TimedOut;
    case EOWNERDEAD:
        // The owner ended while holding it; we now hold it and make it usable again.
        pthread_mutex_consistent(&m_);
        return WaitResult::Abandoned;
    default:
        if (errorCode) *errorCode = rc;
        return WaitResult::Failed;
    }
}

bool BankMutex::Unlock() { return pthread_mutex_unlock(&m_) == 0; }

uint64_t PhysicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

bool SetCurrentThreadPriority(int level)
{
    static const int kNice[5] = {10, 5, 0, -5, -10};
    if (level < 1) level = 1;
    if (level > 5) level = 5;
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    return ::setpriority(PRIO_PROCESS, tid, kNice[level - 1]) == 0;
}

}  // namespace qv
