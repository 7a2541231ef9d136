#include "ParTestData.h"

#include <cstdio>
#include <sys/wait.h>

namespace qv::test {

Bytes16 Seq16(uint8_t first)
{
    Bytes16 b{};
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(first + i);
    return b;
}

std::string Hex(const Bytes16& b)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (uint8_t v : b) {
        out += kDigits[v >> 4];
        out += kDigits[v & 15];
    }
    return out;
}

void PutLe(std::string& out, uint64_t value, unsigned width)
{
    for (unsigned i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void SetLe(std::string& data, size_t offset, uint64_t value, unsigned width)
{
    for (unsigned i = 0; i < width; ++i) data[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

static void PutBytes(std::string& out, const Bytes16& b)
{
    out.append(reinterpret_cast<const char*>(b.data()), b.size());
}

std::string Par1EntryBytes(const Par1Entry& entry)
{
    std::string e;
    PutLe(e, 56 + entry.name.size() * 2, 8);
    PutLe(e, entry.status, 8);
    PutLe(e, static_cast<uint64_t>(entry.fileSize), 8);
    PutBytes(e, entry.md5);
    PutBytes(e, entry.md5First16k);
    for (char16_t c : entry.name) PutLe(e, c, 2);
    return e;
}

std::string BuildPar1(const Par1File& file)
{
    std::string list;
    for (const Par1Entry& entry : file.entries) list += Par1EntryBytes(entry);
    std::string out("PAR\0\0\0\0\0", 8);
    PutLe(out, 0x00010000, 4);
    out += static_cast<char>(file.version[0]);
    out += static_cast<char>(file.version[1]);
    out += static_cast<char>(file.version[2]);
    out += static_cast<char>(file.client);
    PutBytes(out, file.controlHash);
    PutBytes(out, file.setHash);
    PutLe(out, static_cast<uint64_t>(file.volume), 8);
    PutLe(out, file.entries.size(), 8);
    PutLe(out, 96, 8);
    PutLe(out, list.size(), 8);
    PutLe(out, 96 + list.size(), 8);
    PutLe(out, static_cast<uint64_t>(file.dataLength), 8);
    out += list;
    out.append(static_cast<size_t>(file.dataLength), '\0');
    return out;
}

std::string Par2Type(std::string_view name)
{
    std::string type = name.size() == 16 ? std::string(name) : std::string("PAR 2.0\0", 8) + std::string(name);
    type.resize(16, '\0');
    return type;
}

std::string Par2Packet(std::string_view type16, const Bytes16& setId, std::string_view body)
{
    std::string p("PAR2\0PKT", 8);
    PutLe(p, 64 + body.size(), 8);
    p.append(16, '\0');
    PutBytes(p, setId);
    p += type16;
    p += body;
    return p;
}

std::string Par2Main(const Bytes16& setId, uint64_t sliceSize, const std::vector<Bytes16>& fileIds)
{
    std::string body;
    PutLe(body, sliceSize, 8);
    PutLe(body, fileIds.size(), 4);
    for (const Bytes16& id : fileIds) PutBytes(body, id);
    return Par2Packet(Par2Type("Main"), setId, body);
}

std::string Par2Creator(const Bytes16& setId, std::string_view text)
{
    std::string body(text);
    body.resize((body.size() + 3) / 4 * 4, '\0');
    return Par2Packet(Par2Type("Creator"), setId, body);
}

std::string Par2FileDesc(const Bytes16& setId, const Bytes16& fileId, const Bytes16& md5,
                         const Bytes16& md5First16k, uint64_t length, std::string_view name)
{
    std::string body;
    PutBytes(body, fileId);
    PutBytes(body, md5);
    PutBytes(body, md5First16k);
    PutLe(body, length, 8);
    body += name;
    body.resize((body.size() + 3) / 4 * 4, '\0');
    return Par2Packet(Par2Type("FileDesc"), setId, body);
}

std::string Par2Ifsc(const Bytes16& setId, const Bytes16& fileId,
                     const std::vector<std::pair<Bytes16, uint32_t>>& slices)
{
    std::string body;
    PutBytes(body, fileId);
    for (const auto& [md5, crc] : slices) {
        PutBytes(body, md5);
        PutLe(body, crc, 4);
    }
    return Par2Packet(Par2Type("IFSC"), setId, body);
}

std::string Par2RecoverySlice(const Bytes16& setId, uint32_t exponent, size_t dataBytes)
{
    std::string body;
    PutLe(body, exponent, 4);
    for (size_t i = 0; i < dataBytes; ++i) body += static_cast<char>(i * 7 + exponent);
    return Par2Packet(Par2Type("RecvSlic"), setId, body);
}

std::string RunCommand(const std::string& command, int& exitCode)
{
    std::string out;
    exitCode = -1;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

bool HaveCommand(const std::string& name)
{
    int rc = 0;
    RunCommand("command -v " + name + " >/dev/null 2>&1", rc);
    return rc == 0;
}

std::string Md5sumOf(const std::string& path)
{
    int rc = 0;
    std::string out = RunCommand("md5sum -b '" + path + "'", rc);
    out.resize(rc == 0 && out.size() >= 32 ? 32 : 0);
    for (char& c : out)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace qv::test
