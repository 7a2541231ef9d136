#include "platform/DirSearch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <tuple>

#include "platform/Attributes.h"
#include "platform/DateFormat.h"
#include "platform/DateTime.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace qv {
namespace {

constexpr uint32_t kDefaultFileMask = kAttrReadOnly | kAttrVolume | kAttrArchive;   // hidden and system left out

// One folder with an entry of every kind the search tells apart.
class DirSearchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.WriteFile("plain.txt", "abc");
        dir_.WriteFile(".hidden", "h");
        ASSERT_EQ(::chmod(dir_.WriteFile("locked.TXT", "12345").c_str(), 0444), 0);
        dir_.MakeFolder("sub");
        dir_.MakeFolder(".dotdir");
        ASSERT_EQ(::mkfifo(dir_.Path("pipe").c_str(), 0644), 0);
        ASSERT_EQ(::symlink(dir_.Path("nowhere").c_str(), dir_.Path("dangling").c_str()), 0);
        ASSERT_EQ(::symlink(dir_.Path("plain.txt").c_str(), dir_.Path("link.txt").c_str()), 0);
    }

    std::vector<std::string> Listed(const std::string& pattern, uint32_t mask, const std::string& folder = "")
    {
        std::vector<FoundEntry> found;
        EXPECT_TRUE(ListFolder(dir_.Path(folder), pattern, mask, found));
        std::vector<std::string> names;
        for (const FoundEntry& e : found) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
};

// A link shows its target; a dangling link is not found.
TEST_F(DirSearchFixture, AttributesAndSizesFollowTheLinuxMapping)
{
    std::vector<FoundEntry> all;
    ASSERT_TRUE(ListFolder(dir_.path(), "*", kAttrAny, all));
    std::map<std::string, std::pair<std::string, int64_t>> seen;
    char letters[7];
    for (const FoundEntry& e : all) seen[e.name] = {AttributeLetters(e.attributes, letters), e.size};
    const std::map<std::string, std::pair<std::string, int64_t>> expected = {
        {"plain.txt", {"-----A", 3}}, {".hidden", {"-H---A", 1}}, {"locked.TXT", {"R----A", 5}}, {"sub", {"----D-", 0}},
        {".dotdir", {"-H--D-", 0}},   {"pipe", {"--S---", 0}},    {"link.txt", {"-----A", 3}}};
    EXPECT_EQ(seen, expected);
}

TEST_F(DirSearchFixture, MasksAdmitHiddenSystemAndFoldersOnlyWhenTheyHoldThem)
{
    // The mask rules themselves are in AttributeRules below; here that the listing applies them
    // (a mask without the read-only bit still lists read-only files).
    const std::vector<std::string> files = {"link.txt", "locked.TXT", "plain.txt"};
    EXPECT_EQ(Listed("*.*", kDefaultFileMask), files);
    EXPECT_EQ(Listed("*", kAttrHidden), (std::vector<std::string>{".hidden", "link.txt", "locked.TXT", "plain.txt"}));
    EXPECT_EQ(Listed("*.txt", kAttrAny), files);   // letter case ignored
    EXPECT_EQ(Listed("p?ain.*", kAttrAny), std::vector<std::string>{"plain.txt"});
    EXPECT_EQ(Listed("*", kAttrAny, "sub"), std::vector<std::string>{});
    std::vector<FoundEntry> none;
    errno = 0;
    EXPECT_FALSE(ListFolder(dir_.Path("absent"), "*", kAttrAny, none));
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(DirSearchFixture, FindPathAndExistenceFollowTheSameRules)
{
    const struct {
        std::string path;
        uint32_t mask;
        const char* name;   // "?": not found
    } cases[] = {
        {dir_.Path("plain.txt"), kDefaultFileMask, "plain.txt"}, {dir_.Path(".hidden"), kDefaultFileMask, "?"},
        {dir_.Path(".hidden"), kDefaultFileMask | kAttrHidden, ".hidden"}, {dir_.Path("pipe"), kDefaultFileMask, "?"},
        {dir_.Path("sub"), kDefaultFileMask, "?"}, {dir_.Path("sub"), kAttrDirectory, "sub"},
        {dir_.Path("sub") + "/", kAttrDirectory, "sub"}, {dir_.Path("dangling"), kAttrAny, "?"},
        {dir_.Path("absent"), kAttrAny, "?"}, {"", kAttrAny, "?"},
        {dir_.Path("link.txt"), kDefaultFileMask, "link.txt"}, {"/", kAttrDirectory, ""}};
    for (const auto& c : cases) {
        FoundEntry e;
        EXPECT_EQ(FindPath(c.path, c.mask, e) ? e.name : "?", c.name) << c.path;
    }
    const struct {
        const char* name;
        bool path, file, folder;
    } exists[] = {{"plain.txt", true, true, false}, {"sub", true, false, true}, {"pipe", true, true, false},
                  {"dangling", false, false, false}, {"absent", false, false, false}};
    for (const auto& c : exists) {
        const std::string path = dir_.Path(c.name);
        EXPECT_EQ(std::make_tuple(PathExists(path), FileExists(path), FolderExists(path)),
                  std::make_tuple(c.path, c.file, c.folder)) << c.name;
    }
}

// Sizes beyond 32 bits; the stamp is the local time in whole seconds, the same from both searches.
TEST(DirSearch, LargeSizesAndTheStamp)
{
    TempDir dir;
    const std::string path = dir.WriteFile("sparse.bin", "");
    ASSERT_EQ(::truncate(path.c_str(), 5LL * 1024 * 1024 * 1024 + 3), 0);
    TempDir::SetMtime(path, test::LocalUnix(2021, 7, 15, 13, 44, 59));
    FoundEntry found;
    std::vector<FoundEntry> listed;
    ASSERT_TRUE(FindPath(path, kDefaultFileMask, found));
    ASSERT_TRUE(ListFolder(dir.path(), "*", kDefaultFileMask, listed));
    EXPECT_EQ(found.size, 5LL * 1024 * 1024 * 1024 + 3);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", found.stamp), "2021/07/15 13:44:59");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].stamp, found.stamp);
}

TEST(Wildcard, MatchesLikeTheFileSearch)
{
    const struct {
        const char *pattern, *name;
        bool match;
    } cases[] = {{"*", "anything", true},    {"*.*", "noextension", true}, {"*.TXT", "a.txt", true},
                 {"a?c", "abc", true},       {"a?c", "ac", false},         {"*b*", "abc", true},
                 {"*.txt", "a.txt.bak", false}, {"a*b*c", "aXbYbZc", true}, {"abc", "abcd", false},
                 {"**", "", true},           {"?", "", false},             {"写真*.jpg", "写真01.JPG", true}};
    for (const auto& c : cases) EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
    // Many stars against a long near miss still ends quickly.
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(AttributeRules, SearchRestrictionAndLetters)
{
    const struct {
        uint32_t attributes, mask;
        bool admitted, restricted;
    } cases[] = {{kAttrArchive, 0, true, true}, {kAttrReadOnly | kAttrArchive, kAttrArchive, true, true},
                 {kAttrHidden | kAttrArchive, kAttrArchive, false, true}, {kAttrAny, kAttrAny, true, false},
                 {kAttrHidden | kAttrArchive, kAttrHidden | kAttrArchive, true, false},
                 {kAttrHidden | kAttrSystem, kAttrHidden, false, true},
                 {kAttrDirectory, kAttrAny & ~kAttrDirectory, false, true},
                 {kAttrDirectory | kAttrReadOnly, kAttrDirectory | kAttrReadOnly, true, false}};
    for (const auto& c : cases)
        EXPECT_EQ(std::make_pair(SearchAdmits(c.attributes, c.mask), IsRestricted(c.attributes, c.mask)),
                  std::make_pair(c.admitted, c.restricted)) << c.attributes << " " << c.mask;
    char all[7], none[7];
    EXPECT_EQ(std::string(AttributeLetters(kAttrAny, all)) + AttributeLetters(0, none), "RHSVDA------");
}

}  // namespace
}  // namespace qv
