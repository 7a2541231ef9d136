#pragma once
// Bank sizes of the reader: kept apart from the reader thread so the settings can round the
// `Buffer Size` value the same way without pulling in the engine.
#include <algorithm>
#include <cstdint>

namespace qv {

constexpr int kBankCount = 3;
constexpr int64_t kBankUnit = 65536;
// Largest bank: reads and hash updates take 32-bit lengths.
constexpr int64_t kMaxBufferSize = 0xFFFF0000;

// The `Buffer Size` setting brought to a multiple of 65536 (rounded down, at least 65536).
constexpr int64_t RoundBufferSize(int64_t setting)
{
    return std::clamp(setting / kBankUnit * kBankUnit, kBankUnit, kMaxBufferSize);
}

}  // namespace qv
