#include <gtest/gtest.h>

#include "ParTestData.h"
#include "platform/DateTime.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

using test::Bytes16;
using test::Hex;
using test::Par2Creator;
using test::Par2FileDesc;
using test::Par2Ifsc;
using test::Par2Main;
using test::Par2Packet;
using test::Par2RecoverySlice;
using test::Par2Type;
using test::Seq16;
using test::SetLe;

// Computed on use: date conversions are not ready during static initialisation.
double Now() { return EncodeDateTime({2031, 12, 24, 23, 59, 58}); }
constexpr const char* kTitle = "[ Quenvarlith V1.08D PAR2 File Analyze Report ] 2031/12/24 23;59:58";
const std::string kIndent(17, ' ');
const Bytes16 kSet = Seq16(0xA0);
const Bytes16 kId1 = Seq16(0x01);
const Bytes16 kId2 = Seq16(0x41);
const Bytes16 kId3 = Seq16(0x81);

ParReport Build(const std::string& bytes, bool extend = false)
{
    ParReportOptions options;
    options.par2ExtendReport = extend;
    return BuildPar2Report("/p/set.par2", bytes, Now(), options);
}

// The report lines between the header block and the closing blank + "End of Packet".
std::vector<std::string> PacketLines(const ParReport& r)
{
    EXPECT_GE(r.lines.size(), 8u);
    if (r.lines.size() < 8) return {};
    EXPECT_EQ(r.lines[r.lines.size() - 2], "");
    EXPECT_EQ(r.lines.back(), "End of Packet");
    return {r.lines.begin() + 6, r.lines.end() - 2};
}

TEST(Par2Report, HeaderBlockAndEveryKnownPacket)
{
    const std::string main = Par2Main(kSet, 1048576, {kId1, kId2, kId3});
    const std::string creator = Par2Creator(kSet, "Quenvarlith13");
    const std::string desc = Par2FileDesc(kSet, kId1, Seq16(0x11), Seq16(0x21), 5000000000ULL, "big.iso");
    const std::string ifsc = Par2Ifsc(kSet, kId1, {{Seq16(0x31), 0x04030201}, {Seq16(0x51), 0xDDCCBBAA}});
    const std::string recv = Par2RecoverySlice(kSet, 7, 60);
    std::string bytes = main + creator + desc + ifsc + recv;
    ASSERT_EQ(main.size(), 0x7Cu);
    ASSERT_EQ(creator.size(), 0x50u);

    const ParReport r = Build(bytes);
    ASSERT_GE(r.lines.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(r.lines.begin(), r.lines.begin() + 6),
              (std::vector<std::string>{kTitle, "", "FileName       = /p/set.par2",
                                        "FileSize       = " + std::to_string(bytes.size()) + " bytes",
                                        "Recovery SetID = " + Hex(kSet), ""}));
    const std::vector<std::string> expected = {
        "00000000 [007C]  PAR 2.0 Main       Number of files = 3   Slice size = 1,048,576 bytes",
        "0000007C [0050]  PAR 2.0 Creator ",
        kIndent + "Quenvarlith13",
        "000000CC [0080]  PAR 2.0 FileDesc              ID - " + Hex(kId1),
        kIndent + "MD5     = " + Hex(Seq16(0x11)) + "   File Name = big.iso",
        kIndent + "MD5-16K = " + Hex(Seq16(0x21)) + "   File Size = 5,000,000,000 bytes",
        "0000014C [0078]  PAR 2.0 IFSC                  ID - " + Hex(kId1),
        "000001C4 [0080]  PAR 2.0 RecvSlic",
    };
    EXPECT_EQ(PacketLines(r), expected);
    EXPECT_TRUE(r.success);
}

TEST(Par2Report, ExtendedReportAddsMainIdsAndSliceLines)
{
    const std::string bytes = Par2Main(kSet, 4096, {kId1, kId2, kId3}) +
                              Par2Ifsc(kSet, kId1, {{Seq16(0x31), 0x04030201}, {Seq16(0x51), 0xDDCCBBAA}});
    const std::vector<std::string> plain = PacketLines(Build(bytes, false));
    EXPECT_EQ(plain, (std::vector<std::string>{
                         "00000000 [007C]  PAR 2.0 Main       Number of files = 3   Slice size = 4,096 bytes",
                         "0000007C [0078]  PAR 2.0 IFSC                  ID - " + Hex(kId1)}));
    const std::vector<std::string> extended = PacketLines(Build(bytes, true));
    EXPECT_EQ(extended, (std::vector<std::string>{
                            plain[0],
                            kIndent + "ID - " + Hex(kId1),
                            kIndent + "ID - " + Hex(kId2),
                            kIndent + "ID - " + Hex(kId3),
                            plain[1],
                            kIndent + "Slice MD5 - " + Hex(Seq16(0x31)) + "   Slice CRC - 01020304",
                            kIndent + "Slice MD5 - " + Hex(Seq16(0x51)) + "   Slice CRC - AABBCCDD"}));
}

TEST(Par2Report, OtherPacketTypesAndUnknownTypeBytes)
{
    std::string body = std::string(reinterpret_cast<const char*>(kId2.data()), 16) + "restrest";
    std::string bytes;
    for (const char* name : {"UniFileN", "CommUni", "FileSlic", "RFSC", "PkdMain", "PkdRecvS"})
        bytes += Par2Packet(Par2Type(name), kSet, body);
    bytes += Par2Packet(std::string("NewsPostUsenet\0\0", 16), kSet, body);
    bytes += Par2Packet(Par2Type("CommASCI"), kSet, std::string("hello\0\0\0", 8));
    bytes += Par2Packet(std::string("Ab~\x01\x7F\xA1\xB1\xDF\xE0\xFFPAR 2\x80", 16), kSet, body);
    const std::vector<std::string> lines = PacketLines(Build(bytes));
    const std::vector<std::string> expected = {
        "00000000 [0058]  PAR 2.0 UniFileN              ID - " + Hex(kId2),
        "00000058 [0058]  PAR 2.0 CommUni ",
        "000000B0 [0058]  PAR 2.0 FileSlic              ID - " + Hex(kId2),
        "00000108 [0058]  PAR 2.0 RFSC                  ID - " + Hex(kId2),
        "00000160 [0058]  PAR 2.0 PkdMain ",
        "000001B8 [0058]  PAR 2.0 PkdRecvS",
        "00000210 [0058]  NewsPostUsenet                ID - " + Hex(kId2),
        "00000268 [0048]  PAR 2.0 CommASCI",
        kIndent + "hello",
        "000002B0 [0058]  UnknownPacket <<<Ab~  ｡ｱﾟ  PAR 2 >>>",
    };
    EXPECT_EQ(lines, expected);
}

TEST(Par2Report, TextFieldsLoseAtMostThreePaddingZeros)
{
    // 13 characters + 3 zeros of padding.
    EXPECT_EQ(PacketLines(Build(Par2Creator(kSet, "ABCDEFGHIJKLM")))[1], kIndent + "ABCDEFGHIJKLM");
    // Four trailing zeros: one stays; zeros inside the text stay.
    const std::string fourZeros = Par2Packet(Par2Type("Creator"), kSet, std::string("ab\0cd\0\0\0\0", 9));
    EXPECT_EQ(PacketLines(Build(fourZeros))[1], kIndent + std::string("ab\0cd\0", 6));
    // Bodies shorter than the padding: only body bytes are looked at.
    EXPECT_EQ(PacketLines(Build(Par2Packet(Par2Type("Creator"), kSet, "")))[1], kIndent);
    EXPECT_EQ(PacketLines(Build(Par2Packet(Par2Type("CommASCI"), kSet, std::string("A\0", 2))))[1], kIndent + "A");
}

TEST(Par2Report, NamesAreUtf8WhereValidElseCp932)
{
    const auto nameLine = [](std::string_view name) {
        return PacketLines(Build(Par2FileDesc(kSet, kId1, kId2, kId3, 1, name)))[1];
    };
    const std::string prefix = kIndent + "MD5     = " + Hex(kId2) + "   File Name = ";
    EXPECT_EQ(nameLine("日本語ファイル.dat"), prefix + "日本語ファイル.dat");
    EXPECT_EQ(nameLine("\x93\xfa\x96\x7b\x8c\xea.txt"), prefix + "日本語.txt");
    EXPECT_EQ(nameLine("\xb1\xb2\xb3.txt"), prefix + "ｱｲｳ.txt");   // half-width katakana in CP932
    EXPECT_EQ(nameLine(""), prefix);
}

TEST(Par2Report, ForeignSetIdIsReportedAndTheWalkGoesOn)
{
    const Bytes16 other = Seq16(0xF0);
    const std::string bytes = Par2Main(kSet, 512, {kId1}) + Par2Creator(other, "x") + Par2RecoverySlice(kSet, 0, 4);
    const ParReport r = Build(bytes);
    const std::vector<std::string> lines = PacketLines(r);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "0000005C [0044]  PAR 2.0 Creator ");
    EXPECT_EQ(lines[2], kIndent + "x");
    EXPECT_EQ(lines[3], kIndent + "<<< Unmatch Recovery SetID >>> " + Hex(other));
    EXPECT_EQ(lines[4], "000000A0 [0048]  PAR 2.0 RecvSlic");
    EXPECT_TRUE(r.success);
}

TEST(Par2Report, StrayBytesAndBrokenPacketsEndInLostData)
{
    const std::string good = Par2Main(kSet, 512, {kId1}) + Par2Creator(kSet, "abc");
    const std::vector<std::string> goodLines = PacketLines(Build(good));
    ASSERT_EQ(goodLines.size(), 3u);
    const auto expectLost = [&](const std::string& bytes, size_t packetsBefore, const char* what) {
        const ParReport r = Build(bytes);
        const std::vector<std::string> lines = PacketLines(r);
        ASSERT_GE(lines.size(), 1u) << what;
        EXPECT_EQ(lines.back(), "... Lost Data") << what;
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end() - 1),
                  std::vector<std::string>(goodLines.begin(), goodLines.begin() + packetsBefore))
            << what;
        EXPECT_FALSE(r.success) << what;
    };
    expectLost(good + "xyz", 3, "stray bytes");
    expectLost(good + std::string("PAR2\0PK", 7), 3, "part of a magic");
    expectLost(good + std::string("PAR2\0PKT", 8) + "\x50", 3, "header cut short");
    expectLost(good.substr(0, good.size() - 1), 1, "last packet cut short");

    // Lengths that cannot be walked: 0, below the header, negative low half, past the end.
    for (uint64_t length : {uint64_t{0}, uint64_t{8}, uint64_t{63}, uint64_t{0xFFFFFFFF}, uint64_t{0x80000000},
                            uint64_t{0xFFFFFFFFFFFFFFFFULL}, uint64_t{good.size() - 0x5C + 4}}) {
        std::string bad = good;
        SetLe(bad, 0x5C + 8, length, 8);
        expectLost(bad, 1, ("length " + std::to_string(length)).c_str());
    }
    // Only the low 32 bits of the length count.
    std::string high = good;
    SetLe(high, 8, 0x0000000100000000ULL + 0x5C, 8);
    EXPECT_EQ(PacketLines(Build(high)), goodLines);

    // Not a PAR 2.0 file at all, and an empty one.
    const ParReport text = Build("plain text, not a parity file");
    EXPECT_EQ(text.lines[4], "Recovery SetID = ");
    EXPECT_EQ(PacketLines(text), (std::vector<std::string>{"... Lost Data"}));
    EXPECT_FALSE(text.success);
    const ParReport empty = Build("");
    EXPECT_EQ(empty.lines[3], "FileSize       = 0 bytes");
    EXPECT_TRUE(PacketLines(empty).empty());
}

TEST(Par2Report, ShortBodiesPrintOnlyWhatThePacketHolds)
{
    // A file-description packet cut to 20 body bytes, with a valid packet after it.
    std::string desc = Par2FileDesc(kSet, kId1, kId2, kId3, 99, "name.bin").substr(0, 64 + 20);
    SetLe(desc, 8, desc.size(), 8);
    const std::vector<std::string> lines = PacketLines(Build(desc + Par2Creator(kSet, "after")));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "00000000 [0054]  PAR 2.0 FileDesc              ID - " + Hex(kId1));
    EXPECT_EQ(lines[1], kIndent + "MD5     = " + Hex(kId2).substr(0, 8) + "   File Name = ");
    EXPECT_EQ(lines[2], kIndent + "MD5-16K =    File Size = 0 bytes");
    EXPECT_EQ(lines[4], kIndent + "after");

    // A main packet whose last ID is cut: the partial ID shows only its bytes.
    std::string main = Par2Main(kSet, 512, {kId1, kId2}).substr(0, 76 + 16 + 5);
    SetLe(main, 8, main.size(), 8);
    const std::vector<std::string> mainLines = PacketLines(Build(main, true));
    ASSERT_EQ(mainLines.size(), 3u);
    EXPECT_EQ(mainLines[2], kIndent + "ID - " + Hex(kId2).substr(0, 10));
}

TEST(Par2Report, LargeNumbersAndPositions)
{
    const std::string desc = Par2FileDesc(kSet, kId1, kId2, kId3, 0x123456789ULL, "a");
    EXPECT_EQ(PacketLines(Build(desc))[2], kIndent + "MD5-16K = " + Hex(kId3) + "   File Size = 4,886,718,345 bytes");
    // A packet longer than 0xFFFF gets more length digits; positions past 0xFFFFFFFF are not
    // reachable through 32-bit lengths here, but positions beyond 4 hex digits are.
    const std::string big = Par2RecoverySlice(kSet, 1, 0x10000);
    const std::vector<std::string> lines = PacketLines(Build(big + big));
    EXPECT_EQ(lines, (std::vector<std::string>{"00000000 [10044]  PAR 2.0 RecvSlic", "00010044 [10044]  PAR 2.0 RecvSlic"}));
}

}  // namespace
}  // namespace qv
