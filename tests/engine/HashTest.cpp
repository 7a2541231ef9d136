#include "engine/Crc32.h"
#include "engine/Hash.h"
#include "engine/Md5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace qv {
namespace {

struct Codes {
    std::string crc;
    std::string md5;
};

enum class Strategy { Default, Chunked, Fused };

Codes HashInPieces(const uint8_t* data, size_t length, const std::vector<size_t>& pieces,
                   Strategy strategy = Strategy::Default) {
    HashContext ctx;
    HashInit(ctx);
    size_t done = 0;
    for (size_t i = 0; done < length; ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], length - done);
        const auto n32 = static_cast<uint32_t>(n);
        if (strategy == Strategy::Default)
            HashUpdate(ctx, data + done, n32);
        else
            HashUpdateWith(ctx, data + done, n32, strategy == Strategy::Fused);
        done += n;
    }
    uint8_t digest[16];
    uint32_t crc = 0;
    HashFinal(ctx, digest, crc);
    return {CrcText(crc), Md5Text(digest)};
}

Codes HashAll(const void* data, size_t length) {
    return HashInPieces(static_cast<const uint8_t*>(data), length, {length == 0 ? 1 : length});
}

Codes HashText(const std::string& text) { return HashAll(text.data(), text.size()); }

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

uint32_t TableCrc(const void* data, size_t length) { return Crc32Table(0xFFFFFFFFu, data, length) ^ 0xFFFFFFFFu; }

// RFC 1321 appendix A.5, with CRC-32 values checked against zlib's crc32.
TEST(HashVectors, Rfc1321SuiteAndCrc) {
    struct Vector {
        std::string text, crc, md5;
    };
    const Vector vectors[] = {
        {"", "00000000", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "E8B7BE43", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "352441C2", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "20159D7F", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "4C2750BD", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "1FC2E6D2",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890", "7CA94A72",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {"123456789", "CBF43926", "25F9E794323B453885F5181F1B624D0B"},
        {std::string(1000000, 'a'), "DC25BFBC", "7707D6AE4E027C70EEA2A935C2296F21"},
    };
    for (const auto& v : vectors) {
        SCOPED_TRACE(v.text.substr(0, 20));
        const Codes codes = HashText(v.text);
        EXPECT_EQ(codes.crc, v.crc);
        EXPECT_EQ(codes.md5, v.md5);
    }
}

// MD5 padding changes shape at 56 and 64 bytes into the last block.
TEST(HashVectors, PaddingBoundaries) {
    const struct {
        size_t length;
        const char* md5;
    } cases[] = {
        {55, "EF1772B6DFF9A122358552954AD0DF65"},
        {56, "3B0C8AC703F828B04C6C197006D17218"},
        {57, "652B906D60AF96844EBD21B674F35E93"},
        {63, "B06521F39153D618550606BE297466D5"},
        {64, "014842D480B571495A4A0363793F7367"},
        {65, "C743A45E0D2E6A95CB859ADAE0248435"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(HashText(std::string(c.length, 'a')).md5, c.md5);
    }
}

TEST(HashVectors, TableEntriesAndRegisterContract) {
    const uint8_t one = 1, top = 255;
    // With a zero register one byte step yields the table entry itself.
    EXPECT_EQ(Crc32Table(0, &one, 1), 0x77073096u);
    EXPECT_EQ(Crc32Table(0, &top, 1), 0x2D02EF8Du);
    EXPECT_EQ(Crc32Fast(0, &one, 1), 0x77073096u);
    EXPECT_EQ(Crc32Table(0xFFFFFFFFu, "123456789", 9), 0xCBF43926u ^ 0xFFFFFFFFu);
    EXPECT_EQ(Crc32Fast(0xFFFFFFFFu, "123456789", 9), 0xCBF43926u ^ 0xFFFFFFFFu);
    // The register carries across calls.
    const uint32_t head = Crc32Fast(0xFFFFFFFFu, "1234", 4);
    EXPECT_EQ(Crc32Fast(head, "56789", 5), 0xCBF43926u ^ 0xFFFFFFFFu);
    EXPECT_EQ(Crc32Fast(0x12345678u, nullptr, 0), 0x12345678u);
}

TEST(HashText, FixedWidthUpperCase) {
    EXPECT_EQ(CrcText(0xABCDu), "0000ABCD");
    EXPECT_EQ(CrcText(0), "00000000");
    EXPECT_EQ(CrcText(0xFFFFFFFFu), "FFFFFFFF");
    EXPECT_EQ(CrcText(0x1A2B3C4Du), "1A2B3C4D");

    uint8_t digest[16];
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(i * 0x11 ^ 0x0A);
    EXPECT_EQ(Md5Text(digest), "0A1B28394E5F6C7D8293A0B1C6D7E4F5");
    std::memset(digest, 0, sizeof digest);
    EXPECT_EQ(Md5Text(digest), std::string(32, '0'));
}

TEST(HashContextLife, InitFinalAndZeroing) {
    HashContext ctx;
    std::memset(&ctx, 0xA5, sizeof ctx);
    HashInit(ctx);
    EXPECT_EQ(ctx.state[0], 0x67452301u);
    EXPECT_EQ(ctx.state[1], 0xEFCDAB89u);
    EXPECT_EQ(ctx.state[2], 0x98BADCFEu);
    EXPECT_EQ(ctx.state[3], 0x10325476u);
    EXPECT_EQ(ctx.count[0], 0u);
    EXPECT_EQ(ctx.count[1], 0u);
    EXPECT_EQ(ctx.crc, 0xFFFFFFFFu);

    // A zero-length update, even without a buffer, changes nothing.
    HashContext before = ctx;
    HashUpdate(ctx, nullptr, 0);
    EXPECT_EQ(std::memcmp(&before, &ctx, sizeof ctx), 0);

    HashUpdate(ctx, "abc", 3);
    uint8_t digest[16];
    uint32_t crc = 0;
    HashFinal(ctx, digest, crc);
    EXPECT_EQ(CrcText(crc), "352441C2");
    const std::vector<uint8_t> zeros(sizeof ctx, 0);
    EXPECT_EQ(std::memcmp(&ctx, zeros.data(), sizeof ctx), 0);

    // Initialised again, the same context gives the same codes.
    HashInit(ctx);
    HashUpdate(ctx, "abc", 3);
    HashFinal(ctx, digest, crc);
    EXPECT_EQ(CrcText(crc), "352441C2");
    EXPECT_EQ(Md5Text(digest), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(HashContextLife, BitCountCarriesIntoHighWord) {
    HashContext ctx;
    HashInit(ctx);
    ctx.count[0] = 0xFFFFFF00u;  // as if 536870880 bytes had gone before
    const std::vector<uint8_t> data(64, 0x5A);
    HashUpdate(ctx, data.data(), 64);
    EXPECT_EQ(ctx.count[0], 0x00000100u);
    EXPECT_EQ(ctx.count[1], 1u);
}

std::string StrategyName(const ::testing::TestParamInfo<Strategy>& info) {
    switch (info.param) {
        case Strategy::Chunked: return "Chunked";
        case Strategy::Fused: return "Fused";
        default: return "Default";
    }
}

// Both ways HashUpdate can run: a CRC pass and an MD5 pass per chunk, or one fused pass.
class HashSplits : public ::testing::TestWithParam<Strategy> {
protected:
    void SetUp() override {
        if (GetParam() == Strategy::Fused && !Md5Crc32BlocksSupported()) GTEST_SKIP() << "no PCLMULQDQ";
    }
};

TEST_P(HashSplits, FixedPieceSizesGiveTheSameCodes) {
    const auto data = RandomBytes(300000, 1);
    const Codes whole = HashInPieces(data.data(), data.size(), {data.size()}, GetParam());
    EXPECT_EQ(whole.crc, CrcText(TableCrc(data.data(), data.size())));
    EXPECT_EQ(whole.md5, HashAll(data.data(), data.size()).md5);
    for (size_t piece : {1, 63, 64, 65, 65536}) {
        SCOPED_TRACE(piece);
        const Codes split = HashInPieces(data.data(), data.size(), {piece}, GetParam());
        EXPECT_EQ(split.crc, whole.crc);
        EXPECT_EQ(split.md5, whole.md5);
    }
}

TEST_P(HashSplits, RandomPiecesOverSeveralMegabytes) {
    const auto data = RandomBytes(3 * 1024 * 1024 + 17, 2);
    const Codes whole = HashAll(data.data(), data.size());
    EXPECT_EQ(whole.crc, CrcText(TableCrc(data.data(), data.size())));
    std::mt19937 rng(3);
    for (int round = 0; round < 4; ++round) {
        std::vector<size_t> pieces;
        for (int i = 0; i < 200; ++i) {
            // Mostly small odd pieces, now and then a large one crossing chunk boundaries.
            pieces.push_back(rng() % 8 == 0 ? rng() % 200000 : rng() % 300);
        }
        pieces.push_back(1);
        const Codes split = HashInPieces(data.data(), data.size(), pieces, GetParam());
        EXPECT_EQ(split.crc, whole.crc);
        EXPECT_EQ(split.md5, whole.md5);
    }
}

TEST_P(HashSplits, Rfc1321VectorsInOddPieces) {
    const std::string text = "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t piece : {1, 7, 63, 64, 65}) {
        SCOPED_TRACE(piece);
        const Codes codes = HashInPieces(bytes, text.size(), {piece}, GetParam());
        EXPECT_EQ(codes.crc, "7CA94A72");
        EXPECT_EQ(codes.md5, "57EDF4A22BE3C955AC49DA2E2107B67A");
    }
}

INSTANTIATE_TEST_SUITE_P(Strategies, HashSplits,
                         ::testing::Values(Strategy::Default, Strategy::Chunked, Strategy::Fused), StrategyName);

// The fused loop against the two separate ones, block counts 0..40 at every alignment mod 16.
TEST(Md5Crc32Blocks, MatchesSeparatePasses) {
    if (!Md5Crc32BlocksSupported()) GTEST_SKIP() << "no PCLMULQDQ";
    const auto buffer = RandomBytes(41 * 64 + 16, 9);
    std::mt19937 rng(10);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t blocks = 0; blocks <= 40; ++blocks) {
            const uint8_t* p = buffer.data() + offset;
            const uint32_t start = rng();
            uint32_t fusedState[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, static_cast<uint32_t>(rng())};
            uint32_t plainState[4] = {fusedState[0], fusedState[1], fusedState[2], fusedState[3]};
            const uint32_t crc = Md5Crc32Blocks(fusedState, start, p, blocks);
            Md5Blocks(plainState, p, blocks);
            EXPECT_EQ(crc, Crc32Table(start, p, blocks * 64)) << blocks << " blocks at offset " << offset;
            for (int i = 0; i < 4; ++i) EXPECT_EQ(fusedState[i], plainState[i]) << blocks << " blocks, word " << i;
        }
    }
}

class CrcKernels : public ::testing::Test {
protected:
    static void ExpectAllMatchTable(const uint8_t* p, size_t length, uint32_t start) {
        const uint32_t expected = Crc32Table(start, p, length);
        for (const auto& kernel : Crc32Kernels()) {
            if (!kernel.supported) continue;
            EXPECT_EQ(kernel.function(start, p, length), expected)
                << kernel.name << " length " << length << " offset " << (reinterpret_cast<uintptr_t>(p) % 64);
        }
        EXPECT_EQ(Crc32Fast(start, p, length), expected);
    }

    static const uint8_t* Aligned(const std::vector<uint8_t>& buffer, size_t offset) {
        const auto base = reinterpret_cast<uintptr_t>(buffer.data());
        return buffer.data() + ((64 - base % 64) % 64) + offset;
    }
};

TEST_F(CrcKernels, FastKernelIsNamedAndPortableOnesAlwaysRun) {
    const auto kernels = Crc32Kernels();
    ASSERT_GE(kernels.size(), 2u);
    EXPECT_TRUE(kernels[0].supported);
    EXPECT_TRUE(kernels[1].supported);
    bool found = false;
    for (const auto& kernel : kernels) found = found || (kernel.supported && std::string(kernel.name) == Crc32FastKernelName());
    EXPECT_TRUE(found) << Crc32FastKernelName();
}

TEST_F(CrcKernels, ShortLengthsAtEveryAlignment) {
    const auto buffer = RandomBytes(1024 + 128, 4);
    std::mt19937 rng(5);
    for (size_t offset = 0; offset < 64; ++offset)
        for (size_t length = 0; length <= 600; ++length) ExpectAllMatchTable(Aligned(buffer, offset), length, rng());
}

TEST_F(CrcKernels, FoldBoundariesAtEveryAlignment) {
    const size_t lengths[] = {1023, 1024, 1025, 4095, 4096, 4097, 16383, 16384, 16385, 65536 + 48};
    const auto buffer = RandomBytes((1 << 20) + 128, 6);
    for (size_t offset = 0; offset < 64; ++offset)
        for (size_t length : lengths) ExpectAllMatchTable(Aligned(buffer, offset), length, 0xFFFFFFFFu);
    for (size_t offset : {0, 1, 15, 63}) ExpectAllMatchTable(Aligned(buffer, offset), 1 << 20, 0xFFFFFFFFu);
}

TEST_F(CrcKernels, SampledLengthsUpToOneMebibyte) {
    const auto buffer = RandomBytes((1 << 20) + 128, 7);
    std::mt19937 rng(8);
    for (int i = 0; i < 60; ++i) {
        const size_t length = rng() % ((1 << 20) + 1);
        ExpectAllMatchTable(Aligned(buffer, rng() % 64), length, rng());
    }
}

TEST_F(CrcKernels, UniformBytesAndExtremeRegisters) {
    for (uint8_t fill : {0x00, 0xFF}) {
        const std::vector<uint8_t> buffer(70000 + 64, fill);
        for (uint32_t start : {0u, 0xFFFFFFFFu})
            for (size_t length : {64, 255, 256, 257, 70000}) ExpectAllMatchTable(Aligned(buffer, 0), length, start);
    }
}

}  // namespace
}  // namespace qv
