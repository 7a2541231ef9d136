#pragma once
// Bounded waits for tests that meet another thread: a polled condition and a gate.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace qv::testing {

constexpr auto kGiveUp = std::chrono::seconds(5);   // no test waits longer than this

inline long MsSince(std::chrono::steady_clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start).count());
}

// Waits for a condition, bounded; true when it came.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = kGiveUp)
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

}  // namespace qv::testing
