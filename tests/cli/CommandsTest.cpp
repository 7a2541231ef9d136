// The list and history commands: --sfv, --list, --list-tree, --register, --forget, --export,
// --import; a damaged or unsaved history; two copies saving one history at once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <set>

#include "HeadlessFixture.h"
#include "history/HistoryPersistence.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "support/Processes.h"

namespace qv {
namespace {

using Paths = std::set<std::string>;

class CommandsTest : public HeadlessFixture {
protected:
    static Paths In(const std::string& file) { const auto keys = KeysIn(file); return Paths(keys.begin(), keys.end()); }
    // n files in four subfolders of folder.
    Paths Tree(const std::string& folder, int n)
    {
        Paths made;
        for (int i = 0; i < n; ++i)
            made.insert(files.WriteFile(folder + "/" + std::to_string(i % 4) + "/" + std::to_string(i), folder));
        return made;
    }
};

TEST_F(CommandsTest, ListsOfTheNamedFilesAndOfATree)
{
    files.WriteFile("abc.txt", "abc");
    files.WriteFile("sub/deep.txt", "");
    const std::string md5Abc = "900150983cd24fb0d6963f7d28e17f72";
    // Format 5 of the defaults is the "MD5 (name) = md5" layout.
    EXPECT_EQ(Run({"--list", "5", "out.md5", "abc.txt"}), 0) << err;
    EXPECT_EQ(TempDir::ReadFile(files.Path("out.md5")), "MD5 (abc.txt) = " + md5Abc + "\r\n");
    EXPECT_EQ(Run({"--sfv", "out.sfv", "abc.txt", "sub/deep.txt"}), 0) << err;
    const std::string sfv = TempDir::ReadFile(files.Path("out.sfv"));
    EXPECT_NE(sfv.find("\r\nabc.txt 352441C2\r\ndeep.txt 00000000\r\n"), std::string::npos) << sfv;
    EXPECT_EQ(Run({"--list-tree", "5", "tree.md5", "."}), 0) << err;
    const std::string tree = TempDir::ReadFile(files.Path("tree.md5"));
    EXPECT_NE(tree.find("MD5 (abc.txt) = " + md5Abc), std::string::npos) << tree;
    EXPECT_NE(tree.find("MD5 (deep.txt) = d41d8cd98f00b204e9800998ecf8427e"), std::string::npos) << tree;
    EXPECT_EQ(tree.find("tree.md5"), std::string::npos) << "the list never lists itself";
}

TEST_F(CommandsTest, BadRequestsAreRefusedAndWriteNothing)
{
    files.WriteFile("abc.txt", "abc");
    files.WriteFile("keep.md5", "old list");
    files.MakeFolder("folder");
    const struct { std::vector<std::string> args; int code; std::string err; } cases[] = {
        {{"--list", "6", "x.md5", "abc.txt"}, 2, "リスト書式の番号は 1 から 5 です: 6"},
        {{"--list", "1", "x.md5"}, 2, "指定の誤り"},
        {{"--sfv", "x.sfv", "folder"}, 1, "ファイルではなくフォルダです"},
        {{"--sfv", "x.sfv", "missing"}, 1, "見つかりません"},
        {{"--sfv", "folder", "abc.txt"}, 1, files.Path("folder")},   // the rename fails, the reason is named
        {{"--export", "all.txt"}, 2, "エクスポート対象拡張子ではありません (.csv .log .dat): " + files.Path("all.txt")},
        {{"--import", "abc.txt.CSV", "x.txt"}, 2, "インポートファイルが対象拡張子ではありません " + files.Path("x.txt")},
        {{"--forget", ""}, 2, "フォルダが指定されていません"},
        {{"--import", "missing.dat"}, 1, "読み込めませんでした: " + files.Path("missing.dat")},
        {{"--register", "missing"}, 1, files.Path("missing") + " (No such file or directory)"},
        {{"--register", "abc.txt"}, 1, files.Path("abc.txt") + " (フォルダではありません)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        EXPECT_EQ(Run(c.args), c.code);
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_FALSE(PathExists(files.Path("x.md5")) || PathExists(files.Path("x.sfv")));
    }
    EXPECT_EQ(TempDir::ReadFile(files.Path("keep.md5")), "old list");
    // A name with a line break has no line in a list: written without it, the run still fails.
    files.WriteFile("n\nl", "x");
    EXPECT_EQ(Run({"--sfv", "y.sfv", "abc.txt", "n\nl"}), 1);
    EXPECT_EQ(err, "y.sfv(1files) を作成しました 改行を含む名前の1files はリストに書けません\n");
}

TEST_F(CommandsTest, RegisterForgetExportAndImport)
{
    Tree("t", 3);
    ASSERT_EQ(Run({"--register", "t"}), 0) << err;
    EXPECT_EQ(out, "履歴一括登録完了 登録 3件  履歴全体 3件\n");
    const int read = opens.load();
    EXPECT_EQ(Run({"--register", "t/"}), 0) << err;
    EXPECT_EQ(out, "履歴一括登録完了 登録 0件  履歴全体 3件\n");
    EXPECT_EQ(opens.load(), read);   // an unchanged tree is not read again

    EXPECT_EQ(Run({"--export", "all.CSV"}), 0) << err;
    EXPECT_EQ(out, "履歴データエクスポート完了 履歴データ 3件\n");
    EXPECT_EQ(Run({"--forget", "t/1"}), 0) << err;
    EXPECT_EQ(out, "履歴データ削除終了　残数2件 削除1件 指定フォルダ " + files.Path("t/1") + "\n");
    EXPECT_EQ(Run({"--import", "all.CSV"}), 0) << err;
    EXPECT_EQ(out, "履歴データインポート完了 履歴データ3件 既読状態\n");
    EXPECT_EQ(Saved().size(), 3u);
}

TEST_F(CommandsTest, DamagedHistoryIsNamedAndAFailedSaveFailsTheRun)
{
    files.WriteFile("a.txt", "abc");
    files.WriteFile("b.txt", "abcd");
    const std::string history = home.WriteFile("Quenvarlith.dat", std::string(4, '\xFF'));   // count -1
    const ManualClock manual(EncodeDateTime({2024, 6, 1, 12, 0, 0}), 0);
    clock = &manual;
    EXPECT_EQ(Run({"--no-gui", "a.txt"}), 0) << err;
    EXPECT_EQ(err, KeptDamagedHistoryText(history, home.Path("Quenvarlith-20240601_001.dat")) + "\n");
    EXPECT_EQ(TempDir::ReadFile(home.Path("Quenvarlith-20240601_001.dat")), std::string(4, '\xFF'));
    // The new history file does not fit, whichever command added to it.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--no-gui", "b.txt"}, {"--register", "."}}) {
        const int code = [&] {
            const FileSizeLimit full(64);
            return Run(args);
        }();
        EXPECT_EQ(code, 1) << args[0];
        EXPECT_NE(err.find(history + "\nError code = 27 (File too large)"), std::string::npos) << err;
    }
}

// Two copies registering at the same moment, in each save mode: the history file always reads
// whole, and it (with the dated file of save mode 2) holds what the mode promises.
TEST_F(CommandsTest, TwoCopiesSavingAtOnce)
{
    const Paths base = Tree("base", 4);
    Paths withA = Tree("a", 40), withB = Tree("b", 40), all;
    withA.insert(base.begin(), base.end()), withB.insert(base.begin(), base.end());
    all.insert(withA.begin(), withA.end()), all.insert(withB.begin(), withB.end());
    ASSERT_EQ(Run({"--register", "base"}), 0) << err;
    const std::string history = home.Path("Quenvarlith.dat"), baseBytes = TempDir::ReadFile(history);
    const auto dated = [&] {
        std::vector<std::string> found;
        for (const std::string& name : home.Names())
            if (name.rfind("Quenvarlith-", 0) == 0) found.push_back(home.Path(name));
        return found;
    };
    for (int mode = 1; mode <= 3; ++mode) {
        home.WriteFile("Quenvarlith.ini", "[Loging]\r\nLogSaveMode=" + std::to_string(mode) + "\r\n");
        for (int round = 0; round < 8; ++round) {
            for (const std::string& file : dated()) ::unlink(file.c_str());
            home.WriteFile("Quenvarlith.dat", baseBytes);
            const auto copy = [&](int i) { return Run({"--register", i == 0 ? "a" : "b"}); };
            ASSERT_EQ(RunInChildren(2, copy), (std::vector<int>{0, 0})) << mode;

            const Paths kept = In(history);
            Paths seen = kept;
            for (const std::string& file : dated())
                for (const std::string& key : In(file)) seen.insert(key);
            const std::string where = "mode " + std::to_string(mode) + " round " + std::to_string(round);
            // One copy's records or both; save mode 3 drops those of the copy that finds the file rewritten.
            EXPECT_TRUE(kept == all || kept == withA || kept == withB) << where;
            EXPECT_EQ(dated().size(), mode == 2 && kept != all ? 1u : 0u) << where;
            EXPECT_TRUE(mode == 3 || seen == all) << where;   // nothing lost
        }
    }
}

}  // namespace
}  // namespace qv
