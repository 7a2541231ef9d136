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

// A file handed to the reader while the last bank of the file before it was still being
// hashed. The reader fills the banks after heldBank; the main side keeps heldBank locked, so
// the ring goes on without a restart, until the file is adopted or dropped.
struct ReadAhead {
    std::string path;
    int64_t size = 0;
    int heldBank = -1;   // -1: nothing pending
    bool Pending() const { return heldBank >= 0; }
};

struct BankExchangeHooks {
    // True when the user asked to stop (the cancel flag is not 0). Polled before each bank.
    std::function<bool()> cancelled;
    // Progress: called before a bank wait once the tick has passed nextRefreshTime, with the
    // bytes done so far; returns the next refresh time. May pump window messages.
    std::function<uint32_t(int64_t position)> refresh;
    const Clock* clock = nullptr;          // tick source for the refresh; none: no refresh
    uint32_t* nextRefreshTime = nullptr;   // shared with the driver across files
    // Asked once the last bank of the file has come (its result is settled then), before it
    // is hashed: the next file to read ahead, or false for none. Needs readAhead.
    std::function<bool(std::string& path, int64_t& size)> nextFile;
    // In: a pending read-ahead, adopted when it is of this path and size. Out: the one made
    // for the next file. Null: every file is handed over on its own.
    ReadAhead* readAhead = nullptr;
};

// Stops the pending read-ahead, if any: the reader leaves the file at its next bank and goes
// idle; the held bank is released. A reader that failed before it saw the drop has ended
// with the code in ReadError: the caller replaces it before the next file.
void DropReadAhead(ReadEngine& engine, ReadAhead& ahead);

// Reads `size` bytes of `path` through the reader thread and hashes them into ctx (the caller
// runs HashInit before and HashFinal after). Returns 0 (done or cancelled), a negative engine
// code, or a positive errno value. Size 0 returns 0 at once without the reader opening the
// file; a negative size (the file was not found) gives ENOENT. On cancel, an error or a
// reader error, the reader thread is asked to end. A read-ahead of another file is dropped
// first. Once the next file has been handed over, a reader error belongs to that file.
int32_t ExchangeBanks(ReadEngine& engine, const std::string& path, int64_t size, HashContext& ctx,
                      const BankExchangeHooks& hooks = {});

// The tick has passed the refresh time; safe across the 49-day wrap of the tick counter.
inline bool TickPassed(uint32_t tick, uint32_t refreshTime)
{
    return static_cast<int32_t>(tick - refreshTime) > 0;
}

}  // namespace qv
