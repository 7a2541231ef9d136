#include "gui/processing/ResultController.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTreeWidget>
#include <QUrl>

#include <sys/stat.h>

#include "gui/shell/MainWindow.h"
#include "gui/shell/Menus.h"
#include "gui/shell/QtPrompts.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/Theme.h"
#include "gui/shell/ViewController.h"
#include "history/Duplicates.h"
#include "processing/ResultPanel.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"

namespace qv {

void ResultController::ShowResult(int index)
{
    ResultPanelWidget& p = *w_.mainPanel;
    if (index < 0 || index >= w_.history.Count() || !FileExists(w_.history.PathAt(index))) {
        w_.mainPanelShown = false;
        w_.UpdatePages();
        return;
    }
    const std::string path = w_.history.PathAt(index);
    const HistoryRecord& r = w_.history.RecordAt(index);
    w_.SetCaption(path);
    p.SetFileName(ToQ(NameOf(path)));
    shownSize = r.Size;
    shownCrc_ = r.Crc;
    shownMd5_ = r.Md5;
    RefreshSize();
    RefreshCodes();

    int32_t i = index;
    FindDuplicates(i);
    w_.shownIndex = i;
    const bool dups = HasDuplicates();
    p.duplicateMark->setVisible(dups);
    w_.SetStatus(dups ? kStatusLoadedDup : kStatusLoaded);
    w_.menus->SetDupCommandsEnabled(dups);
    w_.settings.InitialDir = FolderOf(path);

    // The large icon on the panel colour.
    QPixmap icon(32, 32);
    icon.fill(ToQColor(w_.settings.WallColor));
    {
        QPainter painter(&icon);
        QFileIconProvider provider;
        painter.drawPixmap(0, 0, provider.icon(QFileInfo(ToQ(path))).pixmap(32, 32));
    }
    p.fileIcon->setPixmap(icon);
    p.fileIcon->setVisible(w_.settings.ShowMainIcon);
    w_.mainPanelShown = true;
    w_.UpdatePages();
}

void ResultController::FindDuplicates(int& index)
{
    QTreeWidget& list = *w_.dupList;
    list.setUpdatesEnabled(false);
    list.clear();
    int32_t i = index;
    const std::vector<std::string> rows = qv::FindDuplicates(w_.history, i);
    index = i;
    const bool icons = w_.settings.DupListIconView;
    QFileIconProvider provider;
    for (const std::string& row : rows) {
        auto* item = new QTreeWidgetItem(&list, QStringList{ToQ(row)});
        if (icons) item->setIcon(0, provider.icon(QFileInfo(ToQ(row))));
    }
    list.setUpdatesEnabled(true);
}

bool ResultController::HasDuplicates() const
{
    return w_.dupList->topLevelItemCount() >= 2;
}

bool ResultController::DuplicateMarkShown() const { return !w_.mainPanel->duplicateMark->isHidden(); }

void ResultController::ClearPanel()
{
    w_.mainPanel->Clear();
    shownCrc_.clear();
    shownMd5_.clear();
    shownSize = 0;
}

void ResultController::RefreshCodes()
{
    if (shownMd5_.empty() && shownCrc_.empty()) return;
    w_.mainPanel->xCrc32->setText(ToQ(CodeText(shownCrc_, w_.settings.LowerCaseCodes)));
    w_.mainPanel->xMd5->setText(ToQ(CodeText(shownMd5_, w_.settings.LowerCaseCodes)));
}

void ResultController::RefreshSize()
{
    if (shownMd5_.empty() && shownCrc_.empty()) return;
    w_.mainPanel->xFileSize->setText(ToQ(SizeText(shownSize, w_.settings.SizeUnit)));
}

void ResultController::PutOnClipboard(const std::string& text, const char* status)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ToQ(text));
    w_.SetStatus(status);
}

void ResultController::XFileNameDblClick()
{
    const std::string path = w_.Caption();
    if (!FileExists(path)) return;
    const bool full = w_.menus->fullPathCopy->isChecked();
    PutOnClipboard(full ? path : NameOf(path), "ファイル名をクリップボードにコピーしました");
}

void ResultController::XFileSizeDblClick()
{
    if (!FileExists(w_.Caption())) return;
    PutOnClipboard(FromQ(w_.mainPanel->xFileSize->text()), "ファイルサイズをクリップボードにコピーしました");
}

void ResultController::CopyCRCExecute()
{
    const std::string shown = FromQ(w_.mainPanel->xCrc32->text());
    if (!CopyableCrc(shown)) return;
    PutOnClipboard(shown, "ＣＲＣをクリップボードにコピーしました");
}

void ResultController::CopyMD5Execute()
{
    const std::string shown = FromQ(w_.mainPanel->xMd5->text());
    if (!CopyableMd5(shown)) return;
    PutOnClipboard(shown, "ＭＤ５をクリップボードにコピーしました");
}

void ResultController::MainFileExecClick()
{
    const std::string path = w_.Caption();
    if (!FileExists(path)) {
        w_.SetStatus(kStatusNoFile);
        return;
    }
    std::string target = path;
    if (QFileInfo(ToQ(path)).isSymLink()) target = FollowSymlinks(path);
    if (target.empty()) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(target)));
}

void ResultController::MainFileOpenClick()
{
    const std::string folder = FolderOf(w_.Caption());
    if (w_.Caption().empty() || w_.Caption()[0] != '/' || !FolderExists(folder)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(folder)));
}

void ResultController::MainFileDelClick()
{
    const std::string path = w_.Caption();
    if (!FileExists(path)) return;
    if (w_.prompts().Message(kAppTitle, DeleteQuestion(path), Buttons::YesCancel, BoxIcon::Warning) !=
        Answer::Yes)
        return;
    // Kept so the record can come back when the trash refuses the file.
    int32_t index = -1;
    const bool had = w_.history.Find(path, index);
    const HistoryRecord saved = had ? w_.history.RecordAt(index) : HistoryRecord{};
    w_.history.RemoveByPath(path);
    std::string error;
    const RecycleOutcome outcome = RecycleFile(path, w_.prompts(), error);
    if (outcome == RecycleOutcome::Failed) {
        if (had) w_.history.Insert(path, saved);
        int32_t shown = -1;
        w_.shownIndex = w_.history.Find(path, shown) ? shown : -1;
        w_.prompts().Message(kAppTitle, path + "\rごみ箱へ移動出来ませんでした\r" + error, Buttons::Ok,
                             BoxIcon::Error);
        w_.SetStatus("削除を中止しました");
        return;
    }
    w_.SetCaption(kIdleCaption);
    w_.shownIndex = -1;
    ClearPanel();
    w_.dupList->clear();
    w_.mainPanel->duplicateMark->hide();
    w_.menus->SetDupCommandsEnabled(false);
    w_.mainPanelShown = false;
    w_.UpdatePages();
    w_.SetStatus(outcome == RecycleOutcome::Trashed ? NameOf(path) + "を削除しました" : "削除を中止しました");
}


RecycleOutcome RecycleFile(const std::string& path, Prompts& prompts, std::string& errorText)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        if (prompts.Message(kAppTitle, ReadOnlyDeleteQuestion(path), Buttons::OkNo, BoxIcon::Warning) !=
            Answer::Ok)
            return RecycleOutcome::Declined;
        ::chmod(path.c_str(), st.st_mode | S_IWUSR);
    }
    QFile file(ToQ(path));
    if (file.moveToTrash()) return RecycleOutcome::Trashed;
    errorText = FromQ(file.errorString());
    return RecycleOutcome::Failed;
}

}  // namespace qv
