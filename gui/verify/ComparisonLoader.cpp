#include "gui/verify/ComparisonLoader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScopedValueRollback>

#include "gui/shell/FileDialogs.h"
#include "gui/shell/QtPrompts.h"
#include "gui/verify/ClipViewer.h"
#include "platform/Prompts.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"
#include "verify/ComparisonText.h"
#include "verify/ParAnalysis.h"

namespace qv {
namespace {

constexpr const char* kOpenTextFilter =
    "比較ファイル|*.txt;*.csv;*.crc;*.sfv;*.md5;*.md5sum;*.html;*.htm;*.P0?;*.P1?;*.P2?;*.P3?;*.P4?;*.P5?;"
    "*.P6?;*.P7?;*.P8?;*.P9?;*.PAR;*.PAR2|すべてのファイル(*.*)|*.*";

bool ClipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

}  // namespace

ComparisonLoader::ComparisonLoader(const Parts& parts) : p_(parts)
{
    // The desktop tells every listener; there is no chain of viewers to keep up.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ClipboardChanged(); });
}

void ComparisonLoader::BuildExtensionStrings()
{
    const Settings& s = p_.settings;
    strings_ = qv::BuildExtensionStrings({s.ExtTxt, s.ExtCsv, s.ExtSfv, s.ExtMd5, s.ExtHtm, s.ExtPar, s.ExtOption});
}

void ComparisonLoader::OptionExtInputClick()
{
    const std::string status = qv::OptionExtInputClick(p_.prompts, p_.settings.ExtOption);
    BuildExtensionStrings();
    p_.status.SetStatus(status);
}

void ComparisonLoader::DeliverComparisonText(std::string text)
{
    // A zero byte (from a PAR2 text field) would end the clipboard's text there and cut the
    // rest of the report off.
    for (char& c : text) {
        if (c == '\0') c = ' ';
    }
    if (p_.settings.AsyncClipboard) {
        p_.viewer.SetText(std::move(text));
        p_.check.MatchComparisonText();
        p_.viewer.CaretToTop();
        return;
    }
    // Line ends as this desktop's clipboard text has them; the reload makes them CR LF again.
    QString clip = QString::fromUtf8(text);
    clip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(clip);
}

void ComparisonLoader::ClipboardChanged()
{
    // A change raised by a load itself is never loaded again, so no write can start a cycle.
    if (loading_ || p_.settings.AsyncClipboard || !ClipboardHasText()) return;
    LoadClipboardText();
}

void ComparisonLoader::LoadClipboardText()
{
    const QScopedValueRollback<bool> loading(loading_, true);
    const QByteArray utf8 = QGuiApplication::clipboard()->text().toUtf8();
    p_.viewer.SetText(ClipboardComparisonText(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                                              p_.settings.ViewerMaxLength));
    p_.check.MatchComparisonText();
    p_.viewer.CaretToTop();
}

void ComparisonLoader::PasteClipboardClick()
{
    if (ClipboardHasText()) LoadClipboardText();
}

void ComparisonLoader::LoadComparisonFile(const std::string& path, int64_t maxBytes)
{
    ListText list = qv::LoadComparisonFile(path, maxBytes, p_.settings.ViewerMaxLength);
    switch (list.result) {
    case ReadStatus::Ok: DeliverComparisonText(std::move(list.text)); break;
    case ReadStatus::TooLarge: p_.status.SetStatus(list.status); break;
    case ReadStatus::Failed: p_.prompts.Message(kAppTitle, list.message, Buttons::Ok, BoxIcon::Error); break;
    }
}

bool ComparisonLoader::AnalyzeParFile(const std::string& path, ListRoute route)
{
    ParAnalysisContext context{p_.prompts, p_.clock};
    context.limit = p_.settings.LimitParFileSize;
    context.par2ExtendReport = p_.settings.PAR2Ex;
    context.deliver = [this](const std::string& report) { DeliverComparisonText(report); };
    context.bringToFront = [this] { p_.frame.BringToFront(); };
    return route == ListRoute::AnalyzePar2 ? qv::AnalyzePar2File(path, context) : qv::AnalyzeParFile(path, context);
}

void ComparisonLoader::OpenTextClick()
{
    const std::string path = p_.dialogs.OpenFile("", p_.settings.InitialDir, kOpenTextFilter);
    if (path.empty()) return;
    const OpenTextPlan plan = PlanOpenText(path, p_.settings.ExtOption, p_.settings.ViewerMaxLength);
    switch (plan.route) {
    case ListRoute::LoadText: LoadComparisonFile(path, plan.byteLimit); break;
    case ListRoute::AnalyzePar:
    case ListRoute::AnalyzePar2:
        if (AnalyzeParFile(path, plan.route)) p_.check.MatchComparisonText();
        break;
    case ListRoute::Hash: p_.status.SetStatus(plan.status); break;
    }
}

bool ComparisonLoader::DispatchSingleFile(const std::string& path)
{
    const ListRoute route = SingleFileRoute(path, strings_);
    if (route == ListRoute::Hash) return false;
    // No size test of its own beyond what memory allows.
    if (route == ListRoute::LoadText) LoadComparisonFile(path, kListByteLimit);
    else AnalyzeParFile(path, route);
    return true;
}

}  // namespace qv
