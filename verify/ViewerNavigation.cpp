#include "verify/ViewerNavigation.h"

#include <algorithm>

namespace qv {
namespace {

bool IsCodeLength(size_t n) { return n == 8 || n == 32; }

}  // namespace

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsCodeText(std::string_view text)
{
    return IsCodeLength(text.size()) && std::all_of(text.begin(), text.end(), IsHexDigit);
}

// Bytes of multi-byte characters are never hex digits, so scanning the UTF-8 bytes finds the
// same runs as scanning characters; a double-byte character never joins a code.
CodeSelection SelectNextCode(std::string_view text, size_t selStart, size_t selLength)
{
    const size_t q = std::min(selStart + selLength, text.size());
    // Starting one before the selection's end puts the scan inside the current code, so that
    // code is passed over.
    size_t r = q > 0 ? q - 1 : 0;
    for (size_t i = r; i < text.size(); ++i) {
        if (IsHexDigit(text[i])) continue;
        if (IsCodeLength(i - r)) return {true, {r, i - r}};
        r = i + 1;
    }
    return {};
}

CodeSelection SelectPreviousCode(std::string_view text, size_t selStart)
{
    size_t e = std::min(selStart, text.size());
    // Position -1, before the text, counts as a non-hex character.
    for (ptrdiff_t i = static_cast<ptrdiff_t>(e) - 1; i >= -1; --i) {
        if (i >= 0 && IsHexDigit(text[static_cast<size_t>(i)])) continue;
        const size_t runStart = static_cast<size_t>(i + 1);
        if (IsCodeLength(e - runStart)) return {true, {runStart, e - runStart}};
        if (i < 0) break;
        e = static_cast<size_t>(i);
    }
    return {};
}

FindResult FindInViewer(const ComparisonText& text, std::string_view key, size_t selStart)
{
    FindResult r;
    if (text.Find(key) == ComparisonText::npos) {
        r.status = "見つかりませんでした 検索キー:" + std::string(key);
        return r;
    }
    size_t p = text.Find(key, selStart);
    if (p == selStart) p = text.Find(key, selStart + key.size());
    if (p == ComparisonText::npos) {
        r.scrollToTop = true;
        p = text.Find(key);
    }
    r.found = true;
    r.range = {p, key.size()};
    r.status = "見つかりました 検索キー:" + std::string(key);
    return r;
}

SelectionRules ClipViewerSelectionChange(std::string_view selectedText)
{
    return {!selectedText.empty(), IsCodeText(selectedText)};
}

}  // namespace qv
