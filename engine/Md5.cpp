#include "engine/Md5.h"

#include "engine/Crc32.h"
#include "engine/Md5Block.h"

#if QV_HASH_X86
#include "engine/Crc32Fold.h"
#endif

namespace qv {

void Md5Blocks(uint32_t state[4], const uint8_t* p, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, p += 64) {
        // Never faults, even past the end of the buffer.
        __builtin_prefetch(p + kMd5PrefetchDistance);
        md5::Compress(a, b, c, d, p);
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#if QV_HASH_X86

bool Md5Crc32BlocksSupported() {
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return supported;
}

// MD5 leaves most execution ports idle while it waits on its own chain; the four CRC folds
// of each block fit in those gaps, and the block is read from memory only once.
QV_TARGET_CLMUL uint32_t Md5Crc32Blocks(uint32_t state[4], uint32_t crc, const uint8_t* p, size_t blocks) {
    if (blocks == 0) return crc;
    using namespace clmul;
    const __m128i k512 = _mm_set_epi64x(static_cast<long long>(kFold512Hi), static_cast<long long>(kFold512Lo));
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    __m128i x0 = _mm_xor_si128(Load16(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x1 = Load16(p + 16), x2 = Load16(p + 32), x3 = Load16(p + 48);
    md5::Compress(a, b, c, d, p);
    for (p += 64, --blocks; blocks > 0; --blocks, p += 64) {
        __builtin_prefetch(p + kMd5PrefetchDistance);
        x0 = Fold16(x0, k512, Load16(p));
        x1 = Fold16(x1, k512, Load16(p + 16));
        x2 = Fold16(x2, k512, Load16(p + 32));
        x3 = Fold16(x3, k512, Load16(p + 48));
        md5::Compress(a, b, c, d, p);
    }

    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
    return Reduce128(Collapse4(x0, x1, x2, x3));
}

#else

bool Md5Crc32BlocksSupported() { return false; }

uint32_t Md5Crc32Blocks(uint32_t state[4], uint32_t crc, const uint8_t* p, size_t blocks) {
    Md5Blocks(state, p, blocks);
    return Crc32Slice16(crc, p, blocks * 64);
}

#endif

}  // namespace qv
