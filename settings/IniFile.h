#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qv {

// The private-profile INI text form: "[Section]" lines open sections, "Key=Value" lines hold
// values. Sections and keys match without regard to ASCII letter case; the first section and
// the first key of a name win. Lines this program does not set (other keys, comments, other
// sections) are kept as they were.
class IniDocument {
public:
    // Decodes the bytes (UTF-8, else CP932) and splits them at CR LF, LF or CR.
    static IniDocument Parse(std::string_view bytes);

    // UTF-8 text with CR LF after every line.
    std::string Serialize() const;

    // The value trimmed of blanks, with one pair of surrounding double quotes removed.
    // False when the section or key is missing.
    bool Get(std::string_view section, std::string_view key, std::string& value) const;
    bool HasSection(std::string_view section) const;

    // Sets the value text exactly as given (the caller adds any quotes). An existing key is
    // replaced where it stands; a new key goes after the last key of its section; a new
    // section goes at the end. Line breaks in the value are written as blanks.
    void Set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string text;   // the line as read or as last written
        std::string key;    // empty for lines that hold no key
        bool hasKey = false;
    };
    struct Section {
        std::string name;
        bool hasHeader = false;   // false only for the lines before the first section
        std::string headerText;   // the "[...]" line as read or written
        std::vector<Line> lines;
    };

    static std::string Fold(std::string_view text);
    const Section* FindSection(std::string_view section) const;
    void IndexKey(size_t sectionIndex, size_t lineIndex);

    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;   // folded name -> first section
    // folded "section\nkey" -> line index in that section
    std::unordered_map<std::string, size_t> keyIndex_;
};

// Integer text: optional blanks and sign, then decimal digits, or "0x"/"0X"/"$" and
// hexadecimal digits. False when the text is not such a number or does not fit 64 bits.
bool ParseIniInteger(std::string_view text, int64_t& value);

}  // namespace qv
