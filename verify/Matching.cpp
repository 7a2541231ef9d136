#include "verify/Matching.h"

#include <algorithm>

namespace qv {
namespace {

// Every occurrence from the start, each search going on behind the last mark, so marks never
// overlap; without marking, the first search decides.
bool SearchPass(const ComparisonText& text, const std::string& key, bool mark, std::vector<TextRange>& marks)
{
    bool found = false;
    size_t start = 0;
    for (;;) {
        const size_t at = text.Find(key, start);
        if (at == ComparisonText::npos) break;
        found = true;
        if (!mark) break;
        marks.push_back({at, key.size()});
        start = at + key.size();
    }
    return found;
}

const char* FoundStatus(bool crc, bool md5)
{
    if (crc && md5) return "ＣＲＣとＭＤ５が一致しました";
    if (md5) return "ＭＤ５が一致しました";
    if (crc) return "ＣＲＣが一致しました";
    return "クリップボードに一致したコードは有りません";
}

}  // namespace

MatchOutcome MatchComparisonText(const ComparisonText& text, const MatchInput& input, const MatchOptions& options)
{
    MatchOutcome out;
    if (input.crc.empty() || input.md5.empty() || text.Empty()) {
        out.status = kStatusNothingToCompare;
        return out;
    }
    out.ran = true;
    std::vector<TextRange> marks;
    out.crcFound = SearchPass(text, input.crc, options.closeupCrc, marks);
    out.md5Found = SearchPass(text, input.md5, options.closeupMd5, marks);
    // The name is marked only; it never counts as a match.
    if (!input.fileName.empty()) SearchPass(text, input.fileName, options.closeupFileName, marks);
    out.textMarks = MergeRanges(std::move(marks));
    out.marks = text.ToDocumentRanges(out.textMarks);

    bool duplicateShown = input.duplicateShown;
    if (input.cancelled) {
        out.status = "ハッシュ計算は中止されました";
        out.clearResult = true;
        duplicateShown = false;
    } else {
        out.status = FoundStatus(out.crcFound, out.md5Found);
    }
    out.sound = OutcomeNotification(out.crcFound || out.md5Found, duplicateShown);
    return out;
}

std::string MatchStatus(const ComparisonText& text, const std::string& crc, const std::string& md5)
{
    return MatchComparisonText(text, {crc, md5, {}, false, false}, {false, false, false}).status;
}

}  // namespace qv
