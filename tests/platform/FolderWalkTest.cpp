#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace qv {
namespace {

constexpr uint32_t kFoldersDefault = 49;   // hidden and system folders left out
constexpr uint32_t kFilesDefault = 33;     // hidden and system files left out

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '/')); }

// A tree with an entry of every kind the walk tells apart, links and a link loop included.
class FolderWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.txt", ".dot.txt", "sub/b.txt", "sub/deeper/c.txt", ".hidden/x.txt",
                                 ".hidden/inner/y.txt", "ro/z.txt"})
            dir_.WriteFile(name, "x");
        ASSERT_EQ(chmod(dir_.Path("ro").c_str(), 0555), 0);
        ASSERT_EQ(symlink(dir_.path().c_str(), dir_.Path("sub/loop").c_str()), 0);
        ASSERT_EQ(symlink(dir_.Path("a.txt").c_str(), dir_.Path("link.txt").c_str()), 0);
        ASSERT_EQ(mkfifo(dir_.Path("fifo").c_str(), 0644), 0);
    }

    // Visited paths relative to the tree, in visiting order.
    std::vector<std::string> Walk(const std::string& start, uint32_t folderMask, uint32_t fileMask,
                                  int stopAfterSteps = -1)
    {
        std::vector<std::string> visited;
        steps_ = 0;
        const bool completed = WalkFolderTree(
            start, folderMask, fileMask,
            [&](const std::string& path, const FoundEntry& entry) {
                EXPECT_EQ(NameOf(path), entry.name);
                visited.push_back(path.substr(dir_.path().size() + 1));
            },
            [&] { return ++steps_ != stopAfterSteps; });
        EXPECT_EQ(completed, stopAfterSteps < 0);
        return visited;
    }

    TempDir dir_;
    int steps_ = 0;
};

TEST_F(FolderWalkTest, MasksDecideWhatIsWalkedAndBreadthComesFirst)
{
    using Set = std::set<std::string>;
    const struct {
        uint32_t folderMask, fileMask;
        Set files;
        int steps;   // folders taken from the queue
    } cases[] = {
        {kFoldersDefault, kFilesDefault, {"a.txt", "link.txt", "sub/b.txt", "sub/deeper/c.txt", "ro/z.txt"}, 4},
        // A hidden folder and everything below it stay out while hidden folders are restricted.
        {kFoldersDefault, kFilesDefault | kAttrHidden,
         {"a.txt", ".dot.txt", "link.txt", "sub/b.txt", "sub/deeper/c.txt", "ro/z.txt"}, 4},
        {kFoldersDefault | kAttrHidden, kFilesDefault,
         {"a.txt", "link.txt", "sub/b.txt", "sub/deeper/c.txt", "ro/z.txt", ".hidden/x.txt", ".hidden/inner/y.txt"}, 6},
        {kFoldersDefault & ~kAttrReadOnly, kFilesDefault | kAttrSystem,
         {"a.txt", "link.txt", "fifo", "sub/b.txt", "sub/deeper/c.txt"}, 3},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> visited = Walk(dir_.path(), c.folderMask, c.fileMask);
        EXPECT_EQ(Set(visited.begin(), visited.end()), c.files) << c.folderMask << "/" << c.fileMask;
        EXPECT_EQ(visited.size(), c.files.size()) << "the loop link must not be followed";
        EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end(),
                                   [](const std::string& a, const std::string& b) { return Depth(a) < Depth(b); }));
        EXPECT_EQ(steps_, c.steps);
    }
}

TEST_F(FolderWalkTest, StartFolderIsCheckedAndTheStepCanStop)
{
    // A restricted start folder is looked up like any other and not walked.
    EXPECT_TRUE(Walk(dir_.Path(".hidden"), kFoldersDefault, kFilesDefault).empty());
    EXPECT_EQ(steps_, 1);
    const std::vector<std::string> first = Walk(dir_.path() + "/", kFoldersDefault, kFilesDefault, 1);
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()), (std::set<std::string>{"a.txt", "link.txt"}));
}

TEST(FolderWalk, RootIsWalkedWithoutAStep)
{
    std::vector<std::string> visited;
    int steps = 0;
    EXPECT_FALSE(WalkFolderTree(
        "/", kFoldersDefault, kAttrAny,
        [&](const std::string& path, const FoundEntry&) { visited.push_back(path); },
        [&] { return ++steps < 1; }));
    EXPECT_EQ(steps, 1);   // the root itself ran none: the first step follows its first subfolder
    for (const std::string& path : visited) {
        EXPECT_EQ(path.rfind("//", 0), std::string::npos) << path;
        EXPECT_LE(Depth(path), 2u) << path;
    }
}

}  // namespace
}  // namespace qv
