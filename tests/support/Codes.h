#pragma once
// Reference codes and test data for tests that hash files.

#include <cstdint>
#include <ostream>
#include <string>

#include "engine/Hash.h"

namespace qv::test {

struct Codes {
    std::string crc;
    std::string md5;
    bool operator==(const Codes&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Codes& codes) { return out << codes.crc << "/" << codes.md5; }

// The codes of a byte string, folded in one call.
inline Codes CodesOf(const std::string& bytes)
{
    HashContext ctx;
    HashInit(ctx);
    HashUpdate(ctx, bytes.data(), static_cast<uint32_t>(bytes.size()));
    uint8_t digest[16];
    uint32_t value = 0;
    HashFinal(ctx, digest, value);
    return {CrcText(value), Md5Text(digest)};
}

// Bytes that differ per seed and do not repeat within a bank.
inline std::string Bytes(size_t size, int seed = 0)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed * 7 + i / 977) & 0xFF);
    return bytes;
}

}  // namespace qv::test
