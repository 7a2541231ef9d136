// PAR 1.0: a 96-byte little-endian header, then a list of variable-size file entries.
#include <cstdint>
#include <string>

#include "platform/NumberFormat.h"
#include "platform/Text.h"
#include "platform/Version.h"
#include "verify/ParBytes.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

constexpr uint64_t kHeaderSize = 96;
constexpr uint64_t kEntryFixedPart = 56;   // size, status, file size, two MD5s; the name follows
constexpr std::string_view kParId("PAR\0\0\0\0\0", 8);

std::string ClientName(unsigned id)
{
    switch (id) {
    case 1: return "Mirror";
    case 3: return "SmartPAR";
    case 254: return "News?";
    case 255: return "FSRaid";
    default: return "undefined";
    }
}

std::string VolumeName(int64_t v)
{
    if (v == 0) return "PAR";
    if (v >= 1 && v <= 9) return "P0" + std::to_string(v);
    if (v >= 10 && v <= 99) return "P" + std::to_string(v);
    return "Illegal Number " + std::to_string(v);
}

int64_t Signed64(std::string_view data, uint64_t offset)
{
    return static_cast<int64_t>(par::LittleEndianAt(data, offset, 8));
}

std::string EntryLine(std::string_view entry)
{
    std::string line;
    line.reserve(120 + entry.size());
    par::AppendHexBytes(line, entry.substr(24, 16));
    line += ' ';
    par::AppendHexBytes(line, entry.substr(40, 16));
    line += ' ';
    line += Utf16LeToUtf8(entry.substr(kEntryFixedPart));
    line += " - ";
    line += std::to_string(Signed64(entry, 16));
    line += "bytes";
    const uint64_t status = par::LittleEndianAt(entry, 8, 8);
    if ((status & 1) == 0) line += " - not recoverble";
    if ((status & 2) != 0) line += " - already checked";
    return line;
}

}  // namespace

ParReport BuildParReport(std::string_view path, std::string_view bytes, double now)
{
    ParReport report;
    auto& out = report.lines;
    const uint64_t s = bytes.size();

    out.push_back("[ " + std::string(kProgramVersion) + " PAR File Analyze Report ] " + ReportTimeStamp(now));
    out.emplace_back();
    out.push_back("FileName = " + std::string(path));
    out.push_back("FileSize = " + FormatGrouped(static_cast<int64_t>(s)) + " bytes");
    out.emplace_back();

    if (s < kHeaderSize) {
        out.push_back("<<< エラー：ファイルサイズがヘッダ部基本領域以下です >>>");
        report.success = false;
        return report;
    }
    if (bytes.substr(0, 8) != kParId) {
        out.push_back("<<< エラー：ヘッダ部の先頭ＩＤが一致しませんでした >>>   ID = " + par::HexBytes(bytes.substr(0, 8)));
        report.success = false;
        return report;
    }

    const auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    out.push_back("Created by " + ClientName(byte(15)) + " V" + std::to_string(byte(14)) + "." +
                  std::to_string(byte(13)) + "." + std::to_string(byte(12)));
    out.push_back("Control Hash    = " + par::HexBytes(bytes.substr(16, 16)));
    out.push_back("Set Hash        = " + par::HexBytes(bytes.substr(32, 16)));
    const int64_t volume = Signed64(bytes, 48);
    out.push_back("Volume Number   = " + std::to_string(volume) + "   ( " + VolumeName(volume) + " File )");
    const int32_t n = static_cast<int32_t>(static_cast<uint32_t>(par::LittleEndianAt(bytes, 56, 4)));
    out.push_back("Number of Files = " + std::to_string(n));

    const uint64_t listOffset = par::LittleEndianAt(bytes, 64, 8);
    const uint64_t listLength = par::LittleEndianAt(bytes, 72, 8);
    const uint64_t dataOffset = par::LittleEndianAt(bytes, 80, 8);
    const uint64_t dataLength = par::LittleEndianAt(bytes, 88, 8);
    out.push_back("Start Offset of the File List = 0x" + par::HexNumber(listOffset, 8) + "   File List Size = " +
                  FormatGrouped(static_cast<int64_t>(listLength)) + "\t- 0x" + par::HexNumber(listLength, 8));
    out.push_back("Start Offset of the Data      = 0x" + par::HexNumber(dataOffset, 8) + "   Data Size      = " +
                  FormatGrouped(static_cast<int64_t>(dataLength)) + "\t- 0x" + par::HexNumber(dataLength, 8));

    // Signed 64-bit fields whose sums may leave the 64-bit range: compare in 128 bits.
    const __int128 listEnd = static_cast<__int128>(static_cast<int64_t>(listOffset)) + static_cast<int64_t>(listLength);
    const __int128 dataEnd = static_cast<__int128>(static_cast<int64_t>(dataOffset)) + static_cast<int64_t>(dataLength);
    const __int128 end = listEnd > dataEnd ? listEnd : dataEnd;
    if (end > static_cast<__int128>(s))
        out.push_back("<<< エラー：ファイルサイズが定義データより少ないので破損している可能性が有ります >>>");
    else if (end < static_cast<__int128>(s))
        out.push_back("<<< エラー：ファイルサイズが定義データより多いので余分なデータが含まれている可能性が有ります >>>");
    out.emplace_back();

    out.push_back("MD5 Hash                         16k MD5 Hash                     FileName - FileSize - Status");
    uint64_t p = listOffset;
    for (int32_t i = 0; i < n; ++i) {
        // An entry that lies outside the data or cannot be stepped over (shorter than its fixed
        // part, size 0) ends the list: nothing after it can be located.
        const uint64_t entrySize = p <= s && s - p >= 8 ? par::LittleEndianAt(bytes, p, 8) : 0;
        if (entrySize < kEntryFixedPart || p > s || entrySize > s - p) {
            out.push_back("<<< エラー：データはここまで " + std::to_string(static_cast<int64_t>(n) - i) +
                          "個のデータを失いました >>>");
            return report;
        }
        out.push_back(EntryLine(bytes.substr(static_cast<size_t>(p), static_cast<size_t>(entrySize))));
        p += entrySize;
    }
    if (n > 0) out.push_back("End of " + std::to_string(n) + " Files");
    return report;
}

}  // namespace qv
