#pragma once
// Test-side encoders, through iconv, independent of the product's decoders.
#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::test {

inline std::string Encode(std::string_view utf8, const char* charset)
{
    iconv_t cd = iconv_open(charset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(charset);
    std::string out(utf8.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* dst = out.data();
    size_t inLeft = utf8.size(), dstLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) throw std::runtime_error(charset);
    out.resize(out.size() - dstLeft);
    return out;
}

// With the byte-order mark a Windows editor writes.
inline std::string Utf16Le(std::string_view utf8) { return "\xFF\xFE" + Encode(utf8, "UTF-16LE"); }
inline std::string Utf16Be(std::string_view utf8) { return "\xFE\xFF" + Encode(utf8, "UTF-16BE"); }

}  // namespace qv::test
