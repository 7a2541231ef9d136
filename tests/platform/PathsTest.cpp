#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <tuple>

#include "support/TempDir.h"

namespace qv {
namespace {

TEST(PathParts, FolderNameExtensionAndJoin)
{
    // The folder, with its slash, the name and the extension.
    const std::pair<const char*, const char*> cases[] = {
        {"/a", "/ / a "}, {"/a/b.txt", "/a /a/ b.txt .txt"}, {"/a/c.tar.gz", "/a /a/ c.tar.gz .gz"},
        {"/a.b/c", "/a.b /a.b/ c "}, {"/a/.bashrc", "/a /a/ .bashrc .bashrc"}, {"/a/name.", "/a /a/ name. ."},
        {"写真.JPG", "  写真.JPG .JPG"}, {"/", "/ /  "}};
    for (const auto& [path, parts] : cases)
        EXPECT_EQ(FolderOf(path) + " " + FolderWithSlash(path) + " " + NameOf(path) + " " + ExtensionOf(path), parts);
    const struct {
        const char *folder, *name, *joined;
    } joins[] = {{"/", "a", "/a"}, {"/x", "a", "/x/a"}, {"/x/", "a", "/x/a"}, {"/x", "/a", "/x/a"}, {"", "a", "a"},
                 {"/x", "a/b", "/x/a/b"}};
    for (const auto& join : joins) EXPECT_EQ(JoinPath(join.folder, join.name), join.joined);
}

TEST(PathParts, UnderAFolderExactlyAndTheRootHoldsAll)
{
    const struct {
        const char *path, *folder;
        bool under, underOrSelf;
    } cases[] = {{"/a/b", "/a", true, true},    {"/a/b/c", "/a", true, true},  {"/a/b", "/a/", true, true},
                 {"/ab", "/a", false, false},   {"/a", "/a", false, true},     {"/b/a", "/a", false, false},
                 {"/A/b", "/a", false, false},  {"/anything", "/", true, true}, {"/", "/", true, true}};
    for (const auto& c : cases)
        EXPECT_EQ(std::make_pair(IsUnderFolder(c.path, c.folder), IsUnderFolder(c.path, c.folder, true)),
                  std::make_pair(c.under, c.underOrSelf)) << c.path << " in " << c.folder;
}

// Keys are equal byte for byte; order folds the ASCII letters and breaks ties by the bytes.
TEST(PathKeys, ExactEqualityFoldedOrder)
{
    EXPECT_TRUE(PathKeysEqual("/a/B", "/a/B"));
    EXPECT_FALSE(PathKeysEqual("/a/B", "/a/b"));
    EXPECT_TRUE(PathsEqualIgnoringCase("/a/B", "/A/b"));
    EXPECT_FALSE(PathsEqualIgnoringCase("/a/B", "/a/Bc"));
    EXPECT_FALSE(PathsEqualIgnoringCase("/ａ", "/Ａ"));   // full-width letters are not folded
    EXPECT_EQ(std::make_tuple(ComparePathKeys("B", "b"), ComparePathKeys("b", "B"), ComparePathKeys("same", "same")),
              std::make_tuple(-1, 1, 0));
    std::vector<std::string> names = {"b", "B", "a", "_", "A", "ab", "/a\xE3\x81\x82", "Ab", "c", "/a/z"};
    std::sort(names.begin(), names.end(), PathKeyLess());
    EXPECT_EQ(names, (std::vector<std::string>{"/a/z", "/a\xE3\x81\x82", "_", "A", "a", "Ab", "ab", "B", "b", "c"}));
}

TEST(ExpandLongPath, AbsoluteWithoutDots)
{
    const struct {
        const char *path, *cwd, *expanded;
    } cases[] = {{"../x/./y", "/a/b", "/a/x/y"}, {"/a/b/", "", "/a/b"}, {"/..", "", "/"}, {"/a/../../b", "", "/b"},
                 {"", "/a", "/a"}, {"x//y", "/", "/x/y"}, {"/", "", "/"}, {".", "/a/b/", "/a/b"},
                 {"...", "/a", "/a/..."}};   // only "." and ".." are special
    for (const auto& c : cases) EXPECT_EQ(ExpandLongPath(c.path, c.cwd), c.expanded) << c.path;
    const std::string cwd = CurrentDirectory();
    EXPECT_EQ(cwd.front(), '/');
    EXPECT_EQ(ExpandLongPath("name"), JoinPath(cwd, "name"));
}

TEST(FollowSymlinks, ChainsGiveTheFinalTargetDanglingNothing)
{
    TempDir d;
    const std::string target = d.WriteFile("target.txt", "t");
    ASSERT_EQ(::symlink(target.c_str(), d.Path("l1").c_str()), 0);
    ASSERT_EQ(::symlink(d.Path("l1").c_str(), d.Path("l2").c_str()), 0);
    ASSERT_EQ(::symlink(d.Path("nowhere").c_str(), d.Path("dangling").c_str()), 0);
    EXPECT_EQ(FollowSymlinks(d.Path("l2")), target);
    EXPECT_EQ(FollowSymlinks(d.Path("dangling")), "");
}

}  // namespace
}  // namespace qv
