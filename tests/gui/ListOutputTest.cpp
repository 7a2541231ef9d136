// List output in the window: the list-format dialog through its real controls, the menu
// captions that follow the formats, tree and selection lists written through the scripted
// dialogs, and a failed write.
#include "AppTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QStatusBar>

#include "gui/listout/ListOutputController.h"
#include "gui/shell/BusyPanel.h"
#include "listout/ListTestSupport.h"

namespace qv {
namespace {

const std::string kMd5 = "900150983CD24FB0D6963F7D28E17F72";   // of "abc"
const std::string kMd5Lower = "900150983cd24fb0d6963f7d28e17f72";
using Paths = std::vector<std::string>;

class ListOutputTest : public WindowTest {
protected:
    // Opens the dialog from its menu item, runs body while it is up, then closes it.
    void WithFormatDialog(const std::function<void()>& body)
    {
        QTimer::singleShot(0, window.get(), [this, body] {
            if (!Form()->isVisible()) return ADD_FAILURE() << "dialog not shown";
            body();
            Form()->findChild<QAbstractButton*>(QStringLiteral("CloseBtn"))->click();
        });
        Trigger("SetFileFormat");
    }
    QDialog* Form() const { return window->findChild<QDialog*>(QStringLiteral("TFormatSetForm")); }
    template <class T>
    T* In(const char* name) const
    {
        T* w = Form()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string Line(const char* edit) const { return In<QLineEdit>(edit)->text().toStdString(); }
    void Type(const char* edit, const std::string& text) const { In<QLineEdit>(edit)->setText(QString::fromStdString(text)); }
    bool On(const char* radio) const { return In<QRadioButton>(radio)->isChecked(); }
    void Press(const char* button) const { In<QAbstractButton>(button)->click(); }
    std::string Stat() const { return In<QStatusBar>("Stat")->currentMessage().toStdString(); }
    std::string Caption(const char* action) const { return Action(action)->text().toStdString(); }
};

TEST_F(ListOutputTest, FormatDialogLoadsChecksAndStoresThroughItsControls)
{
    Start();
    EXPECT_EQ(Caption("ListMenu5"), "リスト作成(&5)-MD5 (FileName) = md5...");
    WithFormatDialog([&] {
        EXPECT_EQ(Line("AssignName"), "\"MD5 FileName\"");
        EXPECT_EQ(Line("ExtEdit"), "MD5");
        EXPECT_EQ(Line("Edit2"), "\" \"");
        EXPECT_TRUE(On("CodeGroup1_1") && On("CodeGroup2_0") && On("CodeGroup5_5"));
        EXPECT_EQ(In<QComboBox>("ComboTime")->currentText().toStdString(), "yyyy/mm/dd hh:mm:ss");
        EXPECT_EQ(Stat(), "1番の設定を読み込みました");
        for (const auto& [name, hint] : {std::pair{"AssignList", "選択変更しただけでは内容表示が変わらないので注意"},
                                         {"StoreBtn", "選択された番号の設定を書き換え"},
                                         {"ExtEdit", "ドットを含まない拡張子を入力"},
                                         {"HeaderText2", "先頭にある固定文字列"},
                                         {"Edit5", "第４と第５コード間の固定文字列"},
                                         {"CodeGroup1", "第１と第２文字列間のコード"}})
            EXPECT_EQ(In<QWidget>(name)->toolTip().toStdString(), hint) << name;

        Type("Edit3", "\"x\"");
        Type("Edit5", "\"y\"");
        In<QRadioButton>("CodeGroup2_5")->click();   // 無し ends the line after the third string
        EXPECT_TRUE(On("CodeGroup3_5") && On("CodeGroup4_5") && On("CodeGroup5_5"));
        EXPECT_EQ(Line("Edit3"), "\"x\"");
        EXPECT_EQ(Line("Edit5"), "\"\"");
        In<QRadioButton>("CodeGroup2_1")->click();
        EXPECT_EQ(Stat(), "ＭＤ５が重複して選択されています");
        In<QRadioButton>("CodeGroup2_0")->click();
        Type("Edit2", "\"\"");
        EXPECT_EQ(Stat(), "第１コードと第２コードが離れていません");
        In<QCheckBox>("PathHeader")->click();
        Type("HeaderText2", "\"tail\"");
        In<QCheckBox>("PathHeader")->click();
        EXPECT_EQ(Line("HeaderText2"), "\"\"");

        // Each field's quotes are checked, in the order of the messages.
        for (const auto& [edit, message] : {std::pair{"AssignName", "登録名"}, {"HeaderText1", "ヘッダ第１文字列"},
                                            {"HeaderText2", "ヘッダ第２文字列"}, {"Edit1", "第１文字列"},
                                            {"Edit3", "第３文字列"}, {"Edit4", "第４文字列"}}) {
            Press("LoadBtn");
            Type(edit, "\"a\"b\"");
            Press("StoreBtn");
            EXPECT_EQ(Stat(), std::string(message) + "の引用符が正しくありません");
        }
        EXPECT_EQ(S().settings.ListFormats, DefaultListFormats());

        In<QComboBox>("AssignList")->setCurrentIndex(1);
        Press("LoadBtn");
        Type("AssignName", "\"a\"\"b|&c\" \"ignored\"");
        Type("ExtEdit", "sfv");
        In<QRadioButton>("CodeGroup1_2")->click();
        Press("StoreBtn");
        EXPECT_EQ(Stat(), "2番の設定を書き換えました");
        EXPECT_EQ(In<QComboBox>("AssignList")->itemText(1).toStdString(), "(2)a\"b|&c");
        EXPECT_EQ(Line("AssignName"), "\"a\"\"b|&c\"");
        const ListFormat& stored = S().settings.ListFormats[1];
        EXPECT_EQ(stored.Extension, ".SFV");
        EXPECT_EQ(stored.Codes[0], kFieldCrc);

        // The edits' pop-up menu works on the edit it was opened on, through the clipboard.
        In<QLineEdit>("AssignName")->selectAll();
        Q_EMIT In<QLineEdit>("AssignName")->customContextMenuRequested({1, 1});
        In<QAction>("EditCut")->trigger();
        Q_EMIT In<QLineEdit>("Edit1")->customContextMenuRequested({1, 1});
        In<QAction>("EditPaste")->trigger();
        In<QMenu>("EditMenu")->hide();
        EXPECT_EQ(Line("AssignName"), "");
        EXPECT_EQ(Line("Edit1"), "\"\"\"a\"\"b|&c\"");
    });
    EXPECT_EQ(Caption("ListMenu2"), "リスト作成(&2)-a\"b|&&c...");
    WithFormatDialog([&] {   // every showing starts on format 1
        EXPECT_EQ(In<QComboBox>("AssignList")->currentIndex(), 0);
        EXPECT_EQ(Line("AssignName"), "\"MD5 FileName\"");
    });
}

TEST_F(ListOutputTest, TreeListFromTheMenuHashesTheTreeAndWritesTheChosenFormat)
{
    const std::string a = dir.WriteFile("data/a.txt", "abc"), b = dir.WriteFile("data/sub/b.txt", "abc");
    bool cancelWalk = false;
    Start({}, [&] {
        if (cancelWalk && S().busy.Shown()) Click("CanButton");
    });
    const std::string target = dir.Path("out.txt");
    dialogs.folderAnswers = {dir.Path("data")};
    dialogs.saveAnswers = {{target, 4}};
    Trigger("ListMenu1");
    EXPECT_EQ(dialogs.folderPrompts, Paths{"検索フォルダを指定して下さい\r警告！長時間処理中になります"});
    ASSERT_EQ(dialogs.saveOffers.size(), 1u);
    EXPECT_EQ(dialogs.saveOffers[0].fileName, dir.Path("data/data.MD5"));
    EXPECT_EQ(dialogs.saveOffers[0].filterIndex, 1);
    EXPECT_EQ(dialogs.saveOffers[0].filters[0].description, "リスト書式-1 MD5 FileName(*.MD5)");
    EXPECT_EQ(Hashed(), (Paths{a, b}));
    EXPECT_EQ(TempDir::ReadFile(target), kMd5Lower + "\r\n" + kMd5Lower + "\r\n");
    EXPECT_EQ(Status(), "リスト出力完了" + target);

    Trigger("ListMenu2");   // folder picker cancelled: nothing more is asked
    EXPECT_EQ(dialogs.saveOffers.size(), 1u);
    cancelWalk = true;
    dialogs.folderAnswers = {dir.Path("data")};
    dialogs.saveAnswers = {{target, 0}};
    Trigger("ListMenu1");
    EXPECT_EQ(Status(), "リスト出力は中止されました 履歴件数2件");
    EXPECT_FALSE(S().busy.Shown());
    EXPECT_EQ(TempDir::ReadFile(target), kMd5Lower + "\r\n" + kMd5Lower + "\r\n");
}

TEST_F(ListOutputTest, SelectionListsAndSfvFilesAndAFailedWriteThatKeepsTheOldList)
{
    const std::string a = dir.WriteFile("sel/abc.txt", "abc"), b = dir.WriteFile("sel/b b.txt", "abc");
    Start();
    ListOutputController& lists = window->lists();
    dialogs.saveAnswers = {{dir.Path("sel/x.md5"), 5}};
    lists.CheckFileFormatClick(1, {a, b});
    EXPECT_EQ(dialogs.saveOffers.back().fileName, dir.Path("sel/sel.MD5"));
    EXPECT_EQ(dialogs.saveOffers.back().filters[4].description, "MD5 (FileName) = md5(*.MD5)");
    EXPECT_EQ(TempDir::ReadFile(dir.Path("sel/x.md5")),
              "MD5 (abc.txt) = " + kMd5Lower + "\r\nMD5 (b b.txt) = " + kMd5Lower + "\r\n");
    EXPECT_EQ(Status(), "x.md5(2files) を作成しました");

    const std::string sfv = dir.Path("sel/new.sfv");
    dialogs.saveAnswers = {{sfv, 0}};
    lists.SFVMakeClick({a});
    EXPECT_EQ(dialogs.saveOffers.back().fileName, dir.Path("sel/sel.sfv"));
    EXPECT_NE(TempDir::ReadFile(sfv).find("\r\n;\r\n;              3  "), std::string::npos);
    EXPECT_EQ(TempDir::ReadFile(sfv).substr(TempDir::ReadFile(sfv).size() - 18), "abc.txt 352441C2\r\n");

    lists.CheckFileFormatClick(2, {});
    EXPECT_EQ(Status(), "ファイルが選択されていません");
    dialogs.saveAnswers = {{"", 0}, {"", 0}};
    lists.CheckFileFormatClick(2, {a});
    EXPECT_EQ(Status(), "比較ファイル作成処理が中止されました");
    lists.SFVMakeClick({a});
    EXPECT_EQ(Status(), "SFVファイル作成処理が中止されました");

    const std::string old = dir.WriteFile("sel/old.sfv", "old list");
    dialogs.saveAnswers = {{old, 0}};
    prompts.Push(Answer::Ok);
    {
        const test::FileSizeLimit limit(4);
        lists.SFVMakeClick({a, b});
    }
    EXPECT_EQ(TempDir::ReadFile(old), "old list");
    ASSERT_FALSE(prompts.shown().empty());
    EXPECT_EQ(prompts.shown().back().text, old + "\rFile too large");
    EXPECT_EQ(prompts.shown().back().icon, BoxIcon::Error);
    EXPECT_EQ(Status(), "");
}

}  // namespace
}  // namespace qv
