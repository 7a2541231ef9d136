// Reports of PAR 2.0 files made by Debian's par2 tool: real layouts, real packet order,
// several recovery volumes and a Japanese file name. Every MD5 in a report is checked
// against the md5sum tool, so the report and the protected files must agree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "ParTestData.h"
#include "platform/DateTime.h"
#include "platform/NumberFormat.h"
#include "support/TempDir.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

using test::Md5sumOf;

constexpr size_t kSliceSize = 4096;

std::string Pseudorandom(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    for (char& c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

// Bitwise CRC-32 (IEEE), independent of the engine's tables.
uint32_t Crc32(std::string_view data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string HexUpper(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

bool AllHex(std::string_view text, size_t minDigits)
{
    if (text.size() < minDigits) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

// A packet line: position (8+ hex digits) + " [" + length (4+ hex digits) + "]  " + type text.
bool ParseHead(const std::string& line, uint64_t& position, uint64_t& length, std::string& type)
{
    const size_t open = line.find(" [");
    const size_t close = line.find("]  ");
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    const std::string_view pos = std::string_view(line).substr(0, open);
    const std::string_view len = std::string_view(line).substr(open + 2, close - open - 2);
    if (!AllHex(pos, 8) || !AllHex(len, 4)) return false;
    position = std::stoull(std::string(pos), nullptr, 16);
    length = std::stoull(std::string(len), nullptr, 16);
    type = line.substr(close + 3);
    return true;
}

// "set.vol06+4.par2" holds 4 recovery slices; the index file none.
int RecoverySlicesNamed(const std::string& path)
{
    const size_t vol = path.rfind(".vol");
    const size_t plus = path.rfind('+');
    if (vol == std::string::npos || plus == std::string::npos || plus < vol) return 0;
    return std::stoi(path.substr(plus + 1));
}

// Takes the text after prefix (which must be followed by exactly 32 hex digits and middle).
bool SplitDescLine(const std::string& line, std::string_view prefix, std::string_view middle, std::string& hex,
                   std::string& rest)
{
    if (!line.starts_with(prefix) || line.size() < prefix.size() + 32 + middle.size()) return false;
    hex = line.substr(prefix.size(), 32);
    if (!AllHex(hex, 32) || line.compare(prefix.size() + 32, middle.size(), middle) != 0) return false;
    rest = line.substr(prefix.size() + 32 + middle.size());
    return true;
}

struct FileDescSeen {
    std::string id, md5, md5First16k, size;
};

class Par2RealFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::HaveCommand("par2")) GTEST_SKIP() << "par2 is not installed (Debian package par2): real-file tests skipped";
        files_ = {{"a.bin", Pseudorandom(100000, 1)},
                  {"日本語ファイル.dat", Pseudorandom(5000, 2)},
                  {"small.txt", "tiny"}};
        std::string names;
        for (const auto& [name, bytes] : files_) {
            dir_.WriteFile(name, bytes);
            names += " '" + name + "'";
        }
        int rc = -1;
        const std::string output = test::RunCommand("cd '" + dir_.path() + "' && par2 create -q -q -s" +
                                                        std::to_string(kSliceSize) + " -c10 -n3 set.par2" + names + " 2>&1",
                                                    rc);
        ASSERT_EQ(rc, 0) << output;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
            if (entry.path().extension() == ".par2") parFiles_.push_back(entry.path().string());
        std::sort(parFiles_.begin(), parFiles_.end());
        ASSERT_EQ(parFiles_.size(), 4u);   // the index and three volumes
    }

    ParReport Report(const std::string& path, bool extend)
    {
        ParReportOptions options;
        options.par2ExtendReport = extend;
        return BuildPar2Report(path, TempDir::ReadFile(path), EncodeDateTime({2025, 1, 2, 3, 4, 5}), options);
    }

    TempDir dir_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> parFiles_;
};

TEST_F(Par2RealFile, PacketsTileTheFileAndFileDescriptionsMatchTheFiles)
{
    std::map<std::string, FileDescSeen> seenByName;
    for (const std::string& path : parFiles_) {
        SCOPED_TRACE(path);
        const std::string bytes = TempDir::ReadFile(path);
        const ParReport r = Report(path, false);
        EXPECT_TRUE(r.success);
        ASSERT_GE(r.lines.size(), 9u);
        EXPECT_EQ(r.lines[2], "FileName       = " + path);
        EXPECT_EQ(r.lines[3], "FileSize       = " + FormatGrouped(static_cast<int64_t>(bytes.size())) + " bytes");
        EXPECT_EQ(r.lines[r.lines.size() - 2], "");
        EXPECT_EQ(r.lines.back(), "End of Packet");

        uint64_t next = 0;
        int recoverySlices = 0, mains = 0, creators = 0;
        for (size_t i = 6; i + 2 < r.lines.size(); ++i) {
            const std::string& line = r.lines[i];
            uint64_t position = 0, length = 0;
            std::string type;
            if (!ParseHead(line, position, length, type)) {
                EXPECT_EQ(line.substr(0, 17), std::string(17, ' ')) << line;
                continue;
            }
            EXPECT_EQ(position, next) << line;
            next += length;
            if (type.starts_with("PAR 2.0 RecvSlic")) ++recoverySlices;
            if (type.starts_with("PAR 2.0 Main")) {
                ++mains;
                EXPECT_EQ(type, "PAR 2.0 Main       Number of files = 3   Slice size = 4,096 bytes");
            }
            if (type.starts_with("PAR 2.0 Creator")) {
                ++creators;
                ASSERT_LT(i + 1, r.lines.size());
                EXPECT_NE(r.lines[i + 1].find("par2cmdline"), std::string::npos) << r.lines[i + 1];
            }
            if (type.starts_with("PAR 2.0 FileDesc")) {
                ASSERT_LT(i + 2, r.lines.size());
                const std::string indent(17, ' ');
                std::string md5, name, md5First16k, size;
                ASSERT_TRUE(SplitDescLine(r.lines[i + 1], indent + "MD5     = ", "   File Name = ", md5, name))
                    << r.lines[i + 1];
                ASSERT_TRUE(SplitDescLine(r.lines[i + 2], indent + "MD5-16K = ", "   File Size = ", md5First16k, size))
                    << r.lines[i + 2];
                ASSERT_TRUE(size.ends_with(" bytes")) << size;
                size.resize(size.size() - 6);
                seenByName[name] = {type.substr(type.size() - 32), md5, md5First16k, size};
            }
            EXPECT_EQ(type.find("Unknown"), std::string::npos) << line;
        }
        EXPECT_EQ(next, bytes.size());
        EXPECT_GE(mains, 1);
        EXPECT_GE(creators, 1);
        EXPECT_EQ(recoverySlices, RecoverySlicesNamed(path));
        for (const std::string& line : r.lines) EXPECT_EQ(line.find("Unmatch"), std::string::npos) << line;
    }

    ASSERT_EQ(seenByName.size(), files_.size());
    for (const auto& [name, bytes] : files_) {
        SCOPED_TRACE(name);
        ASSERT_EQ(seenByName.count(name), 1u);
        const FileDescSeen& seen = seenByName[name];
        EXPECT_EQ(seen.md5, Md5sumOf(dir_.Path(name)));
        EXPECT_EQ(seen.md5First16k, Md5sumOf(dir_.WriteFile("first16k", bytes.substr(0, 16384))));
        EXPECT_EQ(seen.size, FormatGrouped(static_cast<int64_t>(bytes.size())));
    }
}

TEST_F(Par2RealFile, ExtendedReportListsEverySliceWithItsMd5AndCrc)
{
    const std::string index = dir_.Path("set.par2");
    const ParReport plain = Report(index, false);
    const ParReport r = Report(index, true);
    EXPECT_GT(r.lines.size(), plain.lines.size());

    // File IDs of the file descriptions, by name.
    std::map<std::string, std::string> idByName;
    for (size_t i = 0; i + 1 < r.lines.size(); ++i) {
        const size_t at = r.lines[i].find("PAR 2.0 FileDesc");
        if (at == std::string::npos) continue;
        const std::string& next = r.lines[i + 1];
        idByName[next.substr(next.find("File Name = ") + 12)] = r.lines[i].substr(r.lines[i].size() - 32);
    }
    ASSERT_EQ(idByName.size(), 3u);

    std::vector<std::string> mainIds, aSlices;
    for (size_t i = 0; i < r.lines.size(); ++i) {
        if (r.lines[i].find("PAR 2.0 Main") != std::string::npos)
            for (size_t j = i + 1; j < r.lines.size() && r.lines[j].starts_with(std::string(17, ' ') + "ID - "); ++j)
                mainIds.push_back(r.lines[j].substr(22));
        if (r.lines[i].find("PAR 2.0 IFSC") != std::string::npos && r.lines[i].ends_with(idByName["a.bin"]))
            for (size_t j = i + 1; j < r.lines.size() && r.lines[j].find("Slice MD5 - ") == 17; ++j)
                aSlices.push_back(r.lines[j]);
    }
    std::vector<std::string> expectedIds;
    for (const auto& [name, id] : idByName) expectedIds.push_back(id);
    std::sort(mainIds.begin(), mainIds.end());
    std::sort(expectedIds.begin(), expectedIds.end());
    EXPECT_EQ(mainIds, expectedIds);

    const std::string& a = files_["a.bin"];
    ASSERT_EQ(aSlices.size(), (a.size() + kSliceSize - 1) / kSliceSize);
    for (size_t k : {size_t{0}, size_t{7}}) {
        const std::string slice = a.substr(k * kSliceSize, kSliceSize);
        const uint32_t crc = Crc32(slice);
        const std::string crcFileOrder = HexUpper(std::string{static_cast<char>(crc), static_cast<char>(crc >> 8),
                                                              static_cast<char>(crc >> 16), static_cast<char>(crc >> 24)});
        EXPECT_EQ(aSlices[k], std::string(17, ' ') + "Slice MD5 - " + Md5sumOf(dir_.WriteFile("slice", slice)) +
                                  "   Slice CRC - " + crcFileOrder);
    }
}

}  // namespace
}  // namespace qv
