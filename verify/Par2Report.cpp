// PAR 2.0: a sequence of packets, each a 64-byte header (magic, length, packet MD5, recovery
// set ID, type) and a body. Fields are read only inside their own packet.
#include <cstdint>
#include <string>

#include "platform/NumberFormat.h"
#include "platform/Text.h"
#include "platform/Version.h"
#include "verify/ParBytes.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

constexpr uint64_t kHeaderSize = 64;
constexpr std::string_view kMagic("PAR2\0PKT", 8);
constexpr std::string_view kIndent = "                 ";   // continuation lines: 17 blanks

enum class PacketType {
    Main, Creator, FileDesc, Ifsc, RecvSlice, UniFileName, CommAscii, CommUni, FileSlice, Rfsc,
    PackedMain, PackedRecvSlice, UsenetPosting, Unknown
};

PacketType TypeOf(std::string_view type)
{
    struct Known {
        std::string_view bytes;
        PacketType type;
    };
    static constexpr Known kKnown[] = {
        {std::string_view("PAR 2.0\0Main\0\0\0\0", 16), PacketType::Main},
        {std::string_view("PAR 2.0\0Creator\0", 16), PacketType::Creator},
        {std::string_view("PAR 2.0\0FileDesc", 16), PacketType::FileDesc},
        {std::string_view("PAR 2.0\0IFSC\0\0\0\0", 16), PacketType::Ifsc},
        {std::string_view("PAR 2.0\0RecvSlic", 16), PacketType::RecvSlice},
        {std::string_view("PAR 2.0\0UniFileN", 16), PacketType::UniFileName},
        {std::string_view("PAR 2.0\0CommASCI", 16), PacketType::CommAscii},
        {std::string_view("PAR 2.0\0CommUni\0", 16), PacketType::CommUni},
        {std::string_view("PAR 2.0\0FileSlic", 16), PacketType::FileSlice},
        {std::string_view("PAR 2.0\0RFSC\0\0\0\0", 16), PacketType::Rfsc},
        {std::string_view("PAR 2.0\0PkdMain\0", 16), PacketType::PackedMain},
        {std::string_view("PAR 2.0\0PkdRecvS", 16), PacketType::PackedRecvSlice},
        {std::string_view("NewsPostUsenet\0\0", 16), PacketType::UsenetPosting},
    };
    for (const Known& k : kKnown)
        if (k.bytes == type) return k.type;
    return PacketType::Unknown;
}

// Text fields are padded with zero bytes to a multiple of four: at most three are dropped.
// Names written by UTF-8 systems stay as they are; anything else is read as CP932.
std::string TextField(std::string_view field)
{
    for (int i = 0; i < 3 && !field.empty() && field.back() == '\0'; ++i) field.remove_suffix(1);
    return IsValidUtf8(field) ? std::string(field) : Cp932ToUtf8(field);
}

// A type byte as printable text: ASCII as itself, 0xA1..0xDF as the CP932 half-width
// katakana it stands for (U+FF61..U+FF9F), anything else as a blank.
void AppendTypeChar(std::string& out, unsigned char b)
{
    if (b >= 0x20 && b <= 0x7E) {
        out += static_cast<char>(b);
    } else if (b >= 0xA1 && b <= 0xDF) {
        const unsigned cp = 0xFF61u + (b - 0xA1u);
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += ' ';
    }
}

class Par2Walker {
public:
    Par2Walker(std::string_view bytes, const ParReportOptions& options, ParReport& report)
        : bytes_(bytes), options_(options), out_(report.lines), report_(report) {}

    void Run()
    {
        const uint64_t s = bytes_.size();
        setId0_ = par::Slice(bytes_, 32, 16);
        out_.push_back("Recovery SetID = " + par::HexBytes(setId0_));
        out_.emplace_back();

        uint64_t p = 0;
        while (p < s) {
            const std::string_view rest = bytes_.substr(static_cast<size_t>(p));
            if (rest.substr(0, 8) != kMagic) {
                LostData();
                break;
            }
            // Only the low 32 bits count, as a signed number. A packet that would not advance,
            // is shorter than its own header, or runs past the data cannot be walked.
            const int32_t length = static_cast<int32_t>(static_cast<uint32_t>(par::LittleEndianAt(rest, 8, 4)));
            if (length < static_cast<int64_t>(kHeaderSize) || static_cast<uint64_t>(length) > rest.size()) {
                LostData();
                break;
            }
            Packet(p, rest.substr(0, static_cast<size_t>(length)));
            p += static_cast<uint64_t>(length);
        }
        out_.emplace_back();
        out_.push_back("End of Packet");
    }

private:
    void LostData()
    {
        out_.push_back("... Lost Data");
        report_.success = false;
    }

    void Packet(uint64_t position, std::string_view packet)
    {
        std::string head;
        head.reserve(96);
        par::AppendHexNumber(head, position, 8);
        head += " [";
        par::AppendHexNumber(head, packet.size(), 4);
        head += ']';

        const std::string_view setId = packet.substr(32, 16);
        const std::string_view body = packet.substr(kHeaderSize);
        switch (TypeOf(packet.substr(48, 16))) {
        case PacketType::Main: Main(head, packet); break;
        case PacketType::Creator:
            out_.push_back(head + "  PAR 2.0 Creator ");
            out_.push_back(std::string(kIndent) + TextField(body));
            break;
        case PacketType::FileDesc: FileDesc(head, packet); break;
        case PacketType::Ifsc: Ifsc(head, packet); break;
        case PacketType::RecvSlice: out_.push_back(head + "  PAR 2.0 RecvSlic"); break;
        case PacketType::UniFileName: WithId(head, "  PAR 2.0 UniFileN              ID - ", packet); break;
        case PacketType::CommAscii:
            out_.push_back(head + "  PAR 2.0 CommASCI");
            out_.push_back(std::string(kIndent) + TextField(body));
            break;
        case PacketType::CommUni: out_.push_back(head + "  PAR 2.0 CommUni "); break;
        case PacketType::FileSlice: WithId(head, "  PAR 2.0 FileSlic              ID - ", packet); break;
        case PacketType::Rfsc: WithId(head, "  PAR 2.0 RFSC                  ID - ", packet); break;
        case PacketType::PackedMain: out_.push_back(head + "  PAR 2.0 PkdMain "); break;
        case PacketType::PackedRecvSlice: out_.push_back(head + "  PAR 2.0 PkdRecvS"); break;
        case PacketType::UsenetPosting: WithId(head, "  NewsPostUsenet                ID - ", packet); break;
        case PacketType::Unknown: {
            std::string line = head + "  UnknownPacket <<<";
            for (unsigned char b : packet.substr(48, 16)) AppendTypeChar(line, b);
            line += ">>>";
            out_.push_back(std::move(line));
            break;
        }
        }
        if (setId != setId0_) out_.push_back(std::string(kIndent) + "<<< Unmatch Recovery SetID >>> " + par::HexBytes(setId));
    }

    void WithId(const std::string& head, std::string_view text, std::string_view packet)
    {
        std::string line = head;
        line += text;
        par::AppendHexBytes(line, par::Slice(packet, 64, 16));
        out_.push_back(std::move(line));
    }

    void Main(const std::string& head, std::string_view packet)
    {
        out_.push_back(head + "  PAR 2.0 Main    " + "   Number of files = " +
                       std::to_string(par::LittleEndianAt(packet, 72, 4)) + "   Slice size = " +
                       FormatGrouped(static_cast<int64_t>(par::LittleEndianAt(packet, 64, 8))) + " bytes");
        if (!options_.par2ExtendReport) return;
        for (uint64_t at = 76; at < packet.size(); at += 16) {
            std::string line;
            line.reserve(kIndent.size() + 5 + 32);
            line += kIndent;
            line += "ID - ";
            par::AppendHexBytes(line, par::Slice(packet, at, 16));
            out_.push_back(std::move(line));
        }
    }

    void FileDesc(const std::string& head, std::string_view packet)
    {
        WithId(head, "  PAR 2.0 FileDesc              ID - ", packet);
        std::string line(kIndent);
        line += "MD5     = ";
        par::AppendHexBytes(line, par::Slice(packet, 80, 16));
        line += "   File Name = ";
        line += TextField(par::Slice(packet, 120, packet.size()));
        out_.push_back(std::move(line));
        line.assign(kIndent);
        line += "MD5-16K = ";
        par::AppendHexBytes(line, par::Slice(packet, 96, 16));
        line += "   File Size = ";
        line += FormatGrouped(static_cast<int64_t>(par::LittleEndianAt(packet, 112, 8)));
        line += " bytes";
        out_.push_back(std::move(line));
    }

    void Ifsc(const std::string& head, std::string_view packet)
    {
        WithId(head, "  PAR 2.0 IFSC                  ID - ", packet);
        if (!options_.par2ExtendReport) return;
        for (uint64_t at = 80; at < packet.size(); at += 20) {
            std::string line;
            line.reserve(kIndent.size() + 12 + 32 + 15 + 8);
            line += kIndent;
            line += "Slice MD5 - ";
            par::AppendHexBytes(line, par::Slice(packet, at, 16));
            line += "   Slice CRC - ";
            par::AppendHexBytes(line, par::Slice(packet, at + 16, 4));
            out_.push_back(std::move(line));
        }
    }

    std::string_view bytes_;
    const ParReportOptions& options_;
    std::vector<std::string>& out_;
    ParReport& report_;
    std::string_view setId0_;
};

}  // namespace

ParReport BuildPar2Report(std::string_view path, std::string_view bytes, double now,
                          const ParReportOptions& options)
{
    ParReport report;
    auto& out = report.lines;
    out.push_back("[ " + std::string(kProgramVersion) + " PAR2 File Analyze Report ] " + ReportTimeStamp(now));
    out.emplace_back();
    out.push_back("FileName       = " + std::string(path));
    out.push_back("FileSize       = " + FormatGrouped(static_cast<int64_t>(bytes.size())) + " bytes");
    Par2Walker(bytes, options, report).Run();
    return report;
}

}  // namespace qv
