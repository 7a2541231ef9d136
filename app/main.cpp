#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

#include "app/DisplayCheck.h"

int main(int argc, char* argv[])
{
    if (!qv::HasDisplay()) {
        std::fputs(qv::NoDisplayMessage(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvarlith"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quenvarlith V1.08D"));
    window.resize(480, 360);
    window.show();
    return app.exec();
}
