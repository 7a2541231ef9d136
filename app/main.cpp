#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/shell/DisplayCheck.h"
#include "cli/TerminalMode.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/Theme.h"

int main(int argc, char* argv[])
{
    // --no-gui, --help, --version, and files named without a display: no QApplication at all.
    if (qv::WantsHeadless(argc, argv, qv::HasDisplay())) return qv::RunHeadless(argc, argv);
    if (!qv::HasDisplay()) {
        std::fputs(qv::NoDisplayMessage(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvarlith"));
    // The desktop entry's name: Wayland desktops match the window to its entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("quenvarlith"));
    QIcon icon;
    for (const QString& name : QDir(QStringLiteral(":/icons")).entryList())
        icon.addFile(QStringLiteral(":/icons/") + name);
    QApplication::setWindowIcon(icon);
    qv::InstallJapanese(app);

    qv::WindowOptions options;
    // The raw bytes (Qt has already taken out its own options): a file name need not be UTF-8.
    for (int i = 1; i < argc; ++i) options.arguments.push_back(argv[i]);
    options.shiftHeld = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);

    int code = 0;
    {
        qv::MainWindow window(std::move(options));
        window.show();
        code = app.exec();
    }
    return code;
}
