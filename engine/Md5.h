#pragma once
// Engine-internal MD5 block function (RFC 1321); HashUpdate does the buffering and counting.

#include <cstddef>
#include <cstdint>

namespace qv {

// Folds `blocks` whole 64-byte blocks, read straight from `data`, into the chaining values.
void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blocks);

}  // namespace qv
