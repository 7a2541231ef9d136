#pragma once
// Hand-made PAR 2.0 packets, byte by byte from the published layout.
#include <string>
#include <string_view>

#include "support/Bytes.h"

namespace qv::test {

using testing::Le;

// Magic, length, packet MD5 (zeros), set ID, type ("Main" stands for "PAR 2.0\0Main\0\0\0\0"; 16 bytes
// are taken as they are) and body.
inline std::string Par2Packet(std::string_view type, const std::string& setId, std::string_view body)
{
    std::string type16 = type.size() == 16 ? std::string(type) : std::string("PAR 2.0\0", 8) + std::string(type);
    type16.resize(16, '\0');
    return std::string("PAR2\0PKT", 8) + Le(64 + body.size(), 8) + std::string(16, '\0') + setId + type16 +
           std::string(body);
}

// Text fields are padded with zero bytes to a multiple of four.
inline std::string Padded(std::string text)
{
    text.resize((text.size() + 3) / 4 * 4, '\0');
    return text;
}

// The smallest PAR 2.0 set that names one file by its MD5: one file-description packet.
inline std::string Par2Naming(const std::string& md5Hex, const std::string& name)
{
    std::string body(16, 'I');   // file ID, MD5, 16k MD5 and length, name
    for (size_t i = 0; i + 1 < md5Hex.size(); i += 2)
        body += static_cast<char>(std::stoi(md5Hex.substr(i, 2), nullptr, 16));
    return Par2Packet("FileDesc", std::string(16, 'S'), Padded(body + std::string(24, '\0') + name));
}

}  // namespace qv::test
