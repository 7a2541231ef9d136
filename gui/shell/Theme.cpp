#include "gui/shell/Theme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

namespace qv {

void SetTextColour(QWidget* w, Colour c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, ToQColor(c));
    p.setColor(QPalette::Text, ToQColor(c));
    w->setPalette(p);
}

void SetBackground(QWidget* w, Colour c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(c));
    p.setColor(QPalette::Base, ToQColor(c));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void InstallJapanese(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic", "IPAexGothic"}) {
        const QString family = QString::fromLatin1(name);
        if (families.contains(family)) {
            QFont f = QApplication::font();
            f.setFamilies({family});
            QApplication::setFont(f);
            break;
        }
    }
}

}  // namespace qv
