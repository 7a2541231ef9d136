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

}  // namespace

int32_t ExchangeBanks(ReadEngine& engine, const std::string& path, int64_t size, HashContext& ctx,
                      const BankExchangeHooks& hooks)
{
    if (size == 0) return 0;
    // A file that vanished before it could be read has no codes, not those of empty data.
    if (size < 0) return ENOENT;

    const int timeoutMs = engine.IoTimeout();
    if (engine.ThreadIdle().Wait(timeoutMs) != WaitResult::Obtained) {
        return HandOverFailure(engine, -18);
    }
    engine.ReadFileName = path;
    engine.ReadFileSize = size;
    bool held[kBankCount] = {false, false, false};
    for (int n = 0; n < kBankCount; ++n) engine.EventBank(n).Reset();

    const WaitResult first = engine.MutexBank(2).Lock(engine.FirstLock());
    if (first != WaitResult::Obtained) {
        if (first == WaitResult::Abandoned) engine.MutexBank(2).Unlock();
        return HandOverFailure(engine, -17);
    }
    held[2] = true;
    engine.FileReadStart().Set();

    const int64_t bufferSize = engine.BufferSize();
    int64_t position = 0;
    int32_t code = 0;
    const auto stopRequested = [&] {
        return code != 0 || engine.ReadError.load() != 0 || (hooks.cancelled && hooks.cancelled());
    };

    for (int n = 0; position < size; n = (n + 1) % kBankCount) {
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
        case WaitResult::TimedOut: code = -21 - n; break;
        default: code = -11 - n; break;
        }
        if (code != 0) continue;
        int waitCode = 0;
        switch (engine.MutexBank(n).Lock(timeoutMs, &waitCode)) {
        case WaitResult::Obtained:
            break;
        case WaitResult::TimedOut:
            code = -24 - n;
            break;
        case WaitResult::Abandoned:
            held[n] = true;  // owned now, released below
            code = -14 - n;
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
        HashUpdate(ctx, bank, static_cast<uint32_t>(length));
        position += bufferSize;
    }

    for (int n = 0; n < kBankCount; ++n) {
        if (held[n]) engine.MutexBank(n).Unlock();
    }
    const int32_t readError = engine.ReadError.load();
    return readError != 0 ? readError : code;
}

}  // namespace qv
