#include "platform/Attributes.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace qv {
namespace {

constexpr uint32_t kDefaultFileMask = kAttrReadOnly | kAttrVolume | kAttrArchive;   // H, S restricted

time_t LocalUnix(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900; tm.tm_mon = mo - 1; tm.tm_mday = d;
    tm.tm_hour = h; tm.tm_min = mi; tm.tm_sec = s; tm.tm_isdst = -1;
    return mktime(&tm);
}

std::map<std::string, FoundEntry> ByName(const std::vector<FoundEntry>& entries)
{
    std::map<std::string, FoundEntry> map;
    for (const FoundEntry& e : entries) map[e.name] = e;
    return map;
}

// One folder with an entry of every kind the search tells apart.
class DirSearchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        plain_ = dir_.WriteFile("plain.txt", "abc");
        dir_.WriteFile(".hidden", "h");
        readOnly_ = dir_.WriteFile("locked.TXT", "12345");
        ASSERT_EQ(chmod(readOnly_.c_str(), 0444), 0);
        dir_.MakeFolder("sub");
        dir_.MakeFolder(".dotdir");
        ASSERT_EQ(mkfifo(dir_.Path("pipe").c_str(), 0644), 0);
        ASSERT_EQ(symlink(dir_.Path("nowhere").c_str(), dir_.Path("dangling").c_str()), 0);
        ASSERT_EQ(symlink(plain_.c_str(), dir_.Path("link.txt").c_str()), 0);
    }

    TempDir dir_;
    std::string plain_, readOnly_;
};

TEST_F(DirSearchFixture, AttributesFollowTheLinuxMapping)
{
    std::vector<FoundEntry> all;
    ASSERT_TRUE(ListFolder(dir_.path(), "*", kAttrAny, all));
    const auto found = ByName(all);
    ASSERT_EQ(found.size(), 7u);   // the dangling link is not found
    EXPECT_EQ(found.count("dangling"), 0u);
    EXPECT_EQ(found.at("plain.txt").attributes, static_cast<uint32_t>(kAttrArchive));
    EXPECT_EQ(found.at(".hidden").attributes, static_cast<uint32_t>(kAttrHidden | kAttrArchive));
    EXPECT_EQ(found.at("locked.TXT").attributes,
              static_cast<uint32_t>(kAttrReadOnly | kAttrArchive));
    EXPECT_EQ(found.at("sub").attributes, static_cast<uint32_t>(kAttrDirectory));
    EXPECT_EQ(found.at(".dotdir").attributes, static_cast<uint32_t>(kAttrHidden | kAttrDirectory));
    EXPECT_EQ(found.at("pipe").attributes, static_cast<uint32_t>(kAttrSystem));
    // A link shows its target.
    EXPECT_EQ(found.at("link.txt").attributes, static_cast<uint32_t>(kAttrArchive));
    EXPECT_EQ(found.at("link.txt").size, 3);
    EXPECT_EQ(found.at("locked.TXT").size, 5);
    EXPECT_EQ(found.at("sub").size, 0);
}

TEST_F(DirSearchFixture, MaskAdmitsHiddenSystemAndFoldersOnlyWhenItHoldsThem)
{
    std::vector<FoundEntry> files;
    ASSERT_TRUE(ListFolder(dir_.path(), "*.*", kDefaultFileMask, files));
    std::vector<std::string> names;
    for (const auto& e : files) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.txt", "locked.TXT", "plain.txt"}));

    std::vector<FoundEntry> withFolders;
    ASSERT_TRUE(ListFolder(dir_.path(), "*", kAttrDirectory, withFolders));
    EXPECT_EQ(ByName(withFolders).count("sub"), 1u);
    EXPECT_EQ(ByName(withFolders).count(".dotdir"), 0u);   // hidden not admitted
    EXPECT_EQ(ByName(withFolders).count("locked.TXT"), 1u);   // read-only never excludes

    std::vector<FoundEntry> system;
    ASSERT_TRUE(ListFolder(dir_.path(), "*", kAttrSystem, system));
    EXPECT_EQ(ByName(system).count("pipe"), 1u);
    EXPECT_EQ(ByName(system).count("sub"), 0u);
}

TEST_F(DirSearchFixture, PatternsMatchNamesIgnoringLetterCase)
{
    std::vector<FoundEntry> txt;
    ASSERT_TRUE(ListFolder(dir_.path(), "*.txt", kAttrAny, txt));
    std::vector<std::string> names;
    for (const auto& e : txt) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.txt", "locked.TXT", "plain.txt"}));

    std::vector<FoundEntry> one;
    ASSERT_TRUE(ListFolder(dir_.path(), "p?ain.*", kAttrAny, one));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, "plain.txt");
}

TEST_F(DirSearchFixture, FindPathUsesTheSameRules)
{
    FoundEntry e;
    ASSERT_TRUE(FindPath(plain_, kDefaultFileMask, e));
    EXPECT_EQ(e.name, "plain.txt");
    EXPECT_EQ(e.size, 3);
    EXPECT_FALSE(FindPath(dir_.Path(".hidden"), kDefaultFileMask, e));
    EXPECT_TRUE(FindPath(dir_.Path(".hidden"), kDefaultFileMask | kAttrHidden, e));
    EXPECT_FALSE(FindPath(dir_.Path("pipe"), kDefaultFileMask, e));
    EXPECT_FALSE(FindPath(dir_.Path("sub"), kDefaultFileMask, e));
    ASSERT_TRUE(FindPath(dir_.Path("sub"), kAttrDirectory, e));
    EXPECT_EQ(e.name, "sub");
    EXPECT_FALSE(FindPath(dir_.Path("dangling"), kAttrAny, e));
    EXPECT_FALSE(FindPath(dir_.Path("absent"), kAttrAny, e));
    EXPECT_FALSE(FindPath("", kAttrAny, e));
    ASSERT_TRUE(FindPath(dir_.Path("link.txt"), kDefaultFileMask, e));
    EXPECT_EQ(e.name, "link.txt");
    ASSERT_TRUE(FindPath("/", kAttrDirectory, e));
    EXPECT_EQ(e.attributes & kAttrDirectory, static_cast<uint32_t>(kAttrDirectory));
}

TEST_F(DirSearchFixture, ExistenceTests)
{
    EXPECT_TRUE(PathExists(plain_));
    EXPECT_TRUE(PathExists(dir_.Path("sub")));
    EXPECT_FALSE(PathExists(dir_.Path("dangling")));
    EXPECT_TRUE(FileExists(plain_));
    EXPECT_TRUE(FileExists(dir_.Path("pipe")));
    EXPECT_FALSE(FileExists(dir_.Path("sub")));
    EXPECT_TRUE(FolderExists(dir_.Path("sub")));
    EXPECT_FALSE(FolderExists(plain_));
    EXPECT_FALSE(FolderExists(dir_.Path("absent")));
}

TEST(DirSearch, UnreadableFolderFails)
{
    TempDir dir;
    std::vector<FoundEntry> out;
    errno = 0;
    EXPECT_FALSE(ListFolder(dir.Path("absent"), "*", kAttrAny, out));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(ListFolder(dir.path(), "*", kAttrAny, out));
    EXPECT_TRUE(out.empty());
}

TEST(DirSearch, SizesBeyondFourGigabytes)
{
    TempDir dir;
    const std::string path = dir.WriteFile("sparse.bin", "");
    const int64_t size = 5LL * 1024 * 1024 * 1024 + 3;
    ASSERT_EQ(truncate(path.c_str(), size), 0);
    FoundEntry e;
    ASSERT_TRUE(FindPath(path, kDefaultFileMask, e));
    EXPECT_EQ(e.size, size);
}

TEST(DirSearch, StampIsTheTwoSecondLocalTime)
{
    TempDir dir;
    const std::string path = dir.WriteFile("stamp.txt", "x");
    TempDir::SetMtime(path, LocalUnix(2021, 7, 15, 13, 44, 59));
    FoundEntry first, second;
    ASSERT_TRUE(FindPath(path, kDefaultFileMask, first));
    ASSERT_TRUE(FindPath(path, kDefaultFileMask, second));
    EXPECT_EQ(first.stamp, second.stamp);   // the same value on every call
    const CalendarFields f = DecodeDateTime(first.stamp);
    EXPECT_EQ(f.year, 2021);
    EXPECT_EQ(f.month, 7);
    EXPECT_EQ(f.day, 15);
    EXPECT_EQ(f.hour, 13);
    EXPECT_EQ(f.minute, 44);
    EXPECT_EQ(f.second, 58);
    std::vector<FoundEntry> listed;
    ASSERT_TRUE(ListFolder(dir.path(), "*", kDefaultFileMask, listed));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].stamp, first.stamp);
}

TEST(Wildcard, MatchesLikeTheFileSearch)
{
    EXPECT_TRUE(MatchWildcard("*", "anything"));
    EXPECT_TRUE(MatchWildcard("*.*", "noextension"));
    EXPECT_TRUE(MatchWildcard("*.TXT", "a.txt"));
    EXPECT_TRUE(MatchWildcard("a?c", "abc"));
    EXPECT_FALSE(MatchWildcard("a?c", "ac"));
    EXPECT_TRUE(MatchWildcard("*b*", "abc"));
    EXPECT_FALSE(MatchWildcard("*.txt", "a.txt.bak"));
    EXPECT_TRUE(MatchWildcard("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(MatchWildcard("abc", "abcd"));
    EXPECT_TRUE(MatchWildcard("**", ""));
    EXPECT_FALSE(MatchWildcard("?", ""));
    EXPECT_TRUE(MatchWildcard("写真*.jpg", "写真01.JPG"));
    // Many stars against a long near miss still ends quickly.
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(AttributeRules, SearchAdmitsAndRestriction)
{
    EXPECT_TRUE(SearchAdmits(kAttrArchive, 0));
    EXPECT_TRUE(SearchAdmits(kAttrReadOnly | kAttrArchive, 0));
    EXPECT_FALSE(SearchAdmits(kAttrHidden | kAttrArchive, kAttrArchive));
    EXPECT_TRUE(SearchAdmits(kAttrHidden | kAttrArchive, kAttrHidden));
    EXPECT_FALSE(SearchAdmits(kAttrHidden | kAttrSystem, kAttrHidden));
    EXPECT_FALSE(SearchAdmits(kAttrDirectory, kAttrAny & ~kAttrDirectory));

    EXPECT_FALSE(IsRestricted(kAttrArchive, kAttrArchive));
    EXPECT_TRUE(IsRestricted(kAttrArchive | kAttrReadOnly, kAttrArchive));
    EXPECT_FALSE(IsRestricted(kAttrDirectory | kAttrReadOnly, kAttrDirectory | kAttrReadOnly));
    EXPECT_FALSE(IsRestricted(kAttrAny, kAttrAny));
    EXPECT_TRUE(IsRestricted(kAttrHidden, 0));
}

TEST(AttributeRules, LettersInViewOrder)
{
    char buffer[7];
    EXPECT_STREQ(AttributeLetters(kAttrArchive, buffer), "-----A");
    EXPECT_STREQ(AttributeLetters(kAttrAny, buffer), "RHSVDA");
    EXPECT_STREQ(AttributeLetters(0, buffer), "------");
    EXPECT_STREQ(AttributeLetters(kAttrReadOnly | kAttrDirectory, buffer), "R---D-");
}

}  // namespace
}  // namespace qv
