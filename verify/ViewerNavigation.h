#pragma once
// Code navigation in the clip viewer: Tab / Shift+Tab from code to code, the find commands of
// its popup and the rules that enable its popup items. All places are text offsets
// (ComparisonText); the window converts the viewer's selection at its boundary.

#include <string>
#include <string_view>

#include "verify/ComparisonText.h"

namespace qv {

// A code, for navigation, is a run of exactly 8 or 32 hex digits.
bool IsHexDigit(char c);
bool IsCodeText(std::string_view text);

struct CodeSelection {
    bool found = false;   // false: beep and leave the selection as it is
    TextRange range;
};
// Tab: the next code after the selection. A run that reaches the end of the text has no
// character after it and is never taken.
CodeSelection SelectNextCode(std::string_view text, size_t selStart, size_t selLength);
// Shift+Tab: the nearest code before the selection start; a code at the very start counts.
CodeSelection SelectPreviousCode(std::string_view text, size_t selStart);

struct FindResult {
    bool found = false;
    bool scrollToTop = false;   // the search wrapped around to the first occurrence
    TextRange range;            // found: the new selection
    std::string status;
};
// The popup's find commands with the MD5, the CRC or the file name: the next occurrence after
// the one the selection starts on, wrapping to the first.
FindResult FindInViewer(const ComparisonText& text, std::string_view key, size_t selStart);

struct SelectionRules {
    bool copyEnabled = false;       // CopyArea
    bool logSearchEnabled = false;  // LogSearch
};
SelectionRules ClipViewerSelectionChange(std::string_view selectedText);

}  // namespace qv
