// The duplicate rows of a history record.
#include <gtest/gtest.h>

#include "history/Duplicates.h"
#include "history/HashHistory.h"

namespace qv {
namespace {

TEST(FindDuplicatesTest, VanishedDuplicatesAreRemovedAndTheIndexFollowsItsRecord)
{
    HashHistory h;
    HistoryRecord same{10, 1.0, 2.0, "D41D8CD98F00B204E9800998ECF8427E", "00000000"};
    HistoryRecord otherSize = same;
    otherSize.Size = 11;
    h.Insert("/a/gone1", same);
    h.Insert("/b/shown", same);
    h.Insert("/c/bigger", otherSize);
    h.Insert("/d/gone2", same);
    h.Insert("/e/kept", same);
    int32_t index = -1;
    ASSERT_TRUE(h.Find("/b/shown", index));
    const auto exists = [](const std::string& p) { return p.find("gone") == std::string::npos; };
    const std::vector<std::string> rows = FindDuplicates(h, index, exists);

    EXPECT_EQ(rows, (std::vector<std::string>{"/e/kept", "/b/shown"}));
    EXPECT_EQ(h.Count(), 3);
    ASSERT_GE(index, 0);
    EXPECT_EQ(h.PathAt(index), "/b/shown");
}

}  // namespace
}  // namespace qv
