// Verification in the window: the matching pass on the real viewer (marks, code colours,
// status, sound), the clipboard route, comparison and PAR files, and code navigation.
#include "AppTestSupport.h"

#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include "gui/shell/Theme.h"
#include "gui/verify/ClipViewer.h"
#include "support/Par2Set.h"

namespace qv {
namespace {

const std::string kCrc = "352441C2";   // of "abc"
const std::string kMd5 = "900150983CD24FB0D6963F7D28E17F72";
const std::string kNone = "クリップボードに一致したコードは有りません";

class VerifyTest : public WindowTest {
protected:
    QPlainTextEdit* Viewer() const { return Find<QPlainTextEdit>("ClipViewer"); }
    // Hashes in/abc.bin and forgets the sounds of the start.
    std::string ShowAbc()
    {
        const std::string f = dir.WriteFile("in/abc.bin", "abc");
        if (!window) Start();
        DropAndWait({f});
        sounds.played.clear();
        return f;
    }
    static void Clip(const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); }
    static std::string ClipText() { return QGuiApplication::clipboard()->text().toStdString(); }
    std::string ViewerText() const { return Viewer()->toPlainText().toStdString(); }
    bool Picked(const char* field) const
    {
        return Find<QLabel>(field)->palette().color(QPalette::WindowText) == ToQColor(S().settings.PickupColor);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QKeyEvent e(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(Viewer(), &e);
    }
    std::string Selected() const { return Viewer()->textCursor().selectedText().toStdString(); }
    void OpenText(const std::string& path)
    {
        dialogs.answers.push_back({path});
        Trigger("OpenText");
    }
};

TEST_F(VerifyTest, TextOnTheClipboardAtStartIsComparedUnlessTheViewerStandsAlone)
{
    Clip("abc.bin " + kMd5 + "\n");
    ShowAbc();
    EXPECT_EQ(Status(), "ＭＤ５が一致しました");
    CloseAndDestroy();

    dir.WriteFile("home/Quenvarlith.ini", "[ClipViewer]\r\nAsynchronous Clipboard=1\r\n");
    Start();
    EXPECT_EQ(ViewerText(), "");
}

TEST_F(VerifyTest, MatchingMarksTheViewerColoursTheCodesAndPlaysItsSound)
{
    const std::string f = dir.WriteFile("in/abc.bin", "abc");
    StartAndDrop({f});
    EXPECT_EQ(Status(), "検査対象ファイルを読込ませて下さい");   // nothing to compare with: no sound
    EXPECT_TRUE(sounds.played.empty());

    const struct {
        std::string clip, status;
        std::vector<std::string> marks;
        bool crc, md5;
        std::string sound;
    } cases[] = {
        {"abc.bin " + std::string("900150983cd24fb0d6963f7d28e17f72\n"), "ＭＤ５が一致しました",
         {"abc.bin", "900150983cd24fb0d6963f7d28e17f72"}, false, true, "TADA.WAV"},
        // Inside a longer hex run, and twice.
        {"ff352441c2ff " + kCrc, "ＣＲＣが一致しました", {"352441c2", kCrc}, true, false, "TADA.WAV"},
        // Places behind CR LF pairs, a character outside the BMP and full-width text.
        {"😀ＡＢＣ\r\n\r\nabc.bin\t352441c2 " + kMd5, "ＣＲＣとＭＤ５が一致しました", {"abc.bin", "352441c2", kMd5},
         true, true, "TADA.WAV"},
        {"only abc.bin here", kNone, {"abc.bin"}, false, false, "CHORD.WAV"},
    };
    for (const auto& c : cases) {
        sounds.played.clear();
        Clip(c.clip);
        EXPECT_EQ(Status(), c.status) << c.clip;
        EXPECT_EQ(ViewerMarks(), c.marks) << c.clip;
        EXPECT_EQ(Picked("XCRC_32"), c.crc) << c.clip;
        EXPECT_EQ(Picked("XMD5"), c.md5) << c.clip;
        EXPECT_EQ(sounds.played, std::vector<std::string>{c.sound}) << c.clip;
        EXPECT_EQ(Viewer()->textCursor().position(), 0);
    }

    // The switches re-mark at once; a code found unmarked still counts.
    Clip("abc.bin " + kCrc);
    Trigger("CloseupCRC");
    EXPECT_FALSE(S().settings.CloseupCRC);
    EXPECT_EQ(ViewerMarks(), std::vector<std::string>{"abc.bin"});
    EXPECT_EQ(Status(), "ＣＲＣが一致しました");
    EXPECT_TRUE(Picked("XCRC_32"));
    Trigger("CloseupFileName");
    EXPECT_TRUE(ViewerMarks().empty());
    // New text starts unmarked, whatever the old one carried at its start.
    Trigger("CloseupFileName");
    Clip("abc.bin");
    Clip("plain");
    EXPECT_TRUE(ViewerMarks().empty());
    S().settings.ViewerMaxLength = 5;   // never more than the viewer holds, nor half a line break
    Clip("abcd\r\nxyz");
    EXPECT_EQ(ViewerText(), "abcd");
}

TEST_F(VerifyTest, OwnClipboardWritesReloadTheViewerOnceAndTheAsyncModeWaitsForPaste)
{
    ShowAbc();
    Trigger("PopCopyCRC");
    EXPECT_EQ(ViewerText(), kCrc);
    EXPECT_EQ(ClipText(), kCrc);
    // One reload (its match sound), then the copy's own status and sound.
    EXPECT_EQ(sounds.played, (std::vector<std::string>{"TADA.WAV", "CHIMES.WAV"}));
    EXPECT_EQ(Status(), "ＣＲＣをクリップボードにコピーしました");

    Viewer()->selectAll();
    sounds.played.clear();
    Trigger("CopyArea");
    EXPECT_EQ(ClipText(), kCrc);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"TADA.WAV"});

    EXPECT_FALSE(Action("PasteClipboard")->isEnabled());
    Trigger("AsyncClipboard");
    EXPECT_TRUE(Action("PasteClipboard")->isEnabled());
    EXPECT_TRUE(Action("PasteClipboard2")->isEnabled());
    Clip(kMd5);
    EXPECT_EQ(ViewerText(), kCrc);
    Trigger("PasteClipboard2");
    EXPECT_EQ(ViewerText(), kMd5);
    EXPECT_EQ(Status(), "ＭＤ５が一致しました");

    // A clipboard holding only an image changes nothing, by paste or by mirroring.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(image);
    Trigger("PasteClipboard");
    Trigger("AsyncClipboard");
    QGuiApplication::clipboard()->setImage(image);
    EXPECT_EQ(ViewerText(), kMd5);
}

TEST_F(VerifyTest, ComparisonAndParFilesLoadByMenuOrAloneAndBadOnesAreRefusedClearly)
{
    ShowAbc();

    prompts.SetDefaultAnswer(Answer::Ok);
    const std::string big = dir.WriteFile("lists/big.txt", std::string(39990, 'a') + "\r\n" + kCrc);
    OpenText(big);
    EXPECT_EQ(Status(), "読み込み出来る上限サイズを超えています (40,000byte)");
    EXPECT_EQ(ViewerText(), "");
    DropAndWait({big});
    EXPECT_EQ(ClipText().size(), 40000u);   // through the clipboard, with this desktop's line ends
    EXPECT_EQ(Status(), "ＣＲＣが一致しました");
    // A PAR file's report arrives through the clipboard and is matched.
    DropAndWait({dir.WriteFile("set/abc.par2", test::Par2Naming(kMd5, "abc.bin"))});
    EXPECT_NE(ClipText().find("PAR 2.0 FileDesc"), std::string::npos);
    EXPECT_NE(ViewerText().find("MD5     = " + kMd5 + "   File Name = abc.bin"), std::string::npos);
    EXPECT_EQ(Status(), "ＭＤ５が一致しました");
    EXPECT_EQ(ViewerMarks(), (std::vector<std::string>{kMd5, "abc.bin"}));

    Trigger("ExtMd5");
    Trigger("ExtTxt");
    const std::string md5 = dir.WriteFile("lists/abc.md5", kMd5 + " *abc.bin\r\n");
    OpenText(md5);
    EXPECT_EQ(ViewerText(), kMd5 + " *abc.bin\n");
    const size_t records = S().history.Count();
    DropAndWait({md5});
    EXPECT_EQ(S().history.Count(), records + 1);   // hashed like any file
    DropAndWait({big});
    EXPECT_EQ(S().history.Count(), records + 2);

    OpenText(dir.WriteFile("lists/readme.doc", "x"));
    EXPECT_EQ(Status(), "読み込み出来る拡張子ではありません (.doc)");
    // Why a file cannot be read is the loader's to say; the window shows it in an error box.
    OpenText(dir.Path("lists/gone.csv"));
    EXPECT_EQ(prompts.LastText().rfind("ファイルを読み込めませんでした\r" + dir.Path("lists/gone.csv"), 0), 0u);
    EXPECT_EQ(prompts.shown().back().icon, BoxIcon::Error);

    // Extra extensions admit their prefixes too; a quiet batch always hashes.
    prompts.PushInput(".list");
    Trigger("OptionExtInput");
    EXPECT_EQ(S().settings.ExtOption, ".LIST");
    EXPECT_EQ(Status(), "Text比較追加拡張子 = .LIST");
    DropAndWait({dir.WriteFile("lists/a.li", "abc.bin\r\n")});
    EXPECT_EQ(ViewerText(), "abc.bin\n");
    const std::string sfv = dir.WriteFile("lists/quiet.sfv", "q");
    TheDriver().Enqueue(sfv);
    TheDriver().ProcessFiles(Recalc::No, Quiet::Yes);
    EXPECT_GE(IndexOf(sfv), 0);
    EXPECT_EQ(ViewerText(), "abc.bin\n");
}

TEST_F(VerifyTest, TabWalksTheCodesAndOtherKeysNeverEdit)
{
    Start();
    const std::string text = "name1.bin 1A2B3C4D 00112233445566778899AABBCCDDEEFF\r\n"
                             "nine 123456789 sixteen 0123456789ABCDEF\r\nname2 deadbeef\r\nlast 89ABCDEF";
    Clip(text);
    for (const char* code : {"1A2B3C4D", "00112233445566778899AABBCCDDEEFF", "deadbeef"}) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(Selected(), code);
    }
    EXPECT_TRUE(Action("LogSearch")->isEnabled());
    EXPECT_TRUE(Action("CopyArea")->isEnabled());
    Key(Qt::Key_Tab);   // the last code has nothing after it
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_EQ(Selected(), "deadbeef");
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "00112233445566778899AABBCCDDEEFF");
    Key(Qt::Key_End);
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "89ABCDEF");

    Key(Qt::Key_X);
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(ClipText(), text);
    QString shown = QString::fromStdString(text);
    EXPECT_EQ(Viewer()->toPlainText(), shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    Key(Qt::Key_Home);
    EXPECT_FALSE(Action("CopyArea")->isEnabled());
    QTextCursor c = Viewer()->textCursor();
    c.setPosition(0);
    c.setPosition(8, QTextCursor::KeepAnchor);   // "name1.bi"
    Viewer()->setTextCursor(c);
    EXPECT_TRUE(Action("CopyArea")->isEnabled());
    EXPECT_FALSE(Action("LogSearch")->isEnabled());
}

TEST_F(VerifyTest, FindWrapsAroundAndHistorySearchShowsTheRecord)
{
    const std::string f = ShowAbc();
    Clip("x 900150983cd24fb0d6963f7d28e17f72 deadbeef " + kMd5);
    for (int start : {2, 44, 2}) {
        Trigger("MD5M2");
        EXPECT_EQ(Viewer()->textCursor().selectionStart(), start);
        EXPECT_EQ(Status(), "見つかりました 検索キー:" + kMd5);
    }
    Trigger("N5");
    EXPECT_EQ(Status(), "見つかりませんでした 検索キー:abc.bin");

    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);   // deadbeef: remembered by no file
    sounds.played.clear();
    Trigger("LogSearch");
    EXPECT_EQ(Status(), "履歴の中に該当ハッシュコードのものは有りません");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"CHORD.WAV"});

    // After a cancelled batch the record found is still shown, as if just hashed.
    const std::string other = dir.WriteFile("in/other.bin", "other");
    QTimer::singleShot(0, window.get(), [&] { Click("CanButton"); });
    DropAndWait({other, dir.WriteFile("in/more.bin", "more")});
    Trigger("CallClipViewer");
    Key(Qt::Key_Home);
    Key(Qt::Key_Tab);
    Trigger("LogSearch");
    EXPECT_EQ(Status(), "見つかりました MD5:" + kMd5);
    EXPECT_EQ(Caption(), f);
    EXPECT_TRUE(Shown("MainPanel"));
    EXPECT_TRUE(Picked("XMD5"));
}

TEST_F(VerifyTest, ScrollKeysWheelAndWrapFollowTheSettings)
{
    Start();
    Trigger("CallClipViewer");
    std::string text;
    for (int i = 0; i < 300; ++i) text += std::to_string(i) + std::string(400, '.') + "\n";
    Clip(text);
    QScrollBar* v = Viewer()->verticalScrollBar();
    QScrollBar* h = Viewer()->horizontalScrollBar();
    const auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Viewer()->viewport(), &e);
    };
    const auto middle = [&] {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(Viewer()->viewport(), &e);
    };
    wheel(-240);
    EXPECT_EQ(v->value(), 2);   // one line per notch
    Key(Qt::Key_PageDown);
    const int paged = v->value();
    EXPECT_GE(paged, 2 + v->pageStep() - 1);   // a page, less the line kept in view
    middle();
    EXPECT_EQ(Viewer()->viewport()->cursor().shape(), Qt::SizeHorCursor);
    wheel(-120);
    EXPECT_EQ(v->value(), paged);
    EXPECT_GT(h->value(), 0);
    Key(Qt::Key_End);
    EXPECT_EQ(v->value(), v->maximum());
    Key(Qt::Key_Home);
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(h->value(), 0);

    Trigger("W1");
    EXPECT_TRUE(S().settings.WordWrap);
    EXPECT_TRUE(Action("WordWrap1")->isChecked());
    EXPECT_EQ(Viewer()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    middle();   // no horizontal mode with wrapped lines
    EXPECT_EQ(Viewer()->viewport()->cursor().shape(), Qt::SizeHorCursor);
    Trigger("WheelScroll");
    EXPECT_EQ(Viewer()->viewport()->cursor().shape(), Qt::IBeamCursor);
}

// Every character of the text sits at the document position the core computes for it, and
// the way back gives the same byte offset.
TEST(ViewerPositions, CorePositionsAgreeWithTheRealDocument)
{
    Settings settings;
    ScriptedPrompts prompts;
    QWidget parent;
    ClipViewer viewer(settings, prompts, &parent);
    for (const std::string text :
         {"a\r\nb\r\n", "😀x\r\n\r\nＡＢＣ😀\r\n", "x\ry\nz\u2029w\u2028v", "\r\n\r\n𠮷野家\tend"}) {
        viewer.SetText(text);
        const ComparisonText& core = viewer.Comparison();
        const QTextDocument& doc = *viewer.Widget()->document();
        EXPECT_EQ(core.DocumentLength(), doc.characterCount() - 1) << text;
        for (size_t o = 0; o < text.size();) {
            const auto lead = static_cast<unsigned char>(text[o]);
            const size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            const int at = core.DocumentPosition(o);
            if (text.compare(o, 2, "\r\n") == 0) {
                EXPECT_EQ(doc.characterAt(at), QChar(QChar::ParagraphSeparator)) << text << " @" << o;
                EXPECT_EQ(core.DocumentPosition(o + 2), at + 1);
                o += 2;
                continue;
            }
            QString expected = QString::fromUtf8(text.substr(o, bytes));
            if (expected == QStringLiteral("\r") || expected == QStringLiteral("\n"))
                expected = QChar(QChar::ParagraphSeparator);
            for (qsizetype u = 0; u < expected.size(); ++u)
                EXPECT_EQ(doc.characterAt(at + static_cast<int>(u)), expected[u]) << text << " @" << o;
            EXPECT_EQ(core.TextOffset(at), o);
            o += bytes;
        }
    }
}

}  // namespace
}  // namespace qv
