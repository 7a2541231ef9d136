#pragma once
#include <cstdint>
#include <string>

namespace qv::test {

// The smallest PAR 2.0 set that names one file by its MD5: one file-description packet.
inline std::string Par2Naming(const std::string& md5Hex, const std::string& name)
{
    std::string body(16, 'I');   // file ID
    for (size_t i = 0; i + 1 < md5Hex.size(); i += 2)
        body += static_cast<char>(std::stoi(md5Hex.substr(i, 2), nullptr, 16));
    body += std::string(16, '\0') + std::string(8, '\0') + name;   // 16k MD5, length, name
    body.resize((body.size() + 3) / 4 * 4, '\0');
    std::string packet("PAR2\0PKT", 8);
    const uint64_t length = 64 + body.size();
    for (int i = 0; i < 8; ++i) packet += static_cast<char>((length >> (8 * i)) & 0xFF);
    return packet + std::string(32, 'S') + std::string("PAR 2.0\0FileDesc", 16) + body;
}

}  // namespace qv::test
