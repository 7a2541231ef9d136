#pragma once
// Engine-internal MD5 block loops (RFC 1321) and the two ways HashUpdate drives them.

#include "engine/Hash.h"

#include <cstddef>
#include <cstdint>

namespace qv {

// How far ahead of its reading position Md5Blocks asks for data to be brought into cache.
constexpr size_t kMd5PrefetchDistance = 16 * 1024;

// Folds `blocks` whole 64-byte blocks, read straight from `data`, into the chaining values.
void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blocks);

// The same, folding the blocks into the CRC-32 register `crc` in the same pass; returns the
// new register. Runs only where Md5Crc32BlocksSupported() (PCLMULQDQ).
bool Md5Crc32BlocksSupported();
uint32_t Md5Crc32Blocks(uint32_t state[4], uint32_t crc, const uint8_t* data, size_t blocks);

// HashUpdate with its strategy chosen by the caller: one fused pass (fused, needs
// Md5Crc32BlocksSupported) or a CRC pass and an MD5 pass per cache-sized chunk.
void HashUpdateWith(HashContext& ctx, const void* data, uint32_t length, bool fused);

}  // namespace qv
