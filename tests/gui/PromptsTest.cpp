// The real dialogs behind the prompts seam: the message box's copy key, the save dialog's
// filter and read-only rules, the folder picker's prompt, and the sound chooser's three
// promises (only .wav, preview, full path).
#include "AppTestSupport.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "gui/shell/QtPrompts.h"

namespace qv {
namespace {

TEST(QtPromptsTest, CtrlCCopiesTheReportOfAnOpenBox)
{
    QApplication::clipboard()->clear();
    QtPrompts prompts(nullptr);
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->activateWindow();   // a window shortcut: the box must be the active window
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        box->accept();
    });
    prompts.Message("Quenvarlith", "エラー情報\r\rファイル名\ta.bin", Buttons::Ok, BoxIcon::None);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("エラー情報\n\nファイル名\ta.bin"));
}

TEST(SaveDialog, OffersTheFilterAndNameReturnsTheChosenFilterAndRefusesReadOnlyFiles)
{
    TempDir dir;
    const std::string locked = dir.WriteFile("locked.MD5", "x");
    ::chmod(locked.c_str(), 0444);
    QtPrompts prompts;
    std::string offeredName, offeredFilter;
    bool refused = false;
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = nullptr;
        WaitFor([&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); });
        if (!dialog) return ADD_FAILURE() << "no save dialog";
        offeredName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text().toStdString();
        offeredFilter = dialog->selectedNameFilter().toStdString();
        QTimer::singleShot(0, [&] {   // the refusal's box
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            refused = box && box->text().contains(QStringLiteral("読み取り専用"));
            if (box) box->accept();
        });
        QTimer::singleShot(5000, dialog, [dialog] { dialog->reject(); });
        dialog->selectFile(QString::fromStdString(locked));
        static_cast<QDialog*>(dialog)->accept();
        dialog->selectNameFilter(dialog->nameFilters().value(0));
        dialog->selectFile(QString::fromStdString(dir.Path("fresh.txt")));
        static_cast<QDialog*>(dialog)->accept();
    });
    int filter = 2;
    const std::string chosen = prompts.SaveFile("", dir.Path("list.MD5"),
                                                {{"MD5 FileName(*.MD5)", "*.MD5"}, {"a|b(*.*)", "*.*"}}, filter);
    EXPECT_EQ(offeredName, "list.MD5");
    EXPECT_EQ(offeredFilter, "a|b(*.*)");
    EXPECT_TRUE(refused);
    EXPECT_EQ(chosen, dir.Path("fresh.txt"));
    EXPECT_EQ(filter, 1);
}

TEST(FolderPicker, ShowsItsPromptAndReturnsTheChosenFolder)
{
    TempDir dir;
    const std::string tree = dir.MakeFolder("tree");
    QtPrompts prompts;
    std::string prompt;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return ADD_FAILURE() << "no folder picker";
        prompt = dialog->findChild<QLabel*>(QStringLiteral("FolderPrompt"))->text().toStdString();
        dialog->selectFile(QString::fromStdString(tree));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(prompts.ChooseFolder("一行目\r二行目", dir.path()), tree);
    EXPECT_EQ(prompt, "一行目\n二行目");
}

TEST(SoundChooser, ListsOnlyWaveFilesPreviewsThemAndReturnsTheFullPath)
{
    TempDir dir;
    const std::string loud = dir.WriteFile("waves/LOUD.WAV", "RIFF");
    dir.WriteFile("waves/soft.wav", "RIFF");
    dir.WriteFile("waves/.hidden.wav", "RIFF");
    dir.WriteFile("waves/notes.txt", "x");
    QtPrompts prompts;
    std::vector<std::string> previewed, listed;
    // Played by a person once the dialog is up; whatever fails, the dialog is closed.
    QTimer::singleShot(0, [&] {
        QFileDialog* dialog = nullptr;
        WaitFor([&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); });
        if (!dialog) return ADD_FAILURE() << "no chooser";
        EXPECT_EQ(dialog->windowTitle().toStdString(), "再生音を選んで下さい");
        auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (!view || !WaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; })) {
            static_cast<QDialog*>(dialog)->reject();
            return ADD_FAILURE() << "no listing";
        }
        QModelIndex pick;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            const QModelIndex at = view->model()->index(row, 0, view->rootIndex());
            listed.push_back(at.data().toString().toStdString());
            if (at.data().toString() == QStringLiteral("LOUD.WAV")) pick = at;
        }
        view->setCurrentIndex(pick);   // a click on the file
        // A box the dialog might raise must not hold the test.
        QTimer::singleShot(3000, dialog, [] { AnswerOpenDialogsCautiously(); });
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::string chosen = prompts.ChooseSoundFile("", dir.Path("waves"),
                                                       [&](const std::string& f) { previewed.push_back(f); });
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".hidden.wav", "LOUD.WAV", "soft.wav"}));
    EXPECT_EQ(previewed, std::vector<std::string>{loud});
    EXPECT_EQ(chosen, loud);
}

}  // namespace
}  // namespace qv
