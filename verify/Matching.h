#pragma once
// The matching pass: the current result's codes and file name looked up in the comparison
// text. Text and codes in; found flags, marks, status line and sound out. The window applies
// the outcome to the viewer, the two code fields and the status bar.

#include <optional>
#include <string>
#include <vector>

#include "verify/ComparisonText.h"
#include "verify/Sounds.h"

namespace qv {

// The status after a batch when the viewer holds nothing to compare the codes with.
inline constexpr const char* kStatusNothingToCompare = "検査対象ファイルを読込ませて下さい";

// The three highlight switches of the clip-viewer menu.
struct MatchOptions {
    bool closeupCrc = true;
    bool closeupMd5 = true;
    bool closeupFileName = true;
};

// The result panel as the pass reads it.
struct MatchInput {
    std::string crc;             // XCRC_32 text, either letter case
    std::string md5;             // XMD5 text
    std::string fileName;        // XFileName: name part only
    bool cancelled = false;      // cancel flag of the last batch set
    bool duplicateShown = false; // DubbleDetect visible
};

struct MatchOutcome {
    // False: no result or no comparison text; only the status line changes (and the caret
    // goes to the top): no colours, no marks, no sound.
    bool ran = false;
    bool crcFound = false;       // XCRC_32 in the pickup colour, else the normal colour
    bool md5Found = false;
    // After a cancelled batch: hide the duplicate mark, reset the caption, empty the two code
    // fields and hide the result panel.
    bool clearResult = false;
    std::vector<TextRange> textMarks;   // sorted, merged where they touch or overlap
    std::vector<DocRange> marks;        // the same in document positions
    std::string status;
    std::optional<Notification> sound;
};

MatchOutcome MatchComparisonText(const ComparisonText& text, const MatchInput& input,
                                 const MatchOptions& options);

// The status line alone, as a terminal compare prints it.
std::string MatchStatus(const ComparisonText& text, const std::string& crc, const std::string& md5);

}  // namespace qv
