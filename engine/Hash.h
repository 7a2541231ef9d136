#pragma once
// CRC-32 (ISO 3309 / IEEE 802.3) and MD5 (RFC 1321) computed together over the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

// Plain record owned by the caller; HashInit before use, HashFinal zeroes it.
struct HashContext {
    uint32_t state[4];   // MD5 chaining values A, B, C, D
    uint32_t count[2];   // message length in bits: low word, high word
    uint8_t block[64];   // MD5 input block being filled
    uint32_t crc;        // CRC-32 register (not yet inverted)
};

void HashInit(HashContext& ctx);
void HashUpdate(HashContext& ctx, const void* data, uint32_t length);
// Writes the MD5 digest and the final CRC-32, then zeroes the whole context.
void HashFinal(HashContext& ctx, uint8_t digest[16], uint32_t& crc);

std::string CrcText(uint32_t crc);              // 8 upper-case hex digits
std::string Md5Text(const uint8_t digest[16]);  // 32 upper-case hex digits

// Both take and return the running register (start 0xFFFFFFFF, caller applies the final xor).
// Crc32Table is the one-byte-per-lookup reference; Crc32Fast is the production path.
uint32_t Crc32Table(uint32_t crc, const void* data, size_t length);
uint32_t Crc32Fast(uint32_t crc, const void* data, size_t length);
const char* Crc32FastKernelName();

}  // namespace qv
