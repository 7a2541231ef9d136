#pragma once
// Engine-internal carry-less multiplication folding for CRC-32, shared by the PCLMULQDQ
// kernels and the fused CRC-32 + MD5 block loop. x86-64 only; callers check CPU support.

#include "engine/Crc32.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#define QV_TARGET_CLMUL __attribute__((target("pclmul,sse4.1")))

namespace qv::clmul {

constexpr uint32_t kPolyReflected = 0xEDB88320u;

// Folding constants: x^e mod P in the bit-reflected domain, shifted left by one so that a
// 64x33-bit carry-less product lands where the reflected data expects it.
constexpr uint64_t FoldConstant(int e) {
    uint32_t r = 0x80000000u;  // x^0, reflected
    for (int i = 0; i < e; ++i) r = (r >> 1) ^ (kPolyReflected & (0u - (r & 1u)));
    return static_cast<uint64_t>(r) << 1;
}

// Folding a 128-bit lane forward by n bits multiplies its low qword by x^(n+32) and its
// high qword by x^(n-32).
constexpr uint64_t kFold128Lo = FoldConstant(160), kFold128Hi = FoldConstant(96);
constexpr uint64_t kFold256Lo = FoldConstant(288), kFold256Hi = FoldConstant(224);
constexpr uint64_t kFold384Lo = FoldConstant(416), kFold384Hi = FoldConstant(352);
constexpr uint64_t kFold512Lo = FoldConstant(544), kFold512Hi = FoldConstant(480);
constexpr uint64_t kFold2048Lo = FoldConstant(2080), kFold2048Hi = FoldConstant(2016);
constexpr uint64_t kFold64 = FoldConstant(64);
// Barrett reduction: the reflected polynomial (33 bits) and floor(x^64 / P) reflected.
constexpr uint64_t kBarrettPoly = 0x1DB710641ull;
constexpr uint64_t kBarrettMu = 0x1F7011641ull;

QV_TARGET_CLMUL inline __m128i Fold16(__m128i x, __m128i k, __m128i next) {
    __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

// Reduces the 128-bit remainder to the 32-bit CRC register.
QV_TARGET_CLMUL inline uint32_t Reduce128(__m128i x) {
    const __m128i mask32 = _mm_setr_epi32(-1, 0, -1, 0);
    const __m128i k128 = _mm_set_epi64x(static_cast<long long>(kFold128Hi), static_cast<long long>(kFold128Lo));
    // 128 -> 96 bits.
    __m128i t = _mm_clmulepi64_si128(x, k128, 0x10);
    x = _mm_xor_si128(_mm_srli_si128(x, 8), t);
    // 96 -> 64 bits.
    t = _mm_srli_si128(x, 4);
    x = _mm_clmulepi64_si128(_mm_and_si128(x, mask32), _mm_cvtsi64_si128(static_cast<long long>(kFold64)), 0x00);
    x = _mm_xor_si128(x, t);
    // 64 -> 32 bits.
    const __m128i barrett =
        _mm_set_epi64x(static_cast<long long>(kBarrettMu), static_cast<long long>(kBarrettPoly));
    t = _mm_clmulepi64_si128(_mm_and_si128(x, mask32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, mask32), barrett, 0x00);
    x = _mm_xor_si128(x, t);
    return static_cast<uint32_t>(_mm_extract_epi32(x, 1));
}

// Folds whole 16-byte pieces into one lane, reduces, and finishes the tail by table.
QV_TARGET_CLMUL inline uint32_t FinishClmul(__m128i x, const uint8_t* p, size_t n) {
    const __m128i k128 = _mm_set_epi64x(static_cast<long long>(kFold128Hi), static_cast<long long>(kFold128Lo));
    for (; n >= 16; p += 16, n -= 16)
        x = Fold16(x, k128, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    return Crc32Slice16(Reduce128(x), p, n);
}


// Collapses the four lanes of a 64-byte fold into one, each lane 128 bits before the next.
QV_TARGET_CLMUL inline __m128i Collapse4(__m128i x0, __m128i x1, __m128i x2, __m128i x3) {
    const __m128i k128 = _mm_set_epi64x(static_cast<long long>(kFold128Hi), static_cast<long long>(kFold128Lo));
    x1 = Fold16(x0, k128, x1);
    x2 = Fold16(x1, k128, x2);
    return Fold16(x2, k128, x3);
}

QV_TARGET_CLMUL inline __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

}  // namespace qv::clmul
