#include "engine/BankExchange.h"

#include <algorithm>
#include <cerrno>

namespace qv {

namespace {

// Returns the code of a failed hand-over: the reader's own error wins.
int32_t HandOverFailure(const ReadEngine& engine, int32_t code)
{
    const int32_t readError = engine.ReadError.load();
    return readError != 0 ? readError : code;
}

// Sets the shared variables for the next file; the reader is idle.
void PrepareHandOver(ReadEngine& engine, const std::string& path, int64_t size, int startBank)
{
    engine.ReadFileName = path;
    engine.ReadFileSize = size;
    engine.ReadStartBank = startBank;
    engine.ReadAbandoned.store(false);
    for (int n = 0; n < kBankCount; ++n) engine.EventBank(n).Reset();
}

void StartReading(ReadEngine& engine)
{
    // Cleared here rather than left to the reader: an idle signal seen after this point then
    // always means the reader is done with this file, never that it has not begun it.
    engine.ThreadIdle().Reset();
    engine.FileReadStart().Set();
}

// Hands the next file over while the main side holds bank `held`, the last of the current
// file. Only a reader idle already is used: waiting for one would hold up the hashing.
bool ChainNext(ReadEngine& engine, const BankExchangeHooks& hooks, int held)
{
    const TReadThread* reader = engine.Reader();
    if (!reader || reader->Terminated() || reader->Finished()) return false;
    std::string next;
    int64_t nextSize = 0;
    // Asked before the idle test: the look-up gives the reader time to close the file.
    if (!hooks.nextFile(next, nextSize) || nextSize <= 0) return false;
    if (engine.ThreadIdle().Wait(engine.ReadAheadIdle()) != WaitResult::Obtained) return false;
    const int start = (held + 1) % kBankCount;
    PrepareHandOver(engine, next, nextSize, start);
    StartReading(engine);
    *hooks.readAhead = ReadAhead{std::move(next), nextSize, held};
    return true;
}

}  // namespace

void DropReadAhead(ReadEngine& engine, ReadAhead& ahead)
{
    if (!ahead.Pending()) return;
    // Set before the bank is let go, so a reader waiting for it leaves it alone.
    engine.ReadAbandoned.store(true);
    engine.MutexBank(ahead.heldBank).Unlock();
    ahead = ReadAhead{};
}

int32_t ExchangeBanks(ReadEngine& engine, const std::string& path, int64_t size, HashContext& ctx,
                      const BankExchangeHooks& hooks)
{
    ReadAhead* ahead = hooks.readAhead;
    const bool adopt = ahead && ahead->Pending() && size > 0 && ahead->path == path && ahead->size == size;
    if (ahead && !adopt) DropReadAhead(engine, *ahead);
    if (size == 0) return 0;
    // A file that vanished before it could be read has no codes, not those of empty data.
    if (size < 0) return ENOENT;

    const int timeoutMs = engine.IoTimeout();
    bool held[kBankCount] = {false, false, false};
    int n = 0;
    if (adopt) {
        // The reader has been at it since the last file's final bank: go on round the ring.
        held[ahead->heldBank] = true;
        n = (ahead->heldBank + 1) % kBankCount;
        *ahead = ReadAhead{};
    } else {
        if (engine.ThreadIdle().Wait(timeoutMs) != WaitResult::Obtained) {
            return HandOverFailure(engine, CodeOf(EngineCode::ReaderNotIdle));
        }
        PrepareHandOver(engine, path, size, 0);
        const WaitResult first = engine.MutexBank(2).Lock(engine.FirstLock());
        if (first != WaitResult::Obtained) {
            if (first == WaitResult::Abandoned) engine.MutexBank(2).Unlock();
            return HandOverFailure(engine, CodeOf(EngineCode::FirstLockFailed));
        }
        held[2] = true;
        StartReading(engine);
    }

    const int64_t bufferSize = engine.BufferSize();
    int64_t position = 0;
    int32_t code = 0;
    const auto stopRequested = [&] {
        return code != 0 || engine.ReadError.load() != 0 || (hooks.cancelled && hooks.cancelled());
    };

    bool chained = false;
    for (; position < size; n = (n + 1) % kBankCount) {
        if (stopRequested()) {
            engine.RequestReaderEnd();
            break;
        }
        if (hooks.refresh && hooks.clock && hooks.nextRefreshTime &&
            TickPassed(hooks.clock->Tick(), *hooks.nextRefreshTime)) {
            *hooks.nextRefreshTime = hooks.refresh(position);
        }
        switch (engine.EventBank(n).Wait(timeoutMs)) {
        case WaitResult::Obtained: break;
        case WaitResult::TimedOut: code = BankCode(EngineCode::BankEventTimeout, n); break;
        default: code = BankCode(EngineCode::BankEventFailed, n); break;
        }
        if (code != 0) continue;
        int waitCode = 0;
        switch (engine.MutexBank(n).Lock(timeoutMs, &waitCode)) {
        case WaitResult::Obtained:
            break;
        case WaitResult::TimedOut:
            code = BankCode(EngineCode::HashLockTimeout, n);
            break;
        case WaitResult::Abandoned:
            held[n] = true;  // owned now, released below
            code = BankCode(EngineCode::HashLockAbandoned, n);
            break;
        case WaitResult::Failed:
            code = waitCode != 0 ? waitCode : EINVAL;
            break;
        }
        if (code != 0) continue;
        const int previous = (n + 2) % kBankCount;
        if (held[previous]) engine.MutexBank(previous).Unlock();
        held[previous] = false;
        held[n] = true;
        const uint8_t* bank = engine.Bank(n);
        if (!bank) {
            code = ENOMEM;
            continue;
        }
        const int64_t length = std::min(bufferSize, size - position);
        // The reader has delivered the whole file: its result is settled unless the hashing
        // is cancelled, so the next file can be read meanwhile.
        if (length == size - position && ahead && hooks.nextFile && !stopRequested()) {
            chained = ChainNext(engine, hooks, n);
        }
        HashUpdate(ctx, bank, static_cast<uint32_t>(length));
        position += bufferSize;
    }

    for (int b = 0; b < kBankCount; ++b) {
        // The bank kept for the read-ahead is released when that file is adopted or dropped.
        if (held[b] && !(chained && b == ahead->heldBank)) engine.MutexBank(b).Unlock();
    }
    // Reader errors from here on are the next file's.
    if (chained) return code;
    const int32_t readError = engine.ReadError.load();
    return readError != 0 ? readError : code;
}

}  // namespace qv
