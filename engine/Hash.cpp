#include "engine/Hash.h"

#include "engine/Md5.h"

#include <algorithm>
#include <cstring>

namespace qv {
namespace {

// The CRC runs over a chunk, then MD5 over the same chunk while it is still in L1. MD5 is the
// slow pass; meanwhile it prefetches the next chunk, so the CRC never waits on memory either.
constexpr size_t kChunk = kMd5PrefetchDistance;

// Completes a pending partial block from the head of the data; false when the data ran out
// first. The CRC of those bytes is left to the caller.
bool FillPendingBlock(HashContext& ctx, size_t have, const uint8_t*& p, size_t& n) {
    if (have == 0) return true;
    const size_t take = std::min(n, 64 - have);
    std::memcpy(ctx.block + have, p, take);
    p += take;
    n -= take;
    if (have + take < 64) return false;
    Md5Blocks(ctx.state, ctx.block, 1);
    return true;
}

void UpdateChunked(HashContext& ctx, size_t have, const uint8_t* p, size_t n) {
    for (size_t left = n; left > 0;) {
        const size_t chunk = std::min(left, kChunk);
        ctx.crc = Crc32Fast(ctx.crc, p, chunk);
        const uint8_t* q = p;
        size_t m = chunk;
        if (FillPendingBlock(ctx, have, q, m)) {
            const size_t blocks = m / 64;
            Md5Blocks(ctx.state, q, blocks);
            std::memcpy(ctx.block, q + blocks * 64, m % 64);
        }
        have = (have + chunk) & 63;
        p += chunk;
        left -= chunk;
    }
}

void UpdateFused(HashContext& ctx, size_t have, const uint8_t* p, size_t n) {
    const uint8_t* head = p;
    const bool aligned = FillPendingBlock(ctx, have, p, n);
    uint32_t crc = Crc32Fast(ctx.crc, head, static_cast<size_t>(p - head));
    if (aligned) {
        const size_t blocks = n / 64;
        crc = Md5Crc32Blocks(ctx.state, crc, p, blocks);
        p += blocks * 64;
        crc = Crc32Fast(crc, p, n % 64);
        std::memcpy(ctx.block, p, n % 64);
    }
    ctx.crc = crc;
}

void PutLe32(uint8_t* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

void HashInit(HashContext& ctx) {
    ctx.state[0] = 0x67452301u;
    ctx.state[1] = 0xEFCDAB89u;
    ctx.state[2] = 0x98BADCFEu;
    ctx.state[3] = 0x10325476u;
    ctx.count[0] = 0;
    ctx.count[1] = 0;
    std::memset(ctx.block, 0, sizeof ctx.block);
    ctx.crc = 0xFFFFFFFFu;
}

void HashUpdateWith(HashContext& ctx, const void* data, uint32_t length, bool fused) {
    if (length == 0) return;
    const size_t have = (ctx.count[0] >> 3) & 63;
    const uint32_t oldLow = ctx.count[0];
    ctx.count[0] += length << 3;
    if (ctx.count[0] < oldLow) ++ctx.count[1];
    ctx.count[1] += length >> 29;

    auto p = static_cast<const uint8_t*>(data);
    if (fused)
        UpdateFused(ctx, have, p, length);
    else
        UpdateChunked(ctx, have, p, length);
}

void HashUpdate(HashContext& ctx, const void* data, uint32_t length) {
    static const bool fused = Md5Crc32BlocksSupported();
    HashUpdateWith(ctx, data, length, fused);
}

void HashFinal(HashContext& ctx, uint8_t digest[16], uint32_t& crc) {
    uint8_t bits[8];
    PutLe32(bits, ctx.count[0]);
    PutLe32(bits + 4, ctx.count[1]);

    // 0x80, zeros up to 56 mod 64, then the bit count: one or two more blocks.
    const size_t have = (ctx.count[0] >> 3) & 63;
    uint8_t tail[128] = {};
    const size_t padded = have < 56 ? 64 : 128;
    std::memcpy(tail, ctx.block, have);
    tail[have] = 0x80;
    std::memcpy(tail + padded - 8, bits, 8);
    Md5Blocks(ctx.state, tail, padded / 64);

    for (int i = 0; i < 4; ++i) PutLe32(digest + 4 * i, ctx.state[i]);
    crc = ctx.crc ^ 0xFFFFFFFFu;
    std::memset(&ctx, 0, sizeof ctx);
}

std::string CrcText(uint32_t crc) {
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, crc >>= 4) text[static_cast<size_t>(i)] = kHexDigits[crc & 0xF];
    return text;
}

std::string Md5Text(const uint8_t digest[16]) {
    std::string text(32, '0');
    for (size_t i = 0; i < 16; ++i) {
        text[2 * i] = kHexDigits[digest[i] >> 4];
        text[2 * i + 1] = kHexDigits[digest[i] & 0xF];
    }
    return text;
}

}  // namespace qv
