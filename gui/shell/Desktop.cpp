#include "gui/shell/Desktop.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>

#include <sys/stat.h>

#include "gui/shell/QtPrompts.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "processing/ResultPanel.h"

namespace qv {

QUrl LocalFileUrl(const std::string& path)
{
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

void OpenWithDesktop(const std::string& path)
{
    if (!path.empty()) QDesktopServices::openUrl(LocalFileUrl(path));
}

RecycleOutcome RecycleFile(const std::string& path, Prompts& prompts, std::string& errorText)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) return RecycleOutcome::Gone;
    // Qt names files by text: a name that is not valid UTF-8 cannot be handed to the trash.
    if (!IsValidUtf8(path)) {
        errorText = "ファイル名に UTF-8 でない文字が含まれています";
        return RecycleOutcome::Failed;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        if (prompts.Message(kAppTitle, ReadOnlyDeleteQuestion(path), Buttons::OkNo, BoxIcon::Warning) != Answer::Ok)
            return RecycleOutcome::Declined;
        ::chmod(path.c_str(), st.st_mode | S_IWUSR);
    }
    QFile file(ToQ(path));
    if (file.moveToTrash()) return RecycleOutcome::Trashed;
    errorText = FromQ(file.errorString());
    return RecycleOutcome::Failed;
}

std::string TrashFailureText(const std::vector<std::string>& paths, const std::string& errorText)
{
    constexpr size_t kNamed = 10;
    std::string text;
    for (size_t i = 0; i < paths.size() && i < kNamed; ++i) text += paths[i] + "\r";
    if (paths.size() > kNamed) text += "ほか " + std::to_string(paths.size() - kNamed) + "件\r";
    return text + "ごみ箱へ移動出来ませんでした\r" + errorText;
}

}  // namespace qv
