// The help menu (the manual in the desktop's browser, the version box, the project's page),
// and a start by the desktop with one list (loaded) or several files (hashed).
#include "AppTestSupport.h"

#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QUrl>

namespace qv {

namespace {

class HelpTest : public WindowTest {
protected:
    OpenedUrls opened;
    std::string ViewerText() const { return Find<QPlainTextEdit>("ClipViewer")->toPlainText().toStdString(); }
};

TEST_F(HelpTest, HelpOpensTheShippedManualOrSaysItIsMissingAndAboutShowsTheVersion)
{
    Start();
    EXPECT_EQ(Action("HelpCall")->shortcut(), QKeySequence(Qt::Key_F1));
    const std::string manual = JoinPath(Shipped(), "manual/index.html");
    prompts.SetDefaultAnswer(Answer::Ok);
    Trigger("HelpCall");
    EXPECT_EQ(prompts.LastText(), "ヘルプファイルが見つかりません\r" + manual);
    dir.WriteFile("shipped/manual/index.html", "<html></html>");
    Trigger("HelpCall");
    EXPECT_EQ(opened.urls, std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(manual))});
    // The program run from the build finds its own manual the same way.
    EXPECT_TRUE(FileExists(JoinPath(FolderOf(QV_PROGRAM_PATH), "data/manual/index.html")));

    Trigger("About1");
    ASSERT_EQ(prompts.shown().size(), 2u);
    const ScriptedPrompts::Shown& box = prompts.shown().back();
    EXPECT_EQ(box.title, "Quenvarlith");
    EXPECT_EQ(box.text.rfind("Quenvarlith V1.08D\r\rV1.08D", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("\rデータフォルダ\t" + Home()), std::string::npos);
}

TEST_F(HelpTest, TheHomePageItemExistsExactlyWhenAPageIsConfigured)
{
    for (const std::string page : {"", "https://example.org/quenvarlith"}) {
        SCOPED_TRACE(page);
        homePage = page;
        Start();
        auto* item = window->findChild<QAction*>(QStringLiteral("HomePageCall"));
        ASSERT_EQ(item != nullptr, !page.empty());
        if (!item) continue;
        item->trigger();
        ASSERT_EQ(opened.urls.size(), 1u);
        EXPECT_EQ(opened.urls[0].toString().toStdString(), page);
    }
}

TEST_F(HelpTest, TheDesktopOpeningOneListLoadsItAndSeveralFilesAreHashed)
{
    // As a file manager names them: absolute, with blanks, Japanese and an upper-case extension.
    const std::string list = dir.WriteFile("受信 フォルダ/リリース 一覧.SFV", "abc.bin 352441C2\r\n");
    const std::string file = dir.WriteFile("受信 フォルダ/abc.bin", "abc");
    Start({list});
    ASSERT_TRUE(WaitFor([&] { return ViewerText() == "abc.bin 352441C2\n"; })) << ViewerText();
    EXPECT_LT(IndexOf(list), 0);

    Start({file, list});
    EXPECT_GE(IndexOf(file), 0);
    EXPECT_GE(IndexOf(list), 0);
}

}  // namespace
}  // namespace qv

