#include <gtest/gtest.h>

#include "verify/ViewerNavigation.h"

namespace qv {
namespace {

const std::string kMd5 = "0123456789abcdef0123456789ABCDEF";
// Name, CRC and MD5 per line; a 9- and a 16-digit run and full-width text in between.
const std::string kList = "file1.bin 1A2B3C4D " + kMd5 + "\r\n" +   // CRC at 10, MD5 at 19
                          "123456789 0123456789ABCDEF 全角\r\n" +
                          "file2.bin CAFEBABE x\r\n" +                // CRC at 98
                          "DEADBEEF";                                 // 110, runs into the end

TEST(ViewerNavigation, TabAndShiftTab)
{
    struct Row { size_t start, length; TextRange next, previous; };
    const Row rows[] = {
        {0, 0, {10, 8}, {}},
        {10, 8, {19, 32}, {}},
        {19, 32, {98, 8}, {10, 8}},          // the 9- and 16-digit runs are skipped
        {98, 8, {}, {19, 32}},               // the last code has nothing after it
        {kList.size(), 0, {}, {110, 8}},     // but is reached backwards
        {9, 0, {10, 8}, {}},
    };
    for (const Row& r : rows) {
        const CodeSelection next = SelectNextCode(kList, r.start, r.length);
        const CodeSelection previous = SelectPreviousCode(kList, r.start);
        EXPECT_EQ(std::tie(next.found, next.range), std::tuple(r.next.length > 0, r.next)) << r.start;
        EXPECT_EQ(std::tie(previous.found, previous.range), std::tuple(r.previous.length > 0, r.previous)) << r.start;
    }
    EXPECT_EQ(SelectNextCode("1A2B3C4D ", 0, 0).range, (TextRange{0, 8}));
    EXPECT_EQ(SelectPreviousCode("1A2B3C4D x", 9).range, (TextRange{0, 8}));   // code at the very start
    EXPECT_FALSE(SelectNextCode("", 0, 0).found || SelectPreviousCode("", 0).found);
}

TEST(ViewerNavigation, FindWrapsAround)
{
    const ComparisonText text("md5 " + kMd5 + "\r\nagain " + kMd5);
    FindResult f;
    const TextRange walk[] = {{4, 32}, {44, 32}, {4, 32}};   // the third jumps back to the top
    for (size_t i = 0, selection = 0; i < 3; ++i, selection = f.range.start) {
        f = FindInViewer(text, kMd5, selection);
        EXPECT_EQ(std::tie(f.range, f.scrollToTop), std::tuple(walk[i], i == 2)) << i;
    }
    EXPECT_EQ(f.status, "見つかりました 検索キー:" + kMd5);
    EXPECT_EQ(FindInViewer(text, "MD5", 0).range, (TextRange{0, 3}));   // letter case ignored
    for (const char* key : {"", "FFFFFFFF"}) {
        f = FindInViewer(text, key, 0);
        EXPECT_EQ(std::tie(f.found, f.status), std::tuple(false, std::string("見つかりませんでした 検索キー:") + key));
    }
}

TEST(ViewerNavigation, PopupEnablingRules)
{
    struct Row { std::string selected; bool copy, logSearch; };
    const Row rows[] = {
        {"", false, false},        {"1a2b3c4d", true, true},   {"1a2b3g4d", true, false}, {kMd5, true, true},
        {"1a2b3c4d ", true, false}, {"123456789", true, false}, {"１２３４５６７８", true, false},
    };
    for (const Row& r : rows) {
        const auto popup = ClipViewerSelectionChange(r.selected);
        EXPECT_EQ(std::pair(popup.copyEnabled, popup.logSearchEnabled), std::pair(r.copy, r.logSearch)) << r.selected;
    }
}

}  // namespace
}  // namespace qv
