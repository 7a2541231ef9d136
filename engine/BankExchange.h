#pragma once
// The main thread's side of the bank exchange: hands one file to the reader thread and folds
// each bank it fills into a hash context.

#include <cstdint>
#include <functional>
#include <string>

#include "engine/Hash.h"
#include "engine/ReadThread.h"
#include "platform/Clock.h"

namespace qv {

struct BankExchangeHooks {
    // True when the user asked to stop (the cancel flag is not 0). Polled before each bank.
    std::function<bool()> cancelled;
    // Progress: called before a bank wait once the tick has passed nextRefreshTime, with the
    // bytes done so far; returns the next refresh time. May pump window messages.
    std::function<uint32_t(int64_t position)> refresh;
    const Clock* clock = nullptr;          // tick source for the refresh; none: no refresh
    uint32_t* nextRefreshTime = nullptr;   // shared with the driver across files
};

// Reads `size` bytes of `path` through the reader thread and hashes them into ctx (the caller
// runs HashInit before and HashFinal after). Returns 0 (done or cancelled), a negative engine
// code, or a positive errno value. Size 0 returns 0 at once without the reader opening the
// file; a negative size (the file was not found) gives ENOENT. On cancel, an error or a
// reader error, the reader thread is asked to end.
int32_t ExchangeBanks(ReadEngine& engine, const std::string& path, int64_t size, HashContext& ctx,
                      const BankExchangeHooks& hooks = {});

// The tick has passed the refresh time; safe across the 49-day wrap of the tick counter.
inline bool TickPassed(uint32_t tick, uint32_t refreshTime)
{
    return static_cast<int32_t>(tick - refreshTime) > 0;
}

}  // namespace qv
