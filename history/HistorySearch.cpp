#include "history/HistorySearch.h"

#include "history/HashHistory.h"
#include "platform/Text.h"

namespace qv {

HistorySearchResult SearchHistoryByCode(const HashHistory& history, std::string_view selected)
{
    const std::string code = AsciiUpper(selected);
    const bool crc = code.size() == kCrcTextLength;
    if (crc || code.size() == kMd5TextLength) {
        for (int32_t i = 0; i < history.Count(); ++i) {
            const HistoryRecord& r = history.RecordAt(i);
            // Records imported from text forms may hold lower-case codes.
            if (EqualsAsciiFolded(crc ? r.Crc : r.Md5, code))
                return {i, (crc ? "見つかりました CRC:" : "見つかりました MD5:") + code};
        }
    }
    return {-1, "履歴の中に該当ハッシュコードのものは有りません"};
}

}  // namespace qv
