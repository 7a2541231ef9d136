// The real message box: what its reports promise works there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

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

}  // namespace
}  // namespace qv
