// Every list the program writes, loaded back as comparison text, gives every listed file a
// match in the matching pass, and no match to a file it does not list.
#include <gtest/gtest.h>

#include "history/HashHistory.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "listout/ListCommands.h"
#include "listout/ListTestSupport.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "support/TempDir.h"
#include "verify/ComparisonFile.h"
#include "verify/Matching.h"

namespace qv::test {
namespace {

using Paths = std::vector<std::string>;

TEST(ListRoundTrip, EveryDefaultFormatAndSfvListIsFoundAgain)
{
    TempDir dir;
    HashHistory history;
    FileJob job{history, JobSeams{}, EngineSettingsFrom(Settings{})};
    // The codes come from the program's own per-file job.
    CodeSource codes{history, [&](const Paths& paths) {
                         for (const std::string& path : paths) EXPECT_GE(job.HashFile(path, false), 0) << path;
                         return true;
                     }};
    const std::string folder = dir.MakeFolder("tree"), outsider = dir.WriteFile("outsider.txt", "not listed");
    job.HashFile(outsider, false);
    Paths files;
    for (const auto& [name, bytes] : {std::pair{"abc.txt", "abc"}, {"with space.bin", ""},
                                      {"日本語 名前.dat", "\x82\xa0 bytes"}, {"sub/deep.TXT", "deep"}})
        files.push_back(dir.WriteFile(std::string("tree/") + name, bytes));
    // Loads the list and runs the matching pass for each listed file and the outsider.
    const auto expectFoundAgain = [&](const std::string& list, Paths listed, bool byMd5) {
        const ListText loaded = LoadComparisonFile(list, kListByteLimit, 5000000);
        ASSERT_EQ(loaded.result, ReadStatus::Ok) << list;
        const ComparisonText text(loaded.text);
        listed.push_back(outsider);
        for (const std::string& path : listed) {
            int32_t i = -1;
            ASSERT_TRUE(history.Find(path, i));
            const HistoryRecord& r = history.RecordAt(i);
            const MatchOutcome m = MatchComparisonText(text, {r.Crc, r.Md5, NameOf(path)}, MatchOptions{});
            EXPECT_EQ(byMd5 ? m.md5Found : m.crcFound, path != outsider) << list << ": " << path;
        }
    };
    const Paths selection(files.begin(), files.end() - 1);   // the folder's own files
    for (size_t n = 0; n < kListFormatCount; ++n) {
        const std::string list = dir.Path("selection" + std::to_string(n + 1) + ".MD5");
        ASSERT_EQ(MakeSelectionList(selection, DefaultStyle(n), list, codes).outcome, ListOutcome::Written);
        expectFoundAgain(list, selection, true);
        TreeListRequest tree{folder, dir.Path("tree" + std::to_string(n + 1) + ".MD5"), 63, 63, DefaultStyle(n)};
        ASSERT_EQ(MakeTreeList(tree, codes).outcome, ListOutcome::Written);
        expectFoundAgain(tree.target, files, true);
    }
    const std::string sfv = dir.Path("tree.sfv");
    ASSERT_EQ(MakeSfvList(files, sfv, codes, At(2024, 1, 31)).outcome, ListOutcome::Written);
    expectFoundAgain(sfv, files, false);
}

}  // namespace
}  // namespace qv::test
