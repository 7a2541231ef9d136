#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DisplayCheck.h"
#include "front/Headless.h"
#include "app/MainWindow.h"
#include "app/Theme.h"

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
    qv::InstallJapanese(app);

    qv::WindowOptions options;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) options.arguments.push_back(args[i].toStdString());
    options.shiftHeld = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);

    int code = 0;
    {
        qv::MainWindow window(std::move(options));
        window.show();
        code = app.exec();
    }
    return code;
}
