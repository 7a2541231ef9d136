// The file view's selection rules and the delete commands of both lists.
#include <gtest/gtest.h>
#include <unistd.h>

#include "browser/FileCommands.h"
#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "browser/Rows.h"

namespace qv {
namespace {

std::vector<FileRow> Rows(std::initializer_list<const char*> names)
{
    std::vector<FileRow> rows;
    for (const char* n : names) rows.push_back(Row(n));
    return rows;
}

// Selections written as "0110".
std::string Flags(const Selection& s)
{
    std::string out;
    for (const bool b : s) out += b ? '1' : '0';
    return out;
}
Selection FromFlags(const std::string& flags)
{
    Selection s;
    for (const char c : flags) s.push_back(c == '1');
    return s;
}

TEST(SelectionTest, SameExtensionIsASubstringRule)
{
    const std::vector<FileRow> rows = Rows({"a.txt", "b.TXT", "c.Txt", "d.cpp", "e.c", "f", "g.", "h.cp", "i.h"});
    const struct { const char* selected; const char* expected; } cases[] = {
        {"110000000", "111000000"},   // a.txt and b.TXT bring in every .txt
        {"000100000", "000110010"},   // .CPP brings in .C and .CP
        {"000010000", "000010000"},   // .C alone does not bring in .CPP
        {"000001100", "000001100"},   // no extension and a trailing dot select nothing more
        {"100010001", "111010001"},   // several extensions at once
    };
    for (const auto& t : cases) {
        Selection s = FromFlags(t.selected);
        EXPECT_TRUE(SelectSameExtension(rows, s));
        EXPECT_EQ(Flags(s), t.expected) << t.selected;
    }
    Selection none(rows.size());
    EXPECT_TRUE(!SelectSameExtension(rows, none) && Flags(none) == "000000000");
}

TEST(SelectionTest, UncalculatedRowsAndSingleSelection)
{
    std::vector<FileRow> rows = Rows({"a", "b", "c"});
    rows[1].crc = "00000000";
    EXPECT_EQ(Flags(SelectUncalculated(rows)), "101");
    EXPECT_EQ(OnlySelected(FromFlags("010")), 1u);
    EXPECT_FALSE(OnlySelected(FromFlags("011")) || OnlySelected(FromFlags("000")));
}

// A folder of files with records, and a trash that empties files unless told to refuse one.
class DeleteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        contents_.folder = dir_.path();
        contents_.rows = Rows({"a", "b", "c", "d"});
        for (const FileRow& row : contents_.rows) {
            const std::string path = dir_.WriteFile(row.name, "x");
            history_.Insert(path, {1, 1.0, 1.0, "", ""});
        }
        seams_.prompts = &prompts_;
        seams_.recycle = [this](const std::string& path) {
            return path != refused_ && ::unlink(path.c_str()) == 0;
        };
        seams_.status = [this](const std::string& text) { statuses_.push_back(text); };
    }
    bool Recorded(const std::string& name) const
    {
        int32_t i = 0;
        return history_.Find(dir_.Path(name), i);
    }

    TempDir dir_;
    HashHistory history_;
    FolderContents contents_;
    ScriptedPrompts prompts_;
    DeleteSeams seams_;
    std::string refused_;
    std::vector<std::string> statuses_;
};

TEST_F(DeleteTest, FileViewDeletesFromTheLastRowAndKeepsWhatStayed)
{
    refused_ = dir_.Path("c");
    ::unlink(dir_.Path("d").c_str());   // gone since the listing: its record goes too
    prompts_.Push(Answer::Yes);
    const auto removed = FListFileDelClick(history_, contents_, FromFlags("1011"), seams_);
    EXPECT_EQ(removed, (std::vector<size_t>{3, 0}));
    EXPECT_EQ(prompts_.LastText(), "選択されている 3件のファイルを削除します\rよろしいですか");
    EXPECT_TRUE(!Recorded("a") && !Recorded("d") && Recorded("b") && Recorded("c") && FileExists(dir_.Path("c")));
    EXPECT_EQ(statuses_.back(), kStatusFilesDeleted);

    prompts_.Push(Answer::Cancel);
    EXPECT_TRUE(FListFileDelClick(history_, contents_, FromFlags("0100"), seams_).empty() && Recorded("b"));
    EXPECT_TRUE(FListFileDelClick(history_, contents_, FromFlags("0000"), seams_).empty());
    EXPECT_EQ(statuses_.back(), kStatusNothingSelected);
}

TEST_F(DeleteTest, DuplicateListAsksOnlyForTheLastRow)
{
    const std::vector<std::string> two = {dir_.Path("a"), dir_.Path("b")};
    EXPECT_TRUE(DupFileDelClick(history_, two, FromFlags("01"), seams_) && prompts_.shown().empty());
    EXPECT_EQ(statuses_, (std::vector<std::string>{"削除中　 " + two[1], "削除完了 " + two[1]}));
    EXPECT_FALSE(Recorded("b"));

    const std::vector<std::string> one = {dir_.Path("a")};
    prompts_.Push(Answer::Abort).Push(Answer::Ignore);
    EXPECT_TRUE(!DupFileDelClick(history_, one, FromFlags("1"), seams_) && Recorded("a") && FileExists(one[0]));
    EXPECT_EQ(statuses_.back(), kStatusDeleteStopped);
    EXPECT_TRUE(DupFileDelClick(history_, one, FromFlags("1"), seams_) && !Recorded("a") && !FileExists(one[0]));
}

TEST_F(DeleteTest, BulkChecksHashRowsWithoutCodesThatStillExist)
{
    contents_.rows[0].crc = "00000000";
    ::unlink(dir_.Path("c").c_str());
    EXPECT_EQ(PathsLackingCodes(contents_), (std::vector<std::string>{dir_.Path("b"), dir_.Path("d")}));
}

}  // namespace
}  // namespace qv
