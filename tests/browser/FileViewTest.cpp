// The file view (rows, sorting, statuses, selection rules), the delete commands of both lists and
// the folder list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


#include "browser/FileCommands.h"
#include "browser/FileView.h"
#include "browser/FolderList.h"
#include "browser/Rows.h"
#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace qv {
namespace {

using namespace std::string_literals;

constexpr uint32_t kFileMask = 33;   // hidden and system restricted, read-only not

// Records the file's codes as the hashing job would: with its current size and stamp.
void Remember(HashHistory& history, const std::string& path, const std::string& crc)
{
    FoundEntry found;
    ASSERT_TRUE(FindPath(path, kAttrAny, found));
    history.Insert(path, {found.size, found.stamp, 0.0, std::string(32, 'A'), crc});
}

TEST(FileViewTest, RowsShowValidCodesAttributesAndTimes)
{
    TempDir dir;
    HashHistory history;
    const std::string valid = dir.WriteFile("valid.txt", "abc");
    const std::string changed = dir.WriteFile("changed.txt", "abc");
    const std::string readOnly = dir.WriteFile("locked.bin", "12");
    const std::string badName = dir.WriteFile("bad\xFF.txt", "x");
    dir.WriteFile(".hidden", "h");
    dir.MakeFolder("sub");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    TempDir::SetMtime(valid, test::LocalUnix(2024, 1, 31, 9, 5, 6));
    Remember(history, valid, "11111111");
    Remember(history, changed, "22222222");
    dir.WriteFile("changed.txt", "abcd");   // modified since its record
    Remember(history, badName, "33333333");

    const FolderContents c = ReadFolder(dir.path(), history, kFileMask);
    ASSERT_EQ(c.state, FolderState::Listed);
    // No hidden file, no folder; the read-only file is listed; a bad name keeps its bytes.
    const struct { const char* name; const char* crc; const char* attributes; bool known; } rows[] = {
        {"bad\xFF.txt", "33333333", "-----A", true}, {"changed.txt", "", "-----A", true},
        {"locked.bin", "", "R----A", false}, {"valid.txt", "11111111", "-----A", true}};
    ASSERT_EQ(c.rows.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const FileRow& row = c.rows[i];
        EXPECT_EQ(std::tuple(row.name, CellText(row, FileColumn::Crc), CellText(row, FileColumn::Md5).empty(),
                             CellText(row, FileColumn::Attributes), row.known),
                  std::tuple(rows[i].name, rows[i].crc, *rows[i].crc == 0, rows[i].attributes, rows[i].known));
    }
    EXPECT_EQ(CellText(c.rows[0], FileColumn::Name), "bad\xEF\xBF\xBD.txt");
    EXPECT_EQ(c.PathOf(0), badName);
    EXPECT_TRUE(c.rows[1].Modified());
    EXPECT_EQ(CellText(c.rows[3], FileColumn::Time), "2024/01/31 09:05:06");
    EXPECT_EQ(ReadFolder(dir.path(), history, kFileMask | kAttrHidden).rows.size(), 5u);
}

TEST(FileViewTest, RowsFindTheirRecordsAmongNeighbouringKeys)
{
    TempDir dir;
    const std::string names[] = {"a", "A", "ab", "B.txt", "b", "c~", "z", "_", "a b"};
    HashHistory history;
    for (const char* other : {"/", "/a/sub", "A/x", "a/y", "Z", "a", "ab/q", "a c"})
        history.Insert(dir.path() + other, {});   // keys next to and between the rows'
    for (size_t i = 0; i < std::size(names); ++i) {
        const std::string path = dir.WriteFile(names[i], "x");
        if (i % 3 != 1) Remember(history, path, "0000000" + std::to_string(i));
    }
    const FolderContents c = ReadFolder(dir.path(), history, kFileMask);
    ASSERT_EQ(c.rows.size(), std::size(names));
    for (size_t r = 0; r < c.rows.size(); ++r) {
        int32_t index = 0;
        EXPECT_EQ(c.rows[r].known, history.Find(c.PathOf(r), index)) << c.rows[r].name;
        EXPECT_EQ(c.rows[r].crc.empty(), !c.rows[r].known) << c.rows[r].name;
    }
}

TEST(FileViewTest, FoldersThatCannotBeListed)
{
    TempDir dir;
    HashHistory history;
    const FolderContents gone = ReadFolder(dir.Path("gone"), history, kFileMask);
    EXPECT_EQ(std::pair(gone.state, FolderContentsStatus(gone)), std::pair(FolderState::Missing, "0ファイル有ります"s));
    EXPECT_EQ(ReadFolder("", history, kFileMask).state, FolderState::NoFolder);

    const std::string locked = dir.MakeFolder("locked");
    dir.WriteFile("locked/a", "a");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    // In a child process, as a user the folder's permissions hold for (root reads anything).
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
            const FolderContents c = ReadFolder(locked, history, kFileMask);
            const bool told = FolderContentsStatus(c).rfind("フォルダを読み込めません " + locked + " (", 0) == 0;
            _exit(c.state == FolderState::Unreadable && c.rows.empty() && told ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(FileViewTest, SortingAndHeaders)
{
    FolderContents c;
    c.rows = {Row("b", "0000000A", "", 1000), Row("A", "", "", 9), Row("c", "00000009", "", 100),
              Row("a", "FFFFFFFF", "", 10)};
    const auto names = [&] {
        std::string s;
        for (const FileRow& r : c.rows) s += r.name;
        return s;
    };
    const struct { FileColumn column; const char* order; } cases[] = {
        {FileColumn::Size, "Aacb"}, {FileColumn::Name, "Aabc"}, {FileColumn::Crc, "Acba"}, {FileColumn::Md5, "Aabc"}};
    for (const auto& t : cases) {
        SortRows(c, t.column);
        EXPECT_EQ(names(), t.order) << static_cast<int>(t.column);
    }
    EXPECT_EQ(ColumnHeader(FileColumn::Md5, c.sortedBy), "ＭＤ５▽");
    EXPECT_EQ(ColumnHeader(FileColumn::Time, c.sortedBy), "更新日時");
}

TEST(FolderListTest, SortedByFoldedLettersWithExactEquality)
{
    FolderList list;
    list.Assign({"/b", "/A", "/a", "/b", "/a/x"});
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/A", "/a", "/a/x", "/b"}));
    // Added in its place; present: its index, nothing added.
    EXPECT_EQ((std::array{list.Add("/B"), list.Add("/b"), list.Count(), list.IndexOf("/a/X")}),
              (std::array{3, 4, 5, -1}));
    EXPECT_TRUE(list.Locate("/a/x").present);
}


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
    // The question before the last row goes, and both its answers, are checked through the window.
}

TEST_F(DeleteTest, BulkChecksHashRowsWithoutCodesThatStillExist)
{
    contents_.rows[0].crc = "00000000";
    ::unlink(dir_.Path("c").c_str());
    EXPECT_EQ(PathsLackingCodes(contents_), (std::vector<std::string>{dir_.Path("b"), dir_.Path("d")}));
}

}  // namespace
}  // namespace qv
