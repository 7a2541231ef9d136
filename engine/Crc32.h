#pragma once
// Engine-internal view of the CRC-32 kernels, so tests and benchmarks can pit each
// implementation against the byte-table reference. Callers use Crc32Fast from Hash.h.

#include <cstddef>
#include <cstdint>
#include <span>

// The carry-less multiplication kernels exist on x86-64; QV_HASH_PORTABLE leaves them out.
#if defined(__x86_64__) && !defined(QV_HASH_PORTABLE)
#define QV_HASH_X86 1
#else
#define QV_HASH_X86 0
#endif

namespace qv {

using Crc32Function = uint32_t (*)(uint32_t crc, const void* data, size_t length);

struct Crc32Kernel {
    const char* name;
    Crc32Function function;
    bool supported;  // this CPU can run it
};

// Every kernel from the most portable to the fastest; Crc32Fast uses the last supported one.
std::span<const Crc32Kernel> Crc32Kernels();

uint32_t Crc32Slice16(uint32_t crc, const void* data, size_t length);
uint32_t Crc32Clmul(uint32_t crc, const void* data, size_t length);     // PCLMULQDQ + SSE4.1
uint32_t Crc32Avx512(uint32_t crc, const void* data, size_t length);    // VPCLMULQDQ + AVX-512

}  // namespace qv
