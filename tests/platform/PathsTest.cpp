#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace qv {
namespace {

TEST(PathParts, FolderOfKeepsOnlyTheRootSlash)
{
    EXPECT_EQ(FolderOf("/a"), "/");
    EXPECT_EQ(FolderOf("/a/b"), "/a");
    EXPECT_EQ(FolderOf("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(FolderOf("/"), "/");
    EXPECT_EQ(FolderOf("name"), "");
}

TEST(PathParts, FolderWithSlash)
{
    EXPECT_EQ(FolderWithSlash("/a/b"), "/a/");
    EXPECT_EQ(FolderWithSlash("/a"), "/");
    EXPECT_EQ(FolderWithSlash("name"), "");
}

TEST(PathParts, NameAndExtension)
{
    EXPECT_EQ(NameOf("/a/b.txt"), "b.txt");
    EXPECT_EQ(NameOf("b.txt"), "b.txt");
    EXPECT_EQ(NameOf("/"), "");
    EXPECT_EQ(ExtensionOf("/a/c.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("/a.b/c"), "");
    EXPECT_EQ(ExtensionOf("/a/.bashrc"), ".bashrc");
    EXPECT_EQ(ExtensionOf("/a/name."), ".");
    EXPECT_EQ(ExtensionOf("写真.JPG"), ".JPG");
}

TEST(PathParts, JoinUsesExactlyOneSlash)
{
    EXPECT_EQ(JoinPath("/", "a"), "/a");
    EXPECT_EQ(JoinPath("/x", "a"), "/x/a");
    EXPECT_EQ(JoinPath("/x/", "a"), "/x/a");
    EXPECT_EQ(JoinPath("/x", "/a"), "/x/a");
    EXPECT_EQ(JoinPath("", "a"), "a");
    EXPECT_EQ(JoinPath("/x", "a/b"), "/x/a/b");
}

TEST(PathParts, IsUnderFolder)
{
    EXPECT_TRUE(IsUnderFolder("/a/b", "/a"));
    EXPECT_TRUE(IsUnderFolder("/a/b/c", "/a"));
    EXPECT_TRUE(IsUnderFolder("/a/b", "/a/"));
    EXPECT_FALSE(IsUnderFolder("/ab", "/a"));
    EXPECT_FALSE(IsUnderFolder("/a", "/a"));
    EXPECT_TRUE(IsUnderFolder("/a", "/a", true));
    EXPECT_FALSE(IsUnderFolder("/b/a", "/a"));
    EXPECT_FALSE(IsUnderFolder("/A/b", "/a"));   // keys are exact
    // The root holds every path.
    EXPECT_TRUE(IsUnderFolder("/anything", "/"));
    EXPECT_TRUE(IsUnderFolder("/x/y", "/"));
    EXPECT_TRUE(IsUnderFolder("/", "/"));
    EXPECT_TRUE(IsUnderFolder("/", "/", true));
}

TEST(PathKeys, EqualityIsExact)
{
    EXPECT_TRUE(PathKeysEqual("/a/B", "/a/B"));
    EXPECT_FALSE(PathKeysEqual("/a/B", "/a/b"));
    EXPECT_TRUE(PathsEqualIgnoringCase("/a/B", "/A/b"));
    EXPECT_FALSE(PathsEqualIgnoringCase("/a/B", "/a/Bc"));
    EXPECT_FALSE(PathsEqualIgnoringCase("/ａ", "/Ａ"));   // full-width letters are not folded
}

TEST(PathKeys, OrderFoldsLettersThenBreaksTiesExactly)
{
    EXPECT_LT(ComparePathKeys("a", "B"), 0);
    EXPECT_GT(ComparePathKeys("b", "A"), 0);
    EXPECT_LT(ComparePathKeys("B", "b"), 0);   // tie broken by the exact bytes
    EXPECT_GT(ComparePathKeys("b", "B"), 0);
    EXPECT_EQ(ComparePathKeys("same", "same"), 0);
    EXPECT_LT(ComparePathKeys("abc", "ABD"), 0);
    EXPECT_LT(ComparePathKeys("ab", "abc"), 0);
    EXPECT_LT(ComparePathKeys("/a/z", "/a\xE3\x81\x82"), 0);   // bytes above 0x7F sort last
    // '_' (0x5F) lies between the upper and lower case letters; folding puts it before 'a'.
    EXPECT_LT(ComparePathKeys("_", "a"), 0);
    EXPECT_LT(ComparePathKeys("_", "A"), 0);

    std::vector<std::string> names = {"b", "B", "a", "A", "ab", "Ab", "c"};
    std::sort(names.begin(), names.end(), PathKeyLess());
    const std::vector<std::string> expected = {"A", "a", "Ab", "ab", "B", "b", "c"};
    EXPECT_EQ(names, expected);
}

TEST(ExpandLongPath, MakesAbsoluteAndRemovesDots)
{
    EXPECT_EQ(ExpandLongPath("../x/./y", "/a/b"), "/a/x/y");
    EXPECT_EQ(ExpandLongPath("/a/b/"), "/a/b");
    EXPECT_EQ(ExpandLongPath("/.."), "/");
    EXPECT_EQ(ExpandLongPath("/a/../../b"), "/b");
    EXPECT_EQ(ExpandLongPath("", "/a"), "/a");
    EXPECT_EQ(ExpandLongPath("x//y", "/"), "/x/y");
    EXPECT_EQ(ExpandLongPath("/"), "/");
    EXPECT_EQ(ExpandLongPath(".", "/a/b/"), "/a/b");
    EXPECT_EQ(ExpandLongPath("...", "/a"), "/a/...");   // only "." and ".." are special
}

TEST(ExpandLongPath, RelativeToTheCurrentFolderByDefault)
{
    const std::string cwd = CurrentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(cwd.front(), '/');
    EXPECT_EQ(ExpandLongPath("name"), JoinPath(cwd, "name"));
}

TEST(FollowSymlinksTest, LinkGivesItsFinalTarget)
{
    TempDir d;
    const std::string target = d.WriteFile("target.txt", "t");
    ASSERT_EQ(::symlink(target.c_str(), d.Path("l1").c_str()), 0);
    ASSERT_EQ(::symlink(d.Path("l1").c_str(), d.Path("l2").c_str()), 0);
    EXPECT_EQ(FollowSymlinks(d.Path("l2")), target);
    ASSERT_EQ(::symlink(d.Path("nowhere").c_str(), d.Path("dangling").c_str()), 0);
    EXPECT_EQ(FollowSymlinks(d.Path("dangling")), "");
}

}  // namespace
}  // namespace qv
