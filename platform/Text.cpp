#include "platform/Text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace qv {
namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at the start of s, or 0 when it is not valid.
size_t Utf8SequenceLength(std::string_view s)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) return 1;
    size_t len;
    uint32_t cp;
    uint32_t min;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (s.size() < len) return 0;
    for (size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    while (!bytes.empty()) {
        const size_t len = Utf8SequenceLength(bytes);
        if (len == 0) return false;
        bytes.remove_prefix(len);
    }
    return true;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 4);
    // One converter per thread: opening it costs far more than converting a line.
    struct Converter {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        ~Converter()
        {
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
        }
    };
    thread_local Converter converter;
    iconv_t cd = converter.cd;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: keep ASCII, mark everything else.
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) out += c;
            else out += kReplacement;
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);   // fresh shift state
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t before = inLeft;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG && inLeft < before) continue;
        // Invalid or incomplete sequence (or, in theory, no progress at all): replace one
        // byte and carry on, so every turn of the loop consumes input.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string Utf8WithReplacements(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const size_t len = Utf8SequenceLength(bytes);
        if (len > 0) {
            out.append(bytes.substr(0, len));
            bytes.remove_prefix(len);
            continue;
        }
        // Skip the lead byte and the continuation bytes that belong to the broken sequence.
        out += kReplacement;
        size_t skip = 1;
        while (skip < bytes.size() && skip < 4 &&
               (static_cast<unsigned char>(bytes[skip]) & 0xC0) == 0x80 &&
               (static_cast<unsigned char>(bytes[0]) & 0xC0) == 0xC0)
            ++skip;
        bytes.remove_prefix(skip);
    }
    return out;
}

std::string DecodeOutsideText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        return Utf8WithReplacements(bytes);
    }
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Cp932ToUtf8(bytes);
}

std::string Utf16LeToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
    };
    for (size_t i = 0; i < units; ++i) {
        const uint32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const uint32_t v = unitAt(i + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) out += kReplacement;
        else AppendUtf8(out, u);
    }
    return out;
}

std::string CutToBytes(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes) return std::string(text);
    size_t cut = maxBytes;
    // Step back over continuation bytes so the cut lands on a character start.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut));
}

std::string AsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = FoldUpper(c);
    return out;
}

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = FoldLower(c);
    return out;
}

int CompareAsciiFolded(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldLower(a[i]));
        const auto y = static_cast<unsigned char>(FoldLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsAsciiFolded(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareAsciiFolded(a, b) == 0;
}

std::string Trim(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace qv
