#pragma once
// The engine's own fault codes, as the reader leaves them in ReadError and ExchangeBanks
// returns them. A fault tied to a bank takes its base code minus the bank number (0..2), so
// each kind owns a run of three codes. Codes above 0 are errno values; 0 is done (or cancelled).

#include <cstdint>
#include <optional>

#include "engine/BankSize.h"

namespace qv {

enum class EngineCode : int32_t {
    // Reader side.
    ReaderLockAbandoned = -1,   // the bank's mutex was abandoned by its owner
    ShortRead = -4,             // the data ended before the size found, after every repeat
    ReaderLockTimeout = -7,     // the hashing side kept the bank past the I/O time-out
    // Hashing (main) side.
    BankEventFailed = -11,      // the bank's event wait failed without a time-out
    HashLockAbandoned = -14,    // the bank's mutex was abandoned by the reader
    FirstLockFailed = -17,      // bank 2 could not be locked at the start of a file
    ReaderNotIdle = -18,        // the reader did not turn idle within the I/O time-out
    BankEventTimeout = -21,     // no data came within the I/O time-out
    HashLockTimeout = -24,      // the reader kept a filled bank past the I/O time-out
};

constexpr int32_t CodeOf(EngineCode fault) { return static_cast<int32_t>(fault); }

// The code of a per-bank fault at bank n.
constexpr int32_t BankCode(EngineCode fault, int n) { return CodeOf(fault) - n; }

// The fault a negative code stands for; none for codes that no fault gives (-10, -19, -20,
// below -26), for 0 and for errno values.
constexpr std::optional<EngineCode> EngineFaultOf(int32_t code)
{
    constexpr EngineCode kPerBank[] = {EngineCode::ReaderLockAbandoned, EngineCode::ShortRead,
                                       EngineCode::ReaderLockTimeout,   EngineCode::BankEventFailed,
                                       EngineCode::HashLockAbandoned,   EngineCode::BankEventTimeout,
                                       EngineCode::HashLockTimeout};
    for (const EngineCode fault : kPerBank)
        if (code <= CodeOf(fault) && code > CodeOf(fault) - kBankCount) return fault;
    if (code == CodeOf(EngineCode::FirstLockFailed)) return EngineCode::FirstLockFailed;
    if (code == CodeOf(EngineCode::ReaderNotIdle)) return EngineCode::ReaderNotIdle;
    return std::nullopt;
}

}  // namespace qv
