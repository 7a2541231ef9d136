#pragma once
// Crafted PAR 1.0 and PAR 2.0 files, byte by byte from the published layouts, so that any field
// can take a boundary value.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/Par2Set.h"

namespace qv::test {

inline std::string SetLe(std::string data, size_t offset, uint64_t value, unsigned width)
{
    return data.replace(offset, width, Le(value, width));
}

// 16 bytes first, first + 1, ...: distinct, easy to read in hexadecimal.
inline std::string Seq16(uint8_t first)
{
    std::string bytes(16, '\0');
    for (char& b : bytes) b = static_cast<char>(first++);
    return bytes;
}

struct Par1Entry {
    uint64_t status = 1;
    int64_t fileSize = 0;
    std::string md5, md5First16k;   // 16 bytes each
    std::u16string name;
};

struct Par1File {
    std::vector<Par1Entry> entries;
    int64_t volume = 0;
    uint64_t dataLength = 0;   // zero bytes after the list
};

// Header (client SmartPAR V1.2.4), entries and data, the list and data fields describing exactly
// that layout.
inline std::string BuildPar1(const Par1File& file)
{
    std::string list;
    for (const Par1Entry& e : file.entries) {
        list += Le(56 + e.name.size() * 2, 8) + Le(e.status, 8) + Le(static_cast<uint64_t>(e.fileSize), 8) + e.md5 +
                e.md5First16k;
        for (const char16_t c : e.name) list += Le(c, 2);
    }
    return std::string("PAR\0\0\0\0\0\0\0\1\0\4\2\1\3", 16) + Seq16(0x10) + Seq16(0x20) +
           Le(static_cast<uint64_t>(file.volume), 8) + Le(file.entries.size(), 8) + Le(96, 8) + Le(list.size(), 8) +
           Le(96 + list.size(), 8) + Le(file.dataLength, 8) + list + std::string(file.dataLength, '\0');
}

// A PAR 2.0 set with every packet type, a foreign set ID, a CP932 name and packets cut short,
// walkable to its end.
inline std::string Par2Sample()
{
    const std::string set = Seq16(0xA0), id = Seq16(0x01), body = Seq16(0x41) + "restrest";
    std::string bytes =
        Par2Packet("Main", set, Le(1048576, 8) + Le(3, 4) + id + Seq16(0x41) + Seq16(0x81)) +
        Par2Packet("Creator", set, Padded("Quenvarlith13")) +
        Par2Packet("FileDesc", set, Padded(id + Seq16(0x11) + Seq16(0x21) + Le(5000000000ULL, 8) + "big.iso")) +
        Par2Packet("IFSC", set, id + Seq16(0x31) + Le(0x04030201, 4) + Seq16(0x51) + Le(0xDDCCBBAA, 4)) +
        Par2Packet("RecvSlic", set, Le(7, 4) + std::string(0x10000, 'x'));
    for (const char* type : {"UniFileN", "FileSlic", "RFSC"}) bytes += Par2Packet(type, set, body);
    for (const char* type : {"CommUni", "PkdMain", "PkdRecvS"}) bytes += Par2Packet(type, set, "");   // a header alone
    return bytes + Par2Packet(std::string("NewsPostUsenet\0\0", 16), set, body) +
           Par2Packet("CommASCI", set, Padded("hello")) +
           Par2Packet(std::string("Ab~\x01\x7F\xA1\xB1\xDF\xE0\xFFPAR 2\x80", 16), set, body) +
           Par2Packet("Creator", Seq16(0xF0), Padded("x")) +                                   // a foreign set
           Par2Packet("FileDesc", set, Padded(id + id + id + Le(1, 8) + "\x93\xfa\x96\x7b.txt")) +   // CP932 name
           Par2Packet("FileDesc", set, (id + Seq16(0x41)).substr(0, 20)) +   // cut short: only what it holds
           Par2Packet("Main", set, Le(512, 8) + Le(2, 4) + id + Seq16(0x41).substr(0, 5));
}

}  // namespace qv::test
