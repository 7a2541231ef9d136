// The history commands through the window's menus: clear, keep period, size limit, bulk
// registration and removal, import and export, with their boxes, dialogs and status texts.
#include "AppTestSupport.h"

#include <set>

#include "gui/shell/BusyPanel.h"
#include "history/HistoryFileContents.h"
#include "history/ImportExport.h"
#include "history/Maintenance.h"
#include "platform/Clock.h"

namespace qv {
namespace {

class HistoryCommandsTest : public WindowTest {
protected:
    std::string HistoryFile() const { return JoinPath(Home(), "Quenvarlith.dat"); }
    size_t OnDisk() const { return KeysIn(HistoryFile()).size(); }
    void WriteLoging(const std::string& loging) { dir.WriteFile("home/Quenvarlith.ini", "[Loging]\r\n" + loging); }
    std::string LastShown() const { return prompts.shown().back().text; }
};

TEST_F(HistoryCommandsTest, ClearAsksAndTheExitSaveKeepsWhatTheFileHolds)
{
    const auto clear = [&](Answer answer, int32_t count, bool read) {
        prompts.Push(answer);
        Trigger("LogClear");
        EXPECT_EQ(LastShown(), ClearQuestionText(count, read));
        EXPECT_EQ(Status(), answer == Answer::Ok ? kClearedStatus : kClearCancelledStatus);
    };
    const std::string a = dir.WriteFile("f/a", "a"), b = dir.WriteFile("f/b", "bb"), c = dir.WriteFile("f/c", "c");
    StartAndDrop({a, b});
    clear(Answer::Cancel, 2, false);
    CloseAndDestroy();
    ASSERT_EQ(OnDisk(), 2u);

    // Not read at start (read mode 3): a clear and a close in save mode 1 lose nothing of the file.
    WriteLoging("LogReadMode=3\r\n");
    StartAndDrop({c});
    clear(Answer::Ok, 1, false);
    EXPECT_EQ(window->result().ShownIndex(), -1);   // the shown file's record went with the rest
    CloseAndDestroy();
    EXPECT_EQ(OnDisk(), 2u);

    // Read at start: the clear empties the folder list, and the close writes 0 entries.
    WriteLoging("LogReadMode=1\r\n");
    Start();
    EXPECT_EQ(Status(), "履歴読込み完了 履歴データ 2件");
    ASSERT_TRUE(S().folders.SelectFolder(dir.Path("f")));
    clear(Answer::Ok, 2, true);
    EXPECT_FALSE(S().folders.SelectFolder(dir.Path("f")));
    CloseAndDestroy();
    EXPECT_EQ(OnDisk(), 0u);
}

TEST_F(HistoryCommandsTest, KeepPeriodAndSizeLimitBoxes)
{
    StartAndDrop({dir.WriteFile("f/a", "a")});
    prompts.PushInput("fourteen");   // not a number: the period stays, the sweep runs all the same
    Trigger("LogKeepSet");
    EXPECT_EQ(prompts.shown().back().title, kKeepPeriodTitle);
    EXPECT_EQ(LastShown(), KeepPeriodPrompt(1));
    EXPECT_EQ(prompts.shown().back().inputDefault, "14");
    EXPECT_EQ(Status(), "履歴保存期間は14日間、累積件数は 1件です");
    prompts.PushInput("0");
    Trigger("LogKeepSet");
    EXPECT_EQ(Status(), "履歴保存期間は0日間、累積件数は 0件です");

    prompts.PushInput("5000000000");
    Trigger("LogInhibitSize");
    EXPECT_EQ(Status(), "制限ファイルサイズ 5,000,000,000bytes に変更しました");
    prompts.PushInputCancel();
    Trigger("LogInhibitSize");
    EXPECT_EQ(Status(), "制限ファイルサイズ 5,000,000,000bytes");
    CloseAndDestroy();
    EXPECT_FALSE(PathExists(HistoryFile()));   // kept off: nothing saved
}

TEST_F(HistoryCommandsTest, RegisterATreeTwiceThenForgetPartOfIt)
{
    for (const char* name : {"t/a", "t/sub/b", "t/sub/deep/c"}) dir.WriteFile(name, name);
    const std::string tree = dir.Path("t");
    Start();
    dialogs.folderAnswers = {tree, tree, tree + "/sub"};
    Trigger("FolderScan");
    EXPECT_EQ(dialogs.folderPrompts.back(), kRegisterPrompt);
    EXPECT_EQ(Status(), "履歴一括登録完了 登録 3件  履歴全体 3件");
    EXPECT_EQ(Hashed().size(), 3u);
    Trigger("FolderScan");
    EXPECT_EQ(Status(), "履歴一括登録完了 登録 0件  履歴全体 3件");
    EXPECT_EQ(Hashed().size(), 3u);   // nothing read again

    Trigger("LogErase");
    EXPECT_EQ(dialogs.folderPrompts.back(), kForgetPrompt);
    EXPECT_EQ(Status(), ForgetDoneText(1, 2, tree + "/sub"));
}

TEST_F(HistoryCommandsTest, ExportThenImportWithDeletionToTheTrash)
{
    const std::string a = dir.WriteFile("f/a", "a"), b = dir.WriteFile("f/b", "bb");
    const std::string csv = dir.Path("x.csv"), dat = dir.Path("y.dat");
    std::set<std::string> busyTexts;   // what the busy display showed at each refresh
    Start({}, [&] {
        if (S().busy.Shown()) busyTexts.insert({Text("LbTotalProgress"), Text("BuzyComment")});
    });
    Trigger("ExportLOG");
    EXPECT_EQ(Status(), kExportEmpty);
    DropAndWait({a, b});
    dialogs.saveAnswers = {{dir.Path("x.txt"), 0}, {csv, 0}, {dat, 0}};
    Trigger("ExportLOG");
    EXPECT_EQ(dialogs.saveOffers[0].fileName, ExportFileName(Home(), SystemClock::Instance().Now()));
    EXPECT_EQ(Status(), "エクスポート対象拡張子ではありません [.txt]");
    Trigger("ExportLOG");
    Trigger("ExportLOG");
    EXPECT_EQ(Status(), "履歴データエクスポート完了 履歴データ 2件");

    prompts.Push(Answer::Ok);
    Trigger("LogClear");
    dialogs.answers = {{csv, dat}, {HistoryFile()}, {dir.Path("x.txt")}};
    prompts.Push(Answer::Yes);
    Trigger("InportLOG");
    EXPECT_EQ(LastShown(), kImportQuestion);
    EXPECT_EQ(dialogs.shownFolders.back(), Home());
    EXPECT_TRUE(busyTexts.count("履歴ファイル数 (0/2)") && busyTexts.count("履歴データ検査中　しばらくお待ちください"));
    EXPECT_EQ(Status(), "履歴データインポート完了 履歴データ2件 既読状態");
    EXPECT_TRUE(S().folders.SelectFolder(dir.Path("f")));
    EXPECT_EQ(OnDisk(), 2u);
    EXPECT_FALSE(FileExists(csv) || FileExists(dat));
    EXPECT_TRUE(FileExists(Trashed("x.csv")) && FileExists(Trashed("y.dat")));

    Trigger("InportLOG");   // the history file alone: no question
    EXPECT_EQ(Status(), "履歴データインポート完了 履歴データ2件 既読状態");
    Trigger("InportLOG");
    EXPECT_EQ(Status(), kImportWrongExtension);
    EXPECT_EQ(prompts.pending(), 0u);
}

}  // namespace
}  // namespace qv
