#include <gtest/gtest.h>

#include "history/HashHistory.h"
#include "history/HistorySearch.h"

namespace qv {
namespace {

TEST(HistorySearch, FindsTheFirstRecordCarryingTheSelectedCode)
{
    HashHistory h;
    const std::string md5 = "00112233445566778899AABBCCDDEEFF";
    h.Insert("/b/second", {1, 0, 0, md5, "1A2B3C4D"});
    h.Insert("/a/first", {1, 0, 0, std::string(32, 'E'), "1A2B3C4D"});
    h.Insert("/c/imported", {1, 0, 0, "ffffffffffffffffffffffffffffffff", "cafebabe"});
    const std::string notFound = "履歴の中に該当ハッシュコードのものは有りません";
    struct Row { std::string selected; int32_t index; std::string status; };
    const Row rows[] = {
        {"1a2b3c4d", 0, "見つかりました CRC:1A2B3C4D"},   // two records: the path sorting first
        {"00112233445566778899aabbccddeeff", 1, "見つかりました MD5:" + md5},
        {"CAFEBABE", 2, "見つかりました CRC:CAFEBABE"},
        {"1a2b3c4d ", -1, notFound},
        {"", -1, notFound},
        {"1A2B3C4", -1, notFound},
        {std::string(32, 'F').substr(0, 8), -1, notFound},   // the MD5's digits are not a CRC
    };
    for (const Row& r : rows) {
        const HistorySearchResult result = SearchHistoryByCode(h, r.selected);
        EXPECT_EQ(std::tie(result.index, result.status), std::tie(r.index, r.status)) << r.selected;
    }
}

}  // namespace
}  // namespace qv
