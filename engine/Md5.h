#pragma once
// Engine-internal MD5 block function (RFC 1321); HashUpdate does the buffering and counting.

#include <cstddef>
#include <cstdint>

namespace qv {

// How far ahead of its reading position Md5Blocks asks for data to be brought into cache.
constexpr size_t kMd5PrefetchDistance = 16 * 1024;

// Folds `blocks` whole 64-byte blocks, read straight from `data`, into the chaining values.
void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blocks);

}  // namespace qv
