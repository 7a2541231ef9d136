#pragma once
// Bounded access to the bytes of a parity file shared by the PAR 1.0 and PAR 2.0 reports.
// Every read is clipped to the view it is given, so hostile offsets and lengths can only
// shorten what is printed, never reach outside the data.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::par {

// The bytes [offset, offset + length) that lie inside data; empty when offset is past the end.
inline std::string_view Slice(std::string_view data, uint64_t offset, uint64_t length)
{
    if (offset >= data.size()) return {};
    const uint64_t room = data.size() - offset;
    return data.substr(static_cast<size_t>(offset), static_cast<size_t>(length < room ? length : room));
}

// Little-endian integer of width bytes at offset; bytes outside data count as zero.
inline uint64_t LittleEndianAt(std::string_view data, uint64_t offset, unsigned width)
{
    const std::string_view bytes = Slice(data, offset, width);
    uint64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// Two upper-case hexadecimal digits per byte, in file order.
inline void AppendHexBytes(std::string& out, std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const size_t at = out.size();
    out.resize(at + bytes.size() * 2);
    char* dst = out.data() + at;
    for (unsigned char b : bytes) {
        *dst++ = kDigits[b >> 4];
        *dst++ = kDigits[b & 15];
    }
}

inline std::string HexBytes(std::string_view bytes)
{
    std::string out;
    AppendHexBytes(out, bytes);
    return out;
}

// Upper-case hexadecimal with at least minDigits digits, zero-padded, more when needed.
inline void AppendHexNumber(std::string& out, uint64_t value, unsigned minDigits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer[16];
    unsigned n = 0;
    do {
        buffer[n++] = kDigits[value & 15];
        value >>= 4;
    } while (value != 0);
    for (unsigned i = n; i < minDigits; ++i) out += '0';
    while (n > 0) out += buffer[--n];
}

inline std::string HexNumber(uint64_t value, unsigned minDigits)
{
    std::string out;
    AppendHexNumber(out, value, minDigits);
    return out;
}

}  // namespace qv::par
