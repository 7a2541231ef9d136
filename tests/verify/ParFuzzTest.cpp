// Randomised damage to real and crafted parity files: whatever the bytes, a report must end
// in bounded time and size, stay inside the data (the sanitizer build checks every read),
// and say "Lost Data" exactly when it reports failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "ParTestData.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

using test::Seq16;

// QV_FUZZ_ROUNDS and QV_FUZZ_SEED allow longer or different runs by hand; the defaults keep
// the suite fast and repeatable.
int EnvOr(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}
const int kRoundsPerSeed = EnvOr("QV_FUZZ_ROUNDS", 1500);
const unsigned kSeedOffset = static_cast<unsigned>(EnvOr("QV_FUZZ_SEED", 0));

std::vector<std::string> Par1Seeds()
{
    test::Par1File file;
    file.volume = 3;
    for (int i = 0; i < 6; ++i)
        file.entries.push_back({static_cast<uint64_t>(i & 3), 1000 * i, Seq16(static_cast<uint8_t>(i)),
                                Seq16(static_cast<uint8_t>(i + 50)), u"ファイル" + std::u16string(i + 1, u'x')});
    file.dataLength = 300;
    test::Par1File empty;
    return {test::BuildPar1(file), test::BuildPar1(empty)};
}

std::vector<std::string> Par2Seeds()
{
    const auto set = Seq16(0xC0);
    std::string crafted = test::Par2Main(set, 1024, {Seq16(1), Seq16(2)}) + test::Par2Creator(set, "fuzz seed") +
                          test::Par2FileDesc(set, Seq16(1), Seq16(3), Seq16(4), 5000000000ULL, "\x93\xfa\x96\x7b") +
                          test::Par2Ifsc(set, Seq16(1), {{Seq16(5), 1}, {Seq16(6), 2}, {Seq16(7), 3}}) +
                          test::Par2RecoverySlice(set, 2, 64) +
                          test::Par2Packet(test::Par2Type("CommASCI"), set, "note") +
                          test::Par2Packet(std::string("\xA1\xB2zz unknown type", 16), Seq16(0xD0), "body");
    std::vector<std::string> seeds = {crafted};
    if (test::HaveCommand("par2")) {
        TempDir dir;
        std::string data(30000, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + (i >> 7));
        dir.WriteFile("d.bin", data);
        dir.WriteFile("日本.txt", "some text");
        int rc = -1;
        test::RunCommand("cd '" + dir.path() + "' && par2 create -q -q -s2048 -c4 -n2 f.par2 d.bin 日本.txt 2>&1", rc);
        if (rc == 0)
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                if (entry.path().extension() == ".par2") seeds.push_back(TempDir::ReadFile(entry.path().string()));
    }
    return seeds;
}

// Offsets worth hitting with extreme values: length and offset fields.
std::vector<size_t> FieldOffsets(const std::string& bytes, bool par2)
{
    std::vector<size_t> offsets;
    if (par2) {
        for (size_t at = bytes.find(std::string("PAR2\0PKT", 8)); at != std::string::npos;
             at = bytes.find(std::string("PAR2\0PKT", 8), at + 1))
            offsets.push_back(at + 8);
    } else {
        for (size_t at = 48; at + 8 <= 96 && at + 8 <= bytes.size(); at += 8) offsets.push_back(at);
        for (size_t at = 96; at + 8 <= bytes.size();) {
            offsets.push_back(at);
            uint64_t size = 0;
            for (int i = 7; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(bytes[at + i]);
            if (size < 56 || size > bytes.size() - at) break;
            at += size;
        }
    }
    return offsets;
}

std::string Mutate(std::string bytes, bool par2, std::mt19937& rng)
{
    const auto pick = [&](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    static constexpr uint64_t kExtremes[] = {0, 1, 8, 55, 56, 63, 64, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                             0x100000040, 0x7FFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF};
    const int kinds = 1 + static_cast<int>(pick(3));
    for (int k = 0; k < kinds; ++k) {
        switch (pick(5)) {
        case 0:   // bit flips
            for (size_t n = 1 + pick(8); n > 0 && !bytes.empty(); --n) bytes[pick(bytes.size())] ^= static_cast<char>(1 << pick(8));
            break;
        case 1:   // truncation
            bytes.resize(pick(bytes.size() + 1));
            break;
        case 2: {   // a length or offset field set to an extreme or random value
            const std::vector<size_t> fields = FieldOffsets(bytes, par2);
            if (fields.empty()) break;
            const size_t at = fields[pick(fields.size())];
            const uint64_t value = pick(4) == 0 ? rng() : kExtremes[pick(std::size(kExtremes))];
            for (size_t i = 0; i < 8 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
            break;
        }
        case 3:   // trailing garbage
            for (size_t n = 1 + pick(40); n > 0; --n) bytes += static_cast<char>(rng());
            break;
        case 4: {   // a copied range somewhere else
            if (bytes.empty()) break;
            const size_t from = pick(bytes.size());
            const size_t length = pick(std::min<size_t>(200, bytes.size() - from) + 1);
            bytes.insert(pick(bytes.size() + 1), bytes.substr(from, length));
            break;
        }
        }
    }
    return bytes;
}

// Returns the report's success flag.
bool CheckPar1(const std::string& bytes)
{
    const ParReport r = BuildParReport("f.par", bytes, 45000.0);
    EXPECT_GE(r.lines.size(), 6u);
    if (r.lines.size() < 6) return r.success;
    // Each entry line consumes at least 56 bytes of the file.
    EXPECT_LE(r.lines.size(), 20 + bytes.size() / 56);
    EXPECT_TRUE(IsValidUtf8(JoinReportLines(r.lines)));
    const bool listed = (r.lines.size() >= 14 && r.lines[13].starts_with("MD5 Hash")) ||
                        (r.lines.size() >= 15 && r.lines[14].starts_with("MD5 Hash"));
    EXPECT_EQ(r.success, listed);
    return r.success;
}

bool CheckPar2(const std::string& bytes, bool extend)
{
    ParReportOptions options;
    options.par2ExtendReport = extend;
    const ParReport r = BuildPar2Report("f.par2", bytes, 45000.0, options);
    EXPECT_GE(r.lines.size(), 8u);
    if (r.lines.size() < 8) return r.success;
    EXPECT_EQ(r.lines.back(), "End of Packet");
    // Per 64-byte packet at most four lines, plus one per ID or slice entry of the body, plus
    // the closing lines and a loss line.
    EXPECT_LE(r.lines.size(), 9 + 4 * (bytes.size() / 64) + (extend ? bytes.size() / 16 : 0));
    EXPECT_TRUE(IsValidUtf8(JoinReportLines(r.lines)));
    EXPECT_EQ(r.success, r.lines[r.lines.size() - 3] != "... Lost Data");
    return r.success;
}

TEST(ParFuzz, DamagedPar1FilesEndSafely)
{
    std::mt19937 rng(20240501 + kSeedOffset);
    int succeeded = 0, total = 0;
    for (const std::string& seed : Par1Seeds()) {
        for (int round = 0; round < kRoundsPerSeed; ++round, ++total) {
            const std::string bytes = Mutate(seed, false, rng);
            SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(bytes.size()) + " bytes");
            succeeded += CheckPar1(bytes);
            if (::testing::Test::HasFailure()) return;
        }
    }
    // The damage must leave many files readable enough to reach the list, and break others.
    EXPECT_GT(succeeded, total / 5);
    EXPECT_LT(succeeded, total);
}

TEST(ParFuzz, DamagedPar2FilesEndSafely)
{
    std::mt19937 rng(20240502 + kSeedOffset);
    const std::vector<std::string> seeds = Par2Seeds();
    if (seeds.size() == 1) std::printf("par2 is not installed: fuzzing the crafted seed only\n");
    int succeeded = 0, total = 0;
    for (const std::string& seed : seeds) {
        for (int round = 0; round < kRoundsPerSeed; ++round, ++total) {
            const std::string bytes = Mutate(seed, true, rng);
            SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(bytes.size()) + " bytes");
            succeeded += CheckPar2(bytes, round % 2 == 0);
            if (::testing::Test::HasFailure()) return;
        }
    }
    // Bit flips in slice data and checksums leave the walk whole; broken lengths do not.
    EXPECT_GT(succeeded, total / 50);
    EXPECT_LT(succeeded, total);
    std::printf("PAR 2.0 fuzz: %d of %d damaged files walked to the end\n", succeeded, total);
}

TEST(ParFuzz, EachFormatReadsTheOtherAndRandomBytesSafely)
{
    std::mt19937 rng(7);
    for (const std::string& seed : Par2Seeds()) CheckPar1(seed);
    for (const std::string& seed : Par1Seeds()) CheckPar2(seed, true);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(std::uniform_int_distribution<size_t>(0, 400)(rng), '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        // Random bytes behind a valid magic / ID reach the field decoders.
        if (round % 2 == 0 && bytes.size() >= 8) bytes.replace(0, 8, std::string("PAR2\0PKT", 8));
        if (round % 3 == 0 && bytes.size() >= 8) bytes.replace(0, 8, std::string("PAR\0\0\0\0\0", 8));
        CheckPar1(bytes);
        CheckPar2(bytes, true);
    }
}

}  // namespace
}  // namespace qv
