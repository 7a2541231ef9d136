#include "platform/FolderWalk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "support/TempDir.h"

namespace qv {
namespace {

using Set = std::set<std::string>;
size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '/')); }

// Visited paths less the prefix, in visiting order; steps counts the folder steps.
std::vector<std::string> Walk(const std::string& start, uint32_t folderMask, uint32_t fileMask, size_t prefix,
                              int& steps, int stopAt = -1)
{
    std::vector<std::string> visited;
    steps = 0;
    const bool completed = WalkFolderTree(
        start, folderMask, fileMask,
        [&](const std::string& path, const FoundEntry&) { visited.push_back(path.substr(prefix)); },
        [&] { return ++steps != stopAt; });
    EXPECT_EQ(completed, stopAt < 0);
    return visited;
}

TEST(FolderWalk, MasksLinksRootAndBreadthFirstOrder)
{
    TempDir dir;
    for (const char* name : {"a.txt", ".dot.txt", "sub/b.txt", "sub/deeper/c.txt", ".hidden/x.txt",
                             ".hidden/inner/y.txt", "ro/z.txt"})
        dir.WriteFile(name, "x");
    ASSERT_EQ(chmod(dir.Path("ro").c_str(), 0555), 0);
    ASSERT_EQ(symlink(dir.path().c_str(), dir.Path("sub/loop").c_str()), 0);   // a loop, not followed
    ASSERT_EQ(symlink(dir.Path("a.txt").c_str(), dir.Path("link.txt").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0644), 0);
    const Set common{"a.txt", "link.txt", "sub/b.txt", "sub/deeper/c.txt"};
    const auto with = [&](Set more) { more.insert(common.begin(), common.end()); return more; };
    const struct {
        uint32_t folderMask, fileMask;
        Set files;
        int steps;
    } cases[] = {
        {49, 33, with({"ro/z.txt"}), 4},   // hidden and system restricted
        {49, 35, with({"ro/z.txt", ".dot.txt"}), 4},
        {51, 33, with({"ro/z.txt", ".hidden/x.txt", ".hidden/inner/y.txt"}), 6},
        {48, 37, with({"fifo"}), 3},   // read-only folders restricted, system files allowed
    };
    int steps = 0;
    for (const auto& c : cases) {
        const auto visited = Walk(dir.path(), c.folderMask, c.fileMask, dir.path().size() + 1, steps);
        EXPECT_EQ(Set(visited.begin(), visited.end()), c.files) << c.folderMask << "/" << c.fileMask;
        EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end(),
                                   [](const auto& a, const auto& b) { return Depth(a) < Depth(b); }));
        EXPECT_EQ(steps, c.steps);
    }
    // The start folder is looked up like any other: a restricted one is not walked.
    EXPECT_TRUE(Walk(dir.Path(".hidden"), 49, 33, 0, steps).empty());
    const auto first = Walk(dir.path() + "/", 49, 33, dir.path().size() + 1, steps, 1);
    EXPECT_EQ(Set(first.begin(), first.end()), (Set{"a.txt", "link.txt"}));
    // The root is walked without look-up or step: the first step follows its first subfolder.
    for (const std::string& path : Walk("/", 49, kAttrAny, 0, steps, 1)) {
        EXPECT_NE(path.rfind("//", 0), 0u) << path;
        EXPECT_LE(Depth(path), 2u) << path;
    }
}

}  // namespace
}  // namespace qv
