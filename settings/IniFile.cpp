#include "settings/IniFile.h"

#include <limits>

#include "platform/Text.h"

namespace qv {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string SectionNameOf(std::string_view trimmedLine)
{
    std::string_view inner = trimmedLine.substr(1);
    const size_t close = inner.find(']');
    if (close != std::string_view::npos) inner = inner.substr(0, close);
    return Trim(inner);
}

std::string WithoutLineBreaks(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string IniDocument::Fold(std::string_view text)
{
    return AsciiLower(text);
}

IniDocument IniDocument::Parse(std::string_view bytes)
{
    IniDocument doc;
    std::string text = DecodeOutsideText(bytes);
    // A BOM doubled by some editor would otherwise hide the first section header.
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    while (text.compare(0, kBom.size(), kBom) == 0) text.erase(0, kBom.size());
    doc.sections_.push_back(Section{});   // lines before the first section header
    for (std::string_view raw : SplitLines(text)) {
        const std::string trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed[0] == '[') {
            Section section;
            section.name = SectionNameOf(trimmed);
            section.hasHeader = true;
            section.headerText = std::string(raw);
            doc.sections_.push_back(std::move(section));
            doc.sectionIndex_.emplace(Fold(doc.sections_.back().name), doc.sections_.size() - 1);
            continue;
        }
        Line line;
        line.text = std::string(raw);
        const size_t eq = trimmed.find('=');
        if (!trimmed.empty() && trimmed[0] != ';' && eq != std::string::npos) {
            line.key = Trim(std::string_view(trimmed).substr(0, eq));
            line.hasKey = true;
        }
        Section& current = doc.sections_.back();
        current.lines.push_back(std::move(line));
        if (current.hasHeader && current.lines.back().hasKey) {
            doc.IndexKey(doc.sections_.size() - 1, current.lines.size() - 1);
        }
    }
    return doc;
}

void IniDocument::IndexKey(size_t sectionIndex, size_t lineIndex)
{
    const Section& section = sections_[sectionIndex];
    // Only the first section of a name is ever looked at.
    const auto first = sectionIndex_.find(Fold(section.name));
    if (first == sectionIndex_.end() || first->second != sectionIndex) return;
    keyIndex_.emplace(Fold(section.name) + '\n' + Fold(section.lines[lineIndex].key), lineIndex);
}

std::string IniDocument::Serialize() const
{
    std::string out;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            out += section.headerText;
            out += "\r\n";
        }
        for (const Line& line : section.lines) {
            out += line.text;
            out += "\r\n";
        }
    }
    return out;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view section) const
{
    const auto it = sectionIndex_.find(Fold(section));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

bool IniDocument::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool IniDocument::Get(std::string_view section, std::string_view key, std::string& value) const
{
    const Section* s = FindSection(section);
    if (s == nullptr) return false;
    const auto it = keyIndex_.find(Fold(section) + '\n' + Fold(key));
    if (it == keyIndex_.end()) return false;
    const std::string& text = s->lines[it->second].text;
    value = Trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return true;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string foldedSection = Fold(section);
    auto sit = sectionIndex_.find(foldedSection);
    if (sit == sectionIndex_.end()) {
        Section created;
        created.name = std::string(section);
        created.hasHeader = true;
        created.headerText = "[" + created.name + "]";
        sections_.push_back(std::move(created));
        sit = sectionIndex_.emplace(foldedSection, sections_.size() - 1).first;
    }
    const size_t sectionIndex = sit->second;
    Section& s = sections_[sectionIndex];
    const std::string text = std::string(key) + "=" + WithoutLineBreaks(value);

    const auto kit = keyIndex_.find(foldedSection + '\n' + Fold(key));
    if (kit != keyIndex_.end()) {
        Line& line = s.lines[kit->second];
        line.text = text;
        line.key = std::string(key);
        return;
    }
    // After the last key line, so no indexed line moves.
    size_t pos = 0;
    for (size_t i = s.lines.size(); i > 0; --i) {
        if (s.lines[i - 1].hasKey) {
            pos = i;
            break;
        }
    }
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(pos), Line{text, std::string(key), true});
    IndexKey(sectionIndex, pos);
}

bool ParseIniInteger(std::string_view text, int64_t& value)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && text[i] == '$') {
        base = 16;
        i += 1;
    }
    if (i >= text.size()) return false;
    // Accumulate the magnitude in unsigned so INT64_MIN still fits.
    const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
        if (magnitude > (limit - static_cast<unsigned>(digit)) / base) return false;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

}  // namespace qv
