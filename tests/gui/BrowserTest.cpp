// The list frame in the window: the folder list, the file view's rows, sorting, widths and
// masks, the selection commands, hashing from the view and the two bulk checks.
#include "BrowserSupport.h"

#include <QComboBox>
#include <QScrollBar>

#include <regex>

namespace qv {
namespace {

const std::string kAbcCrc = "352441C2";
const std::string kAbcMd5 = "900150983CD24FB0D6963F7D28E17F72";

TEST_F(BrowserTest, FolderListKeepsThePathKeyOrderAndItsSettings)
{
    const std::string b = dir.WriteFile("b/f", "1"), a = dir.WriteFile("A/f", "2"), a2 = dir.WriteFile("a2/f", "3");
    StartAndDrop({b, a, a2});
    auto* list = Find<QComboBox>("FolderList");
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{dir.Path("A"), dir.Path("a2"), dir.Path("b")}));
    EXPECT_EQ(list->maxVisibleItems(), S().settings.FolderListDropDownCount);
    ShowFolder(dir.Path("a2"));
    EXPECT_EQ(list->toolTip().toStdString(), dir.Path("a2"));
    EXPECT_EQ(Column(0), std::vector<std::string>{"f"});
}

TEST_F(BrowserTest, RowsShowCodesOnlyWhileTheRecordIsValidAndFollowTheMask)
{
    const std::string abc = dir.WriteFile("f/abc.txt", "abc");
    const std::string changed = dir.WriteFile("f/changed.txt", "b");
    const std::string ro = dir.WriteFile("f/ro.txt", "abc");
    dir.WriteFile("f/.hidden", "h");
    dir.WriteFile("f/never.txt", "n");
    ::chmod(ro.c_str(), 0444);
    StartAndDrop({abc, changed, ro});
    dir.WriteFile("f/changed.txt", "longer");
    ShowFolder(dir.Path("f"));

    EXPECT_EQ(Column(0), (std::vector<std::string>{"abc.txt", "changed.txt", "never.txt", "ro.txt"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"3", "6", "1", "3"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{kAbcCrc, "", "", kAbcCrc}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{kAbcMd5, "", "", kAbcMd5}));
    EXPECT_EQ(Column(4), (std::vector<std::string>{"-----A", "-----A", "-----A", "R----A"}));
    EXPECT_TRUE(std::regex_match(Cell(0, 5), std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)"))) << Cell(0, 5);
    EXPECT_EQ(View()->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::AlignRight);
    EXPECT_EQ((std::vector<std::string>{Header(0), Header(1), Header(2), Header(3), Header(4), Header(5)}),
              (std::vector<std::string>{"ファイル名▽", "サイズ", "ＣＲＣ", "ＭＤ５", "属性", "更新日時"}));
    EXPECT_EQ(Status(), "4ファイル有ります");

    // Each restriction item flips its tick and the mask; the refresh lists what it admits, and
    // a read-only file whatever the mask says.
    EXPECT_EQ(S().settings.FileAttrMask, 33u);
    const struct {
        const char* item;
        uint32_t mask;
        size_t rows;
    } steps[] = {{"FileAttr_H", 35, 5}, {"FileAttr_S", 39, 5}, {"FileAttr_R", 38, 5}, {"FileAttr_R", 39, 5}};
    for (const auto& step : steps) {
        Trigger(step.item);
        Trigger("FListRefresh");
        EXPECT_EQ(S().settings.FileAttrMask, step.mask) << step.item;
        EXPECT_EQ(Column(0).size(), step.rows) << step.item;
    }
    EXPECT_FALSE(Action("FileAttr_H")->isChecked());
    Trigger("FolderAttr_R");
    EXPECT_EQ(S().settings.FolderAttrMask, 48u);
    EXPECT_TRUE(Action("FolderAttr_R")->isChecked());
}

TEST_F(BrowserTest, HeaderClicksSortAndColumnsFitOrKeepTheirWidth)
{
    const struct {
        const char* name;
        size_t size;
    } files[] = {{"a", 1000}, {"b", 9}, {"c", 100}, {"d", 10}};
    for (const auto& f : files) dir.WriteFile(std::string("f/") + f.name, std::string(f.size, 'x'));
    StartAndDrop({dir.Path("f/a")});
    ShowFolder(dir.Path("f"));
    Select({"c"});
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b", "d", "c", "a"}));
    EXPECT_EQ(Header(1), "サイズ▽");
    EXPECT_EQ(Header(0), "ファイル名");
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"c"});
    ClickHeader(2);   // empty codes first, then by the code
    EXPECT_EQ(Column(0).back(), "a");
    ClickHeader(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "c", "d"}));

    // The name column starts at its kept width; a ticked column fits its text, an unticked one
    // keeps the width it is given, and that width is what the settings file keeps.
    QHeaderView* header = View()->horizontalHeader();
    EXPECT_EQ(header->sectionSize(0), S().settings.FileNameWidthFixable);
    const int md5Text = View()->fontMetrics().horizontalAdvance(QString::fromStdString(Md5Of(dir.Path("f/a"))));
    EXPECT_GE(header->sectionSize(3), md5Text);
    EXPECT_LT(header->sectionSize(3), md5Text + 40);
    Trigger("AdjustMD5");
    header->resizeSection(3, 77);
    View()->resize(View()->width() + 10, View()->height());
    EXPECT_EQ(header->sectionSize(3), 77);
    EXPECT_EQ(S().settings.Md5WidthFixable, 77);
}

TEST_F(BrowserTest, SelectionCommands)
{
    for (const char* name : {"a.cpp", "b.c", "c.txt", "d.TXT", "e", "f.md"}) dir.WriteFile(std::string("f/") + name, name);
    StartAndDrop({dir.Path("f/a.cpp"), dir.Path("f/e")});
    ShowFolder(dir.Path("f"));
    using Names = std::vector<std::string>;
    const struct {
        const char* command;
        Names before, after;
    } cases[] = {
        {"SameExt", {"a.cpp"}, {"a.cpp", "b.c"}},   // a substring rule: .CPP brings .C
        {"SameExt", {"c.txt"}, {"c.txt", "d.TXT"}},
        {"SameExt", {"b.c", "e"}, {"b.c", "e"}},
        {"FListNoCalc", {"a.cpp"}, {"b.c", "c.txt", "d.TXT", "f.md"}},
        {"FListSelectAll", {}, {"a.cpp", "b.c", "c.txt", "d.TXT", "e", "f.md"}},
        {"FListResetAll", {"b.c"}, {}},
    };
    for (const auto& c : cases) {
        Select(c.before);
        Trigger(c.command);
        EXPECT_EQ(SelectedNames(), c.after) << c.command;
    }
    Select({});
    S().status.SetStatus("");
    Trigger("SameExt");
    EXPECT_EQ(Status(), "ファイルが選択されていません");
}

TEST_F(BrowserTest, HashingFromTheView)
{
    const std::string a = dir.WriteFile("f/a", "a"), b = dir.WriteFile("f/b", "b"), c = dir.WriteFile("f/c", "c");
    StartAndDrop({a});
    ShowFolder(dir.Path("f"));
    source.Clear();

    // Selected files are read again, a deleted one left out, and the view shows the result.
    Select({"a", "b", "c"});
    std::remove(c.c_str());
    Trigger("FListSelectCalc");
    EXPECT_EQ(Hashed(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Cell(1, 2), CrcOf(b));
    EXPECT_EQ(S().pages.CurrentView(), View::List);

    // A double click acts on one selected file only.
    source.Clear();
    Select({"a", "b"});
    Q_EMIT View()->doubleClicked(View()->model()->index(0, 0));
    EXPECT_TRUE(Hashed().empty());
    DoubleClickRow(1);
    EXPECT_TRUE(WaitFor([this] { return Idle(); }));
    EXPECT_EQ(Caption(), b);
    EXPECT_TRUE(Shown("MainPanel"));

    Select({});
    Trigger("FListSelectCalc");
    EXPECT_EQ(Status(), "ファイルが選択されていません");
}

TEST_F(BrowserTest, RereadKeepsThePickAndTheScrollPosition)
{
    std::vector<std::string> files;
    for (int i = 0; i < 100; ++i) files.push_back(dir.WriteFile("f/" + std::to_string(1000 + i), "x"));
    StartAndDrop({files[0]});
    ShowFolder(dir.Path("f"));
    Select({"1090"});
    View()->scrollToBottom();
    const int scrolled = View()->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    Trigger("FListRefresh");
    EXPECT_EQ(View()->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(S().files.SelectedPaths(), std::vector<std::string>{files[90]});
}

TEST_F(BrowserTest, ListsOfTheSelectionFromThePopup)
{
    const std::string a = dir.WriteFile("f/a", "abc"), b = dir.WriteFile("f/b", "abc");
    dir.WriteFile("f/c", "not selected");
    StartAndDrop({a});
    ShowFolder(dir.Path("f"));
    EXPECT_EQ(Action("CheckFileFormat5")->text().toStdString(), "(&5)MD5 (FileName) = md5...");
    Select({"a", "b"});
    dialogs.saveAnswers = {{dir.Path("sel.md5"), 0}, {dir.Path("sel.sfv"), 0}};
    Trigger("CheckFileFormat5");   // the unlisted file b is hashed first
    const std::string md5 = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_EQ(TempDir::ReadFile(dir.Path("sel.md5")), "MD5 (a) = " + md5 + "\r\nMD5 (b) = " + md5 + "\r\n");
    Select({"a", "b"});   // hashing reread the view
    Trigger("SFVMake");
    const std::string sfv = TempDir::ReadFile(dir.Path("sel.sfv"));
    EXPECT_NE(sfv.find("a 352441C2\r\nb 352441C2\r\n"), std::string::npos) << sfv;
}

TEST_F(BrowserTest, BadNamesAndVanishedFolders)
{
    const std::string bad = dir.WriteFile("f/bad\xff.bin", "abc");
    const std::string ok = dir.WriteFile("f/ok", "ok");
    StartAndDrop({ok});
    ShowFolder(dir.Path("f"));
    ASSERT_EQ(Cell(0, 0), "bad\xef\xbf\xbd.bin");
    DoubleClickRow(0);
    EXPECT_TRUE(WaitFor([this] { return Idle(); }));
    EXPECT_NE(IndexOf(bad), -1);   // hashed by its real bytes
    EXPECT_EQ(S().frame.Caption(), bad);   // the bytes, though the title shows U+FFFD
    EXPECT_EQ(Caption(), dir.Path("f/bad\xef\xbf\xbd.bin"));
    EXPECT_EQ(Text("XCRC_32"), kAbcCrc);

    std::remove(bad.c_str());
    std::remove(ok.c_str());
    ::rmdir(dir.Path("f").c_str());
    ShowFolder(dir.Path("f"));
    EXPECT_TRUE(Column(0).empty());
    EXPECT_EQ(Status(), "0ファイル有ります");
    EXPECT_EQ(S().history.Count(), 2);
}

TEST_F(BrowserTest, FileIconAndEnterLeadBetweenTheViews)
{
    const std::string a = dir.WriteFile("one/a", "same"), b = dir.WriteFile("one/b", "same");
    StartAndDrop({a, b});
    const std::string shown = NameOf(Caption());
    DoubleClick("FileIcon");
    EXPECT_EQ(S().pages.CurrentView(), View::List);
    EXPECT_EQ(S().folders.SelectedFolder(), dir.Path("one"));
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{shown});
    EXPECT_EQ(Cell(View()->currentIndex().row(), 0), shown);
    // With the duplicate mark shown, Enter in the file view leads to the duplicate list.
    View()->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(View(), &enter);
    EXPECT_EQ(S().pages.CurrentView(), View::Dup);
}

TEST_F(BrowserTest, BulkCheckMarksEveryRowAndTheComparisonText)
{
    const std::string a = dir.WriteFile("f/a.txt", "abc");
    const std::string b = dir.WriteFile("f/b.bin", "b"), c = dir.WriteFile("f/c.bin", "c");
    const std::string d = dir.WriteFile("f/d.bin", "d"), e = dir.WriteFile("f/e.bin", "e");
    StartAndDrop({a, b, c, d});
    ShowFolder(dir.Path("f"));
    source.Clear();
    QGuiApplication::clipboard()->setText(
        QString::fromStdString("a.txt 352441c2\r\nx " + Md5Of(b) + "\r\ny " + CrcOf(c) + "\r\nd.bin\r\n"));
    sounds.played.clear();
    Trigger("AllCheck");
    EXPECT_EQ(Hashed(), std::vector<std::string>{e});   // hashed first, quietly
    EXPECT_EQ(Cell(4, 2), CrcOf(e));
    EXPECT_EQ(ShownMarks(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Status(), "一括チェック完了  Hash&Name[1] CRC[1] MD5[1]");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"TADA.WAV"});
    EXPECT_EQ(ViewerMarks(), (std::vector<std::string>{"a.txt", "352441c2", Md5Of(b), CrcOf(c), "d.bin"}));

    QGuiApplication::clipboard()->setText(QString());
    sounds.played.clear();
    Trigger("AllCheck");
    EXPECT_EQ(ShownMarks(), (std::vector<int>{4, 4, 4, 4, 4}));
    EXPECT_EQ(Status(), "一括チェック完了  Hash&Name[0] CRC[0] MD5[0]");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"CHORD.WAV"});
    // The next reading puts the file icons back.
    Trigger("FListRefresh");
    EXPECT_EQ(ShownMarks(), (std::vector<int>{-1, -1, -1, -1, -1}));
    EXPECT_FALSE(View()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    Trigger("FileListIconView");
    EXPECT_TRUE(View()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(Status(), "処理ファイル一覧にアイコンを表示しません");
}

TEST_F(BrowserTest, BulkDuplicateCheckLooksAcrossTheWholeHistory)
{
    const std::string alone = dir.WriteFile("f/alone", "y");
    dir.WriteFile("f/same1", "x");
    dir.WriteFile("f/same2", "x");
    dir.WriteFile("f/twin", "z");
    const std::string elsewhere = dir.WriteFile("g/twin", "z");
    StartAndDrop({alone, elsewhere});
    ShowFolder(dir.Path("f"));
    sounds.played.clear();
    Trigger("B1");
    EXPECT_EQ(ShownMarks(), (std::vector<int>{4, 0, 0, 0}));
    EXPECT_EQ(Status(), "一括重複チェック完了  重複件数 3件");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"NOTIFY.WAV"});

    // A stopped hashing pass skips the comparison.
    dir.WriteFile("f/new", "n");
    Trigger("FListRefresh");
    QTimer::singleShot(0, window.get(), [this] { Click("CanButton"); });
    Trigger("B1");
    EXPECT_EQ(Status(), "一括チェックが中止されました");
}

TEST_F(BrowserTest, DeletingSelectedFilesKeepsWhatStays)
{
    const std::string a = dir.WriteFile("f/a", "a"), b = dir.WriteFile("f/b", "b"), ro = dir.WriteFile("f/ro", "r");
    ::chmod(ro.c_str(), 0444);
    StartAndDrop({a, b, ro});
    ShowFolder(dir.Path("f"));

    Select({"a", "ro"});
    prompts.Push(Answer::Yes).Push(Answer::No);
    Trigger("FListFileDel");
    EXPECT_EQ(prompts.MessageTexts().front(), "選択されている 2件のファイルを削除します\rよろしいですか");
    EXPECT_TRUE(FileExists(Trashed("a")));
    EXPECT_EQ(IndexOf(a), -1);
    EXPECT_NE(IndexOf(ro), -1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b", "ro"}));
    EXPECT_EQ(Status(), "ファイルを削除しました");

    // The trash refuses a name Qt cannot hand over: file, record and row stay; the user is told.
    const std::string bad = dir.WriteFile("f/bad\xff", "x");
    DropAndWait({bad});
    ShowFolder(dir.Path("f"));
    Select({"bad\xef\xbf\xbd"});
    prompts.Push(Answer::Yes).Push(Answer::Ok);
    Trigger("FListFileDel");
    EXPECT_NE(prompts.LastText().find("ごみ箱へ移動出来ませんでした"), std::string::npos);
    EXPECT_TRUE(FileExists(bad));
    EXPECT_NE(IndexOf(bad), -1);
    EXPECT_EQ(Column(0).size(), 3u);
    EXPECT_EQ(Status(), "削除を中止しました");
}

}  // namespace
}  // namespace qv
