// CRC-32 and MD5: published codes, the same however the data is split, every CRC kernel as the table.

#include <random>
#include <vector>

#include "EngineKit.h"
#include "engine/Crc32.h"
#include "engine/Md5.h"

namespace qv {
namespace {

using namespace qv::testing;

// The data through one of HashUpdate's two strategies, in pieces of the given sizes in turn.
std::string Codes(std::string_view data, const std::vector<size_t>& pieces, bool fused)
{
    HashContext ctx;
    HashInit(ctx);
    for (size_t done = 0, i = 0; done < data.size(); done += pieces[i++ % pieces.size()]) {
        const size_t n = std::min(pieces[i % pieces.size()], data.size() - done);
        HashUpdateWith(ctx, data.data() + done, static_cast<uint32_t>(n), fused);
    }
    return Finish(ctx);
}

// RFC 1321 appendix A.5 and the MD5 padding edges at 55..65 bytes; CRC-32 values from zlib.
TEST(HashVectors, PublishedCodes)
{
    const std::pair<std::string, const char*> vectors[] = {
        {"", "00000000 D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "E8B7BE43 0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "352441C2 900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "20159D7F F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "4C2750BD C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "1FC2E6D2 D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "7CA94A72 57EDF4A22BE3C955AC49DA2E2107B67A"},
        {"123456789", "CBF43926 25F9E794323B453885F5181F1B624D0B"},
        {std::string(1000000, 'a'), "DC25BFBC 7707D6AE4E027C70EEA2A935C2296F21"},
        {std::string(55, 'a'), "AADFE34E EF1772B6DFF9A122358552954AD0DF65"},
        {std::string(56, 'a'), "79790D37 3B0C8AC703F828B04C6C197006D17218"},
        {std::string(57, 'a'), "50736241 652B906D60AF96844EBD21B674F35E93"},
        {std::string(63, 'a'), "6824C5DE B06521F39153D618550606BE297466D5"},
        {std::string(64, 'a'), "89B46555 014842D480B571495A4A0363793F7367"},
        {std::string(65, 'a'), "F33FAF5D C743A45E0D2E6A95CB859ADAE0248435"},
    };
    for (const auto& [text, codes] : vectors) EXPECT_EQ(OneShot(text), codes) << text.substr(0, 20);
}

TEST(HashContextLife, EmptyUpdatesChangeNothingFinalZeroesAndTheBitCountCarries)
{
    HashContext ctx, fresh, zero{};
    HashInit(ctx);
    HashInit(fresh);
    HashUpdate(ctx, nullptr, 0);
    EXPECT_EQ(std::memcmp(&fresh, &ctx, sizeof ctx), 0);
    uint8_t digest[17] = {};
    digest[16] = 0xA5;
    uint32_t crc = 0;
    HashFinal(ctx, digest, crc);
    EXPECT_EQ(digest[16], 0xA5);   // sixteen bytes and not one more
    EXPECT_EQ(std::memcmp(&zero, &ctx, sizeof ctx), 0);
    HashInit(ctx);
    ctx.count[0] = 0xFFFFFF00u;   // as after 512 MiB
    HashUpdate(ctx, std::string(64, 'x').data(), 64);
    EXPECT_EQ(std::make_pair(ctx.count[0], ctx.count[1]), std::make_pair(0x100u, 1u));
}

// Both ways HashUpdate can run: a CRC pass and an MD5 pass per chunk, or one fused pass.
TEST(HashSplits, AnyPiecesGiveTheCodesOfOneUpdate)
{
    const std::string data = Pattern(300017);
    const std::string whole = OneShot(data);
    EXPECT_EQ(whole.substr(0, 8), CrcText(Crc32Table(0xFFFFFFFFu, data.data(), data.size()) ^ 0xFFFFFFFFu));
    std::mt19937 rng(3);
    std::vector<size_t> mixed;
    // Mostly small odd pieces, now and then a large one crossing the chunk boundaries.
    for (int i = 0; i < 300; ++i) mixed.push_back(rng() % 8 == 0 ? rng() % 100000 : rng() % 300 + 1);
    for (const bool fused : {false, true}) {
        if (fused && !Md5Crc32BlocksSupported()) continue;   // no PCLMULQDQ
        for (const std::vector<size_t>& pieces : {std::vector<size_t>{1}, {63}, {64}, {65}, {65536}, mixed})
            EXPECT_EQ(Codes(data, pieces, fused), whole) << pieces[0] << (fused ? " fused" : " chunked");
    }
}

// Every kernel this CPU runs against the byte table: any alignment, fold boundaries, long runs, extremes.
TEST(CrcKernels, AgreeWithTheByteTable)
{
    const std::string random = Pattern((1 << 20) + 128, 6), zeros(70064, '\0'), ones(70064, '\xFF');
    const auto check = [](const std::string& buffer, size_t offset, size_t length, uint32_t start) {
        const auto* p = reinterpret_cast<const uint8_t*>(buffer.data());
        p += (64 - reinterpret_cast<uintptr_t>(p) % 64) % 64 + offset;
        for (const Crc32Kernel& kernel : Crc32Kernels()) {
            if (!kernel.supported) continue;
            ASSERT_EQ(kernel.function(start, p, length), Crc32Table(start, p, length)) << kernel.name << " " << length;
        }
    };
    std::mt19937 rng(5);
    for (size_t offset = 0; offset < 64; ++offset) {
        for (size_t length = 0; length <= 600; ++length) check(random, offset, length, rng());
        for (size_t length : {1023, 1024, 1025, 4095, 4096, 4097, 16383, 16384, 16385, 65536 + 48})
            check(random, offset, length, 0xFFFFFFFFu);
    }
    for (int i = 0; i < 60; ++i) check(random, rng() % 64, rng() % ((1 << 20) + 1), rng());
    for (const std::string* uniform : {&zeros, &ones})
        for (uint32_t start : {0u, 0xFFFFFFFFu})
            for (size_t length : {64, 255, 256, 257, 70000}) check(*uniform, 0, length, start);
    std::string fastest;
    for (const Crc32Kernel& kernel : Crc32Kernels()) fastest = kernel.supported ? kernel.name : fastest;
    EXPECT_EQ(Crc32FastKernelName(), fastest);
}

}  // namespace
}  // namespace qv
