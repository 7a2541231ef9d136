#pragma once
// Engine-internal: one MD5 compression (RFC 1321), unrolled, for every loop that walks blocks.
// MD5 is one serial dependency chain, so each step keeps the work that does not wait on the
// previous result (message word, constant, and for G the half without b) off that chain.

#include <cstdint>
#include <cstring>

namespace qv::md5 {

inline uint32_t Word(const uint8_t* p, int i) {
    uint32_t v;
    std::memcpy(&v, p + 4 * i, 4);
    return v;  // little-endian host
}

inline uint32_t Rotl(uint32_t v, int s) { return (v << s) | (v >> (32 - s)); }

// F is rewritten with one operation fewer on b; G's two terms never share a bit, so they
// can be added separately and (c & ~d) joins before b is known.
#define QV_MD5_F(a, b, c, d) a += (d ^ (b & (c ^ d)))
#define QV_MD5_G(a, b, c, d) a += (c & ~d), a += (b & d)
#define QV_MD5_H(a, b, c, d) a += (b ^ (c ^ d))
#define QV_MD5_I(a, b, c, d) a += (c ^ (b | ~d))
#define QV_MD5_STEP(f, a, b, c, d, k, t, s) \
    a += Word(p, k) + t;                    \
    QV_MD5_##f(a, b, c, d);                 \
    a = Rotl(a, s) + b

// Adds the block at p into a, b, c, d.
__attribute__((always_inline)) inline void Compress(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d,
                                                    const uint8_t* p) {
    const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
    QV_MD5_STEP(F, a, b, c, d,  0, 0xd76aa478,  7);
    QV_MD5_STEP(F, d, a, b, c,  1, 0xe8c7b756, 12);
    QV_MD5_STEP(F, c, d, a, b,  2, 0x242070db, 17);
    QV_MD5_STEP(F, b, c, d, a,  3, 0xc1bdceee, 22);
    QV_MD5_STEP(F, a, b, c, d,  4, 0xf57c0faf,  7);
    QV_MD5_STEP(F, d, a, b, c,  5, 0x4787c62a, 12);
    QV_MD5_STEP(F, c, d, a, b,  6, 0xa8304613, 17);
    QV_MD5_STEP(F, b, c, d, a,  7, 0xfd469501, 22);
    QV_MD5_STEP(F, a, b, c, d,  8, 0x698098d8,  7);
    QV_MD5_STEP(F, d, a, b, c,  9, 0x8b44f7af, 12);
    QV_MD5_STEP(F, c, d, a, b, 10, 0xffff5bb1, 17);
    QV_MD5_STEP(F, b, c, d, a, 11, 0x895cd7be, 22);
    QV_MD5_STEP(F, a, b, c, d, 12, 0x6b901122,  7);
    QV_MD5_STEP(F, d, a, b, c, 13, 0xfd987193, 12);
    QV_MD5_STEP(F, c, d, a, b, 14, 0xa679438e, 17);
    QV_MD5_STEP(F, b, c, d, a, 15, 0x49b40821, 22);

    QV_MD5_STEP(G, a, b, c, d,  1, 0xf61e2562,  5);
    QV_MD5_STEP(G, d, a, b, c,  6, 0xc040b340,  9);
    QV_MD5_STEP(G, c, d, a, b, 11, 0x265e5a51, 14);
    QV_MD5_STEP(G, b, c, d, a,  0, 0xe9b6c7aa, 20);
    QV_MD5_STEP(G, a, b, c, d,  5, 0xd62f105d,  5);
    QV_MD5_STEP(G, d, a, b, c, 10, 0x02441453,  9);
    QV_MD5_STEP(G, c, d, a, b, 15, 0xd8a1e681, 14);
    QV_MD5_STEP(G, b, c, d, a,  4, 0xe7d3fbc8, 20);
    QV_MD5_STEP(G, a, b, c, d,  9, 0x21e1cde6,  5);
    QV_MD5_STEP(G, d, a, b, c, 14, 0xc33707d6,  9);
    QV_MD5_STEP(G, c, d, a, b,  3, 0xf4d50d87, 14);
    QV_MD5_STEP(G, b, c, d, a,  8, 0x455a14ed, 20);
    QV_MD5_STEP(G, a, b, c, d, 13, 0xa9e3e905,  5);
    QV_MD5_STEP(G, d, a, b, c,  2, 0xfcefa3f8,  9);
    QV_MD5_STEP(G, c, d, a, b,  7, 0x676f02d9, 14);
    QV_MD5_STEP(G, b, c, d, a, 12, 0x8d2a4c8a, 20);

    QV_MD5_STEP(H, a, b, c, d,  5, 0xfffa3942,  4);
    QV_MD5_STEP(H, d, a, b, c,  8, 0x8771f681, 11);
    QV_MD5_STEP(H, c, d, a, b, 11, 0x6d9d6122, 16);
    QV_MD5_STEP(H, b, c, d, a, 14, 0xfde5380c, 23);
    QV_MD5_STEP(H, a, b, c, d,  1, 0xa4beea44,  4);
    QV_MD5_STEP(H, d, a, b, c,  4, 0x4bdecfa9, 11);
    QV_MD5_STEP(H, c, d, a, b,  7, 0xf6bb4b60, 16);
    QV_MD5_STEP(H, b, c, d, a, 10, 0xbebfbc70, 23);
    QV_MD5_STEP(H, a, b, c, d, 13, 0x289b7ec6,  4);
    QV_MD5_STEP(H, d, a, b, c,  0, 0xeaa127fa, 11);
    QV_MD5_STEP(H, c, d, a, b,  3, 0xd4ef3085, 16);
    QV_MD5_STEP(H, b, c, d, a,  6, 0x04881d05, 23);
    QV_MD5_STEP(H, a, b, c, d,  9, 0xd9d4d039,  4);
    QV_MD5_STEP(H, d, a, b, c, 12, 0xe6db99e5, 11);
    QV_MD5_STEP(H, c, d, a, b, 15, 0x1fa27cf8, 16);
    QV_MD5_STEP(H, b, c, d, a,  2, 0xc4ac5665, 23);

    QV_MD5_STEP(I, a, b, c, d,  0, 0xf4292244,  6);
    QV_MD5_STEP(I, d, a, b, c,  7, 0x432aff97, 10);
    QV_MD5_STEP(I, c, d, a, b, 14, 0xab9423a7, 15);
    QV_MD5_STEP(I, b, c, d, a,  5, 0xfc93a039, 21);
    QV_MD5_STEP(I, a, b, c, d, 12, 0x655b59c3,  6);
    QV_MD5_STEP(I, d, a, b, c,  3, 0x8f0ccc92, 10);
    QV_MD5_STEP(I, c, d, a, b, 10, 0xffeff47d, 15);
    QV_MD5_STEP(I, b, c, d, a,  1, 0x85845dd1, 21);
    QV_MD5_STEP(I, a, b, c, d,  8, 0x6fa87e4f,  6);
    QV_MD5_STEP(I, d, a, b, c, 15, 0xfe2ce6e0, 10);
    QV_MD5_STEP(I, c, d, a, b,  6, 0xa3014314, 15);
    QV_MD5_STEP(I, b, c, d, a, 13, 0x4e0811a1, 21);
    QV_MD5_STEP(I, a, b, c, d,  4, 0xf7537e82,  6);
    QV_MD5_STEP(I, d, a, b, c, 11, 0xbd3af235, 10);
    QV_MD5_STEP(I, c, d, a, b,  2, 0x2ad7d2bb, 15);
    QV_MD5_STEP(I, b, c, d, a,  9, 0xeb86d391, 21);

    a += a0;
    b += b0;
    c += c0;
    d += d0;
}

#undef QV_MD5_STEP
#undef QV_MD5_F
#undef QV_MD5_G
#undef QV_MD5_H
#undef QV_MD5_I

}  // namespace qv::md5
