#include "listout/JobHashing.h"

#include "history/HashHistory.h"
#include "job/FileJob.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(JobHashing, ListsFilesHashedByTheJob)
{
    TempDir dir;
    HashHistory history;
    FileJob job(history, JobSeams{}, EngineSettings{});
    bool interrupt = false;
    CodeSource codes{history, HashThroughJob(job, [&] { return interrupt; })};
    const std::string abc = dir.WriteFile("abc.txt", "abc");
    const std::string target = dir.Path("out.sfv");

    interrupt = true;
    EXPECT_EQ(MakeSfvList({abc}, target, codes, 0.0).outcome, ListOutcome::Cancelled);
    EXPECT_EQ(history.Count(), 0);
    interrupt = false;
    const ListResult result = MakeSelectionList({abc}, {DefaultListFormats()[4], {}}, dir.Path("out.md5"), codes);
    EXPECT_EQ(result.outcome, ListOutcome::Written);
    EXPECT_EQ(TempDir::ReadFile(dir.Path("out.md5")), "MD5 (abc.txt) = 900150983cd24fb0d6963f7d28e17f72\r\n");
    // A file that cannot be read leaves the list unwritten.
    EXPECT_EQ(MakeSfvList({dir.Path("gone.txt")}, target, codes, 0.0).status, "Error Hash未計算ファイルを抽出gone.txt");
}

}  // namespace
}  // namespace qv
