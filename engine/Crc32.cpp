// CRC-32 with the reflected polynomial 0xEDB88320: the byte-table reference, slicing-by-16,
// and carry-less multiplication folding (PCLMULQDQ, VPCLMULQDQ) picked by CPU features.

#include "engine/Crc32.h"
#include "engine/Hash.h"

#include <array>
#include <cstring>

#if QV_HASH_X86
#include "engine/Crc32Fold.h"
#endif

namespace qv {
namespace {

constexpr uint32_t kPoly = 0xEDB88320u;

struct SliceTables {
    uint32_t t[16][256];
};

constexpr SliceTables MakeSliceTables() {
    SliceTables x{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (kPoly & (0u - (c & 1u)));
        x.t[0][i] = c;
    }
    // t[s][i] is the CRC of byte i followed by s zero bytes.
    for (int s = 1; s < 16; ++s)
        for (int i = 0; i < 256; ++i) x.t[s][i] = (x.t[s - 1][i] >> 8) ^ x.t[0][x.t[s - 1][i] & 0xFFu];
    return x;
}

constexpr SliceTables kTables = MakeSliceTables();
static_assert(kTables.t[0][1] == 0x77073096u && kTables.t[0][255] == 0x2D02EF8Du);

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // little-endian host
}

inline uint32_t Slice8Step(uint32_t crc, uint64_t a) {
    a ^= crc;
    return kTables.t[7][a & 0xFF] ^ kTables.t[6][(a >> 8) & 0xFF] ^ kTables.t[5][(a >> 16) & 0xFF] ^
           kTables.t[4][(a >> 24) & 0xFF] ^ kTables.t[3][(a >> 32) & 0xFF] ^
           kTables.t[2][(a >> 40) & 0xFF] ^ kTables.t[1][(a >> 48) & 0xFF] ^ kTables.t[0][a >> 56];
}

}  // namespace

uint32_t Crc32Table(uint32_t crc, const void* data, size_t length) {
    auto p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < length; ++i) crc = kTables.t[0][(crc ^ p[i]) & 0xFFu] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32Slice16(uint32_t crc, const void* data, size_t length) {
    auto p = static_cast<const uint8_t*>(data);
    for (; length >= 16; p += 16, length -= 16) {
        uint64_t a = Load64(p) ^ crc;
        uint64_t b = Load64(p + 8);
        crc = kTables.t[15][a & 0xFF] ^ kTables.t[14][(a >> 8) & 0xFF] ^ kTables.t[13][(a >> 16) & 0xFF] ^
              kTables.t[12][(a >> 24) & 0xFF] ^ kTables.t[11][(a >> 32) & 0xFF] ^
              kTables.t[10][(a >> 40) & 0xFF] ^ kTables.t[9][(a >> 48) & 0xFF] ^ kTables.t[8][a >> 56] ^
              kTables.t[7][b & 0xFF] ^ kTables.t[6][(b >> 8) & 0xFF] ^ kTables.t[5][(b >> 16) & 0xFF] ^
              kTables.t[4][(b >> 24) & 0xFF] ^ kTables.t[3][(b >> 32) & 0xFF] ^
              kTables.t[2][(b >> 40) & 0xFF] ^ kTables.t[1][(b >> 48) & 0xFF] ^ kTables.t[0][b >> 56];
    }
    if (length >= 8) {
        crc = Slice8Step(crc, Load64(p));
        p += 8;
        length -= 8;
    }
    for (; length > 0; ++p, --length) crc = kTables.t[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
    return crc;
}

#if QV_HASH_X86

using namespace clmul;

QV_TARGET_CLMUL uint32_t Crc32Clmul(uint32_t crc, const void* data, size_t length) {
    auto p = static_cast<const uint8_t*>(data);
    if (length < 64) return Crc32Slice16(crc, p, length);

    __m128i x0 = _mm_xor_si128(Load16(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x1 = Load16(p + 16), x2 = Load16(p + 32), x3 = Load16(p + 48);
    p += 64;
    length -= 64;

    // Four independent lanes keep the multiplier busy despite its latency.
    const __m128i k512 = _mm_set_epi64x(static_cast<long long>(kFold512Hi), static_cast<long long>(kFold512Lo));
    for (; length >= 64; p += 64, length -= 64) {
        x0 = Fold16(x0, k512, Load16(p));
        x1 = Fold16(x1, k512, Load16(p + 16));
        x2 = Fold16(x2, k512, Load16(p + 32));
        x3 = Fold16(x3, k512, Load16(p + 48));
    }

    return FinishClmul(Collapse4(x0, x1, x2, x3), p, length);
}

#define QV_TARGET_AVX512 __attribute__((target("avx512f,avx512vl,avx512bw,vpclmulqdq,pclmul,sse4.1")))

namespace {

QV_TARGET_AVX512 inline __m512i Load64B(const uint8_t* q) { return _mm512_loadu_si512(q); }

QV_TARGET_AVX512 inline __m512i Fold64B(__m512i x, __m512i k, __m512i next) {
    __m512i lo = _mm512_clmulepi64_epi128(x, k, 0x00);
    __m512i hi = _mm512_clmulepi64_epi128(x, k, 0x11);
    return _mm512_ternarylogic_epi64(lo, hi, next, 0x96);  // three-way xor
}

QV_TARGET_AVX512 inline __m512i FoldPair(uint64_t hi, uint64_t lo) {
    const auto h = static_cast<long long>(hi), l = static_cast<long long>(lo);
    return _mm512_set_epi64(h, l, h, l, h, l, h, l);
}

}  // namespace

QV_TARGET_AVX512 uint32_t Crc32Avx512(uint32_t crc, const void* data, size_t length) {
    auto p = static_cast<const uint8_t*>(data);
    if (length < 256) return Crc32Clmul(crc, p, length);

    __m512i z0 = _mm512_xor_si512(Load64B(p), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
    __m512i z1 = Load64B(p + 64), z2 = Load64B(p + 128), z3 = Load64B(p + 192);
    p += 256;
    length -= 256;

    const __m512i k2048 = FoldPair(kFold2048Hi, kFold2048Lo);
    for (; length >= 256; p += 256, length -= 256) {
        z0 = Fold64B(z0, k2048, Load64B(p));
        z1 = Fold64B(z1, k2048, Load64B(p + 64));
        z2 = Fold64B(z2, k2048, Load64B(p + 128));
        z3 = Fold64B(z3, k2048, Load64B(p + 192));
    }

    const __m512i k512 = FoldPair(kFold512Hi, kFold512Lo);
    z1 = Fold64B(z0, k512, z1);
    z2 = Fold64B(z1, k512, z2);
    z3 = Fold64B(z2, k512, z3);
    for (; length >= 64; p += 64, length -= 64) z3 = Fold64B(z3, k512, Load64B(p));

    // Lanes 0..2 lie 384, 256 and 128 bits before lane 3; fold each onto it.
    const __m512i kLanes = _mm512_set_epi64(0, 0, static_cast<long long>(kFold128Hi), static_cast<long long>(kFold128Lo),
                                            static_cast<long long>(kFold256Hi), static_cast<long long>(kFold256Lo),
                                            static_cast<long long>(kFold384Hi), static_cast<long long>(kFold384Lo));
    __m512i t = _mm512_xor_si512(_mm512_clmulepi64_epi128(z3, kLanes, 0x00), _mm512_clmulepi64_epi128(z3, kLanes, 0x11));
    // Through memory: gcc 12's lane-extract intrinsics trip -Wmaybe-uninitialized.
    alignas(64) uint8_t lanes[2][64];
    _mm512_store_si512(lanes[0], t);
    _mm512_store_si512(lanes[1], z3);
    auto lane = [&](int v, int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes[v] + 16 * i)); };
    __m128i x = _mm_xor_si128(_mm_xor_si128(lane(0, 0), lane(0, 1)), _mm_xor_si128(lane(0, 2), lane(1, 3)));
    return FinishClmul(x, p, length);
}

#else

uint32_t Crc32Clmul(uint32_t crc, const void* data, size_t length) { return Crc32Slice16(crc, data, length); }
uint32_t Crc32Avx512(uint32_t crc, const void* data, size_t length) { return Crc32Slice16(crc, data, length); }

#endif  // QV_HASH_X86

std::span<const Crc32Kernel> Crc32Kernels() {
    static const std::array<Crc32Kernel, 4> kernels = [] {
        bool clmul = false, avx512 = false;
#if QV_HASH_X86
        __builtin_cpu_init();
        clmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
        avx512 = clmul && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                 __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("vpclmulqdq");
#endif
        return std::array<Crc32Kernel, 4>{{
            {"table", &Crc32Table, true},
            {"slice16", &Crc32Slice16, true},
            {"pclmul", &Crc32Clmul, clmul},
            {"vpclmul-avx512", &Crc32Avx512, avx512},
        }};
    }();
    return kernels;
}

namespace {

const Crc32Kernel& FastKernel() {
    static const Crc32Kernel& chosen = [] () -> const Crc32Kernel& {
        auto all = Crc32Kernels();
        size_t best = 0;
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].supported) best = i;
        return all[best];
    }();
    return chosen;
}

}  // namespace

uint32_t Crc32Fast(uint32_t crc, const void* data, size_t length) {
    return FastKernel().function(crc, data, length);
}

const char* Crc32FastKernelName() { return FastKernel().name; }

}  // namespace qv
