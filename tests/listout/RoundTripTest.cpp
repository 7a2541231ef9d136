// Every list the program writes, loaded back as comparison text, gives every listed file a
// match in the matching pass, and no match to a file it does not list.
#include "listout/ListCommands.h"

#include "history/HashHistory.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "verify/ComparisonFile.h"
#include "verify/Matching.h"

#include "listout/ListTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Paths = std::vector<std::string>;

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = dir_.MakeFolder("tree");
        for (const auto& [name, bytes] : {std::pair{"abc.txt", "abc"}, {"with space.bin", ""},
                                          {"日本語 名前.dat", "\x82\xa0 bytes"}, {"sub/deep.TXT", "deep"}})
            files_.push_back(dir_.WriteFile(std::string("tree/") + name, bytes));
        outsider_ = dir_.WriteFile("outsider.txt", "not listed");
        HashWithJob({outsider_});
    }

    // The codes come from the program's own per-file job.
    bool HashWithJob(const Paths& paths)
    {
        for (const std::string& path : paths) EXPECT_GE(job_.HashFile(path, false), 0) << path;
        return true;
    }

    // Loads the list and runs the matching pass for each listed file and the outsider.
    void ExpectFoundAgain(const std::string& list, const Paths& listed, bool byMd5)
    {
        const ListText loaded = LoadComparisonFile(list, kListByteLimit, 5000000);
        ASSERT_EQ(loaded.result, ReadStatus::Ok) << list;
        const ComparisonText text(loaded.text);
        Paths all = listed;
        all.push_back(outsider_);
        for (const std::string& path : all) {
            int32_t i = -1;
            ASSERT_TRUE(history_.Find(path, i));
            const HistoryRecord& r = history_.RecordAt(i);
            const MatchOutcome m = MatchComparisonText(text, {r.Crc, r.Md5, NameOf(path)}, MatchOptions{});
            const bool expected = path != outsider_;
            EXPECT_EQ(byMd5 ? m.md5Found : m.crcFound, expected) << list << ": " << path;
        }
    }

    TempDir dir_;
    HashHistory history_;
    std::string folder_, outsider_;
    Paths files_;
    FileJob job_{history_, JobSeams{}, EngineSettingsFrom(Settings{})};
    CodeSource codes_{history_, [this](const Paths& paths) { return HashWithJob(paths); }};
};

TEST_F(RoundTripTest, EveryDefaultFormatAndSfvListIsFoundAgain)
{
    const Paths selection(files_.begin(), files_.end() - 1);   // the folder's own files
    for (size_t n = 0; n < kListFormatCount; ++n) {
        const std::string list = dir_.Path("selection" + std::to_string(n + 1) + ".MD5");
        ASSERT_EQ(MakeSelectionList(selection, test::DefaultStyle(n), list, codes_).outcome, ListOutcome::Written);
        ExpectFoundAgain(list, selection, true);

        TreeListRequest tree{folder_, dir_.Path("tree" + std::to_string(n + 1) + ".MD5"), 63, 63, test::DefaultStyle(n)};
        ASSERT_EQ(MakeTreeList(tree, codes_).outcome, ListOutcome::Written);
        ExpectFoundAgain(tree.target, files_, true);
    }
    const std::string sfv = dir_.Path("tree.sfv");
    ASSERT_EQ(MakeSfvList(files_, sfv, codes_, test::At(2024, 1, 31)).outcome, ListOutcome::Written);
    ExpectFoundAgain(sfv, files_, false);
}

}  // namespace
}  // namespace qv
