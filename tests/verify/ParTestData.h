#pragma once
// Crafted PAR 1.0 and PAR 2.0 files for the report tests, byte by byte from the published
// layouts, so every field can be set to a boundary value.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::test {

using Bytes16 = std::array<uint8_t, 16>;

// 16 bytes first, first + 1, ... (wrapping): distinct, easy to read in hexadecimal.
Bytes16 Seq16(uint8_t first);
std::string Hex(const Bytes16& b);
void PutLe(std::string& out, uint64_t value, unsigned width);
void SetLe(std::string& data, size_t offset, uint64_t value, unsigned width);

struct Par1Entry {
    uint64_t status = 1;
    int64_t fileSize = 0;
    Bytes16 md5{};
    Bytes16 md5First16k{};
    std::u16string name;
};

struct Par1File {
    uint8_t version[3] = {0, 9, 0};   // bytes 12, 13, 14
    uint8_t client = 1;
    Bytes16 controlHash = Seq16(0x10);
    Bytes16 setHash = Seq16(0x20);
    int64_t volume = 0;
    std::vector<Par1Entry> entries;
    int64_t dataLength = 0;   // zero bytes appended after the list
};

std::string Par1EntryBytes(const Par1Entry& entry);
// Header + entries + data, with the list and data fields describing exactly that layout.
std::string BuildPar1(const Par1File& file);

// PAR 2.0 packets: header (magic, length, zero packet MD5, set ID, type) + body.
std::string Par2Type(std::string_view name);   // "Main" -> "PAR 2.0\0Main\0\0\0\0"
std::string Par2Packet(std::string_view type16, const Bytes16& setId, std::string_view body);
std::string Par2Main(const Bytes16& setId, uint64_t sliceSize, const std::vector<Bytes16>& fileIds);
std::string Par2Creator(const Bytes16& setId, std::string_view text);   // padded to 4 bytes
std::string Par2FileDesc(const Bytes16& setId, const Bytes16& fileId, const Bytes16& md5,
                         const Bytes16& md5First16k, uint64_t length, std::string_view name);
std::string Par2Ifsc(const Bytes16& setId, const Bytes16& fileId,
                     const std::vector<std::pair<Bytes16, uint32_t>>& slices);
std::string Par2RecoverySlice(const Bytes16& setId, uint32_t exponent, size_t dataBytes);

// Runs a shell command; returns its standard output and sets exitCode.
std::string RunCommand(const std::string& command, int& exitCode);
bool HaveCommand(const std::string& name);
// MD5 by the md5sum tool, upper case: an independent check of the reports' MD5 fields.
std::string Md5sumOf(const std::string& path);

}  // namespace qv::test
