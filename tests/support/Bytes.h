#pragma once
// Deterministic pseudo-random bytes (xorshift): the same on every run, different per seed.

#include <cstdint>
#include <string>

namespace qv::testing {

// The little-endian bytes of a value.
inline std::string Le(uint64_t value, unsigned width)
{
    std::string out;
    for (; width > 0; --width, value >>= 8) out += static_cast<char>(value);
    return out;
}

inline std::string Pattern(size_t size, uint32_t seed = 1)
{
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1u;
    for (char& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

}  // namespace qv::testing
