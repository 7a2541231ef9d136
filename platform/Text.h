#pragma once
#include <string>
#include <string_view>

namespace qv {

bool IsValidUtf8(std::string_view bytes);
// CP932 (Shift-JIS) bytes to UTF-8 via iconv; undecodable bytes become U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);
// Outside text: valid UTF-8 is taken as is (a UTF-8 BOM is dropped), anything else as CP932.
// Text that starts with a UTF-8 BOM is UTF-8 whatever follows: bad sequences become U+FFFD.
std::string DecodeOutsideText(std::string_view bytes);
// UTF-8 with every invalid sequence (each maximal bad prefix) replaced by U+FFFD.
std::string Utf8WithReplacements(std::string_view bytes);
// UTF-16LE bytes to UTF-8 (unpaired surrogates become U+FFFD; an odd last byte is dropped).
std::string Utf16LeToUtf8(std::string_view bytes);
// The longest prefix of at most maxBytes that does not cut a UTF-8 character.
std::string CutToBytes(std::string_view text, size_t maxBytes);
// Case changes touch only ASCII letters.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
int CompareAsciiFolded(std::string_view a, std::string_view b);   // <0, 0, >0
bool EqualsAsciiFolded(std::string_view a, std::string_view b);
// A CR or LF anywhere: such a text cannot stand on one line of a line-based file.
inline bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }
// Trims ASCII blanks (space, tab, CR, LF) from both ends.
std::string Trim(std::string_view text);

}  // namespace qv
