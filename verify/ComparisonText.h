#pragma once
// The comparison text of the clip viewer and the two ways of counting places in it.
//
// Text offsets are byte offsets into the UTF-8 text, whose line breaks are CR LF; since every
// code and hex digit is ASCII, they step exactly like the viewer's characters for the matching
// and code navigation. Document positions are what a QTextDocument holding the same text
// counts: UTF-16 code units, each line break (CR LF, CR, LF, U+2029) one position. The window
// converts at its boundary with DocumentPosition / TextOffset / ToDocumentRanges.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct TextRange {
    size_t start = 0;    // byte offset
    size_t length = 0;   // bytes
    bool operator==(const TextRange&) const = default;
};

// Marks painted in one colour: sorted, empty ones dropped, those that touch or overlap joined.
std::vector<TextRange> MergeRanges(std::vector<TextRange> ranges);

struct DocRange {
    int start = 0;       // document position
    int length = 0;      // document positions
    bool operator==(const DocRange&) const = default;
};

class ComparisonText {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    ComparisonText() = default;
    // Invalid UTF-8 is replaced by U+FFFD first, so both position counts stay exact.
    explicit ComparisonText(std::string utf8);

    const std::string& Text() const { return text_; }
    bool Empty() const { return text_.empty(); }
    size_t Size() const { return text_.size(); }

    // The viewer's find: ASCII letters without regard to case, plain substring, forward from
    // `from`. npos when absent or when key is empty.
    size_t Find(std::string_view key, size_t from = 0) const;

    int DocumentLength() const { return DocumentPosition(text_.size()); }
    // Positions before the byte at offset (clamped to the text).
    int DocumentPosition(size_t offset) const;
    // The start of the character at a document position (the position after a line break
    // maps behind its LF; the middle of a surrogate pair to the pair's start).
    size_t TextOffset(int position) const;
    DocRange ToDocument(TextRange range) const;
    // One forward sweep when the ranges are sorted by start; any order is accepted.
    std::vector<DocRange> ToDocumentRanges(std::span<const TextRange> ranges) const;

private:
    // Document positions at every kStride-th byte, so a conversion walks at most kStride bytes.
    static constexpr size_t kStride = 4096;
    int Walk(size_t from, int position, size_t to) const;

    std::string text_;
    std::string folded_;          // text_ with ASCII letters in lower case
    std::vector<int32_t> marks_;  // marks_[k]: DocumentPosition(k * kStride)
};

// Lines split at CR LF, LF or CR and joined again with CR LF; with terminateLast the last line
// gets a break too (a loaded file), otherwise the text keeps its own ending (the clipboard).
std::string NormalizeLineBreaks(std::string_view text, bool terminateLast);

// What the viewer keeps of a text: at most maxLength characters counted as the viewer's
// length counts them (UTF-16 units, CR LF as two), never cutting a character or a CR LF.
std::string FitToViewerLength(std::string text, int64_t maxLength);

// Clipboard text as the viewer takes it: up to its first NUL, line breaks as CR LF, cut to the
// viewer's length.
std::string ClipboardComparisonText(std::string_view utf8, int64_t maxLength);

// Bytes of a comparison file as text: UTF-16LE/BE after their byte-order mark; otherwise up to
// the first zero byte, valid UTF-8 as UTF-8 (a UTF-8 mark dropped), anything else as CP932.
// Line breaks become CR LF, each line terminated. A NUL character in UTF-16 text ends it too.
std::string DecodeComparisonBytes(std::string_view bytes);

}  // namespace qv
