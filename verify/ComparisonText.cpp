#include "verify/ComparisonText.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/Text.h"

namespace qv {
namespace {

unsigned char Byte(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }

// Characters as the viewer's length counts them: UTF-16 units, CR and LF one each.
int ViewerUnits(unsigned char c) { return ((c & 0xC0) != 0x80) + (c >= 0xF0); }

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHigh = kOnes * 0x80;
constexpr uint64_t kLow7 = kOnes * 0x7F;

// Bit 7 of every byte of w that equals c.
uint64_t BytesEqual(uint64_t w, unsigned char c)
{
    const uint64_t x = w ^ (kOnes * c);
    return ~(((x & kLow7) + kLow7) | x) & kHigh;
}

bool AllAscii(std::string_view s)
{
    unsigned char any = 0;
    for (char c : s) any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

std::string FoldAsciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(c + ((c >= 'A') & (c <= 'Z')) * 32);
    return out;
}

}  // namespace

ComparisonText::ComparisonText(std::string utf8) : text_(std::move(utf8))
{
    if (!AllAscii(text_) && !IsValidUtf8(text_)) text_ = Utf8WithReplacements(text_);
    folded_ = FoldAsciiLower(text_);
    marks_.resize(text_.size() / kStride + 1);
    marks_[0] = 0;
    for (size_t k = 1; k < marks_.size(); ++k)
        marks_[k] = Walk((k - 1) * kStride, marks_[k - 1], k * kStride);
}

int ComparisonText::Walk(size_t from, int position, size_t to) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(text_.data());
    int64_t n = position;
    size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time, the same count as the loop below: lead and ASCII bytes
        // (not 10xxxxxx) plus the 4-byte leads, less every LF right after a CR.
        uint64_t crBefore = i > 0 && p[i - 1] == '\r' ? 0x80 : 0;
        for (; i + 8 <= to; i += 8) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            const uint64_t trail = w & ~(w << 1) & kHigh;
            const uint64_t lead4 = w & (w << 1) & (w << 2) & (w << 3) & kHigh;
            const uint64_t cr = BytesEqual(w, '\r');
            const uint64_t crlf = BytesEqual(w, '\n') & ((cr << 8) | crBefore);
            n += 8 - std::popcount(trail) + std::popcount(lead4) - std::popcount(crlf);
            crBefore = cr >> 56;
        }
    }
    unsigned char prev = i > 0 ? p[i - 1] : 0;
    for (; i < to; ++i) {
        const unsigned char c = p[i];
        // A LF right after a CR closes the same line break: no position of its own.
        n += ViewerUnits(c) - ((c == '\n') & (prev == '\r'));
        prev = c;
    }
    return static_cast<int>(n);
}

size_t ComparisonText::Find(std::string_view key, size_t from) const
{
    if (key.empty() || from >= folded_.size() || key.size() > folded_.size() - from) return npos;
    const std::string needle = FoldAsciiLower(key);
    const void* hit = ::memmem(folded_.data() + from, folded_.size() - from, needle.data(), needle.size());
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - folded_.data()) : npos;
}

int ComparisonText::DocumentPosition(size_t offset) const
{
    offset = std::min(offset, text_.size());
    const size_t k = offset / kStride;
    return Walk(k * kStride, marks_[k], offset);
}

size_t ComparisonText::TextOffset(int position) const
{
    if (position <= 0) return 0;
    const auto it = std::upper_bound(marks_.begin(), marks_.end(), position);
    const size_t k = static_cast<size_t>(it - marks_.begin()) - 1;
    size_t i = k * kStride;
    int64_t at = marks_[k];
    for (; i < text_.size(); ++i) {
        const unsigned char c = Byte(text_, i);
        const int units = ViewerUnits(c) - (c == '\n' && i > 0 && Byte(text_, i - 1) == '\r');
        if (units > 0 && (at == position || at + units > position)) break;
        at += units;
    }
    return i;
}

DocRange ComparisonText::ToDocument(TextRange range) const
{
    const int start = DocumentPosition(range.start);
    return {start, DocumentPosition(range.start + range.length) - start};
}

std::vector<DocRange> ComparisonText::ToDocumentRanges(std::span<const TextRange> ranges) const
{
    std::vector<DocRange> out;
    out.reserve(ranges.size());
    size_t at = 0;
    int position = 0;
    auto advance = [&](size_t to) {
        to = std::min(to, text_.size());
        const size_t k = to / kStride;
        // Start over from the nearest checkpoint when it lies ahead of the cursor or when
        // the ranges go backwards.
        if (to < at || k * kStride > at) {
            at = k * kStride;
            position = marks_[k];
        }
        position = Walk(at, position, to);
        at = to;
        return position;
    };
    for (const TextRange& r : ranges) {
        const int start = advance(r.start);
        out.push_back({start, advance(r.start + r.length) - start});
    }
    return out;
}

std::string NormalizeLineBreaks(std::string_view text, bool terminateLast)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    size_t i = 0;
    while (i < text.size()) {
        const size_t stop = text.find_first_of("\r\n", i);
        if (stop == std::string_view::npos) {
            out.append(text.substr(i));
            if (terminateLast) out += "\r\n";
            break;
        }
        out.append(text.substr(i, stop - i));
        out += "\r\n";
        i = stop + ((text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1);
    }
    return out;
}

std::string FitToViewerLength(std::string text, int64_t maxLength)
{
    // 0 or less: no limit of the viewer's own, as with a control whose maximum is unset.
    if (maxLength <= 0 || static_cast<int64_t>(text.size()) <= maxLength) return text;
    int64_t count = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const int units = ViewerUnits(Byte(text, i));
        if (units > 0 && count + units > maxLength) break;
        count += units;
    }
    if (i < text.size() && text[i] == '\n' && i > 0 && text[i - 1] == '\r') --i;
    text.resize(i);
    return text;
}

std::string ClipboardComparisonText(std::string_view utf8, int64_t maxLength)
{
    return FitToViewerLength(NormalizeLineBreaks(utf8.substr(0, utf8.find('\0')), false), maxLength);
}

std::string DecodeComparisonBytes(std::string_view bytes)
{
    std::string text;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        std::string units(bytes.substr(2));
        if (bytes[0] == '\xFE') {
            for (size_t i = 0; i + 1 < units.size(); i += 2) std::swap(units[i], units[i + 1]);
        }
        text = Utf16LeToUtf8(units);
        text.resize(std::min(text.size(), text.find('\0')));
    } else {
        text = DecodeOutsideText(bytes.substr(0, bytes.find('\0')));
    }
    return NormalizeLineBreaks(text, true);
}

std::vector<TextRange> MergeRanges(std::vector<TextRange> ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const TextRange& a, const TextRange& b) { return a.start < b.start; });
    std::vector<TextRange> out;
    out.reserve(ranges.size());
    for (const TextRange& r : ranges) {
        if (r.length == 0) continue;
        if (!out.empty() && r.start <= out.back().start + out.back().length) {
            TextRange& last = out.back();
            last.length = std::max(last.start + last.length, r.start + r.length) - last.start;
        } else {
            out.push_back(r);
        }
    }
    return out;
}

}  // namespace qv
