#include "gui/processing/ResultController.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>
#include <QUrl>

#include <sys/stat.h>

#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "history/Duplicates.h"
#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"
#include "verify/Sounds.h"

namespace qv {

ResultController::ResultController(const Parts& parts, QWidget* pageParent)
    : QObject(pageParent), p_(parts), panel_(new ResultPanelWidget(pageParent)), dupList_(new QTreeWidget(pageParent))
{
    panel_->setContextMenuPolicy(Qt::CustomContextMenu);
    dupList_->setObjectName(QStringLiteral("DupList"));
    dupList_->setColumnCount(1);
    dupList_->setHeaderLabels({QStringLiteral("fullpathname")});
    dupList_->setHeaderHidden(true);
    dupList_->setRootIsDecorated(false);
    dupList_->setContextMenuPolicy(Qt::CustomContextMenu);

    // The copy gestures of the panel.
    connect(panel_->xFileName, &ClickLabel::doubleClicked, this, [this] { XFileNameDblClick(); });
    connect(panel_->xFileSize, &ClickLabel::doubleClicked, this, [this] { XFileSizeDblClick(); });
    connect(panel_->xCrc32, &ClickLabel::doubleClicked, this, [this] { CopyCRCExecute(); });
    connect(panel_->lCrc32, &ClickLabel::clicked, this, [this] { CopyCRCExecute(); });
    connect(panel_->xMd5, &ClickLabel::doubleClicked, this, [this] { CopyMD5Execute(); });
    connect(panel_->lMd5, &ClickLabel::clicked, this, [this] { CopyMD5Execute(); });
}

QWidget* ResultController::Panel() const { return panel_; }
QWidget* ResultController::NameScroller() const { return panel_->scrollBar1; }

void ResultController::ShowResult(int index)
{
    HashHistory& history = p_.history;
    if (index < 0 || index >= history.Count() || !FileExists(history.PathAt(index))) {
        p_.pages.SetResultShown(false);
        return;
    }
    const std::string path = history.PathAt(index);
    const HistoryRecord& r = history.RecordAt(index);
    p_.frame.SetCaption(path);
    panel_->SetFileName(ToQ(NameOf(path)));
    shownSize_ = r.Size;
    shownCrc_ = r.Crc;
    shownMd5_ = r.Md5;
    MarkCodesFound(false, false);
    RefreshSize();
    RefreshCodes();

    int32_t i = index;
    FindDuplicates(i);
    shownIndex_ = i;
    const bool dups = dupList_->topLevelItemCount() >= 2;
    panel_->duplicateMark->setVisible(dups);
    p_.status.SetStatus(dups ? kStatusLoadedDup : kStatusLoaded);
    p_.menu.SetDupCommandsEnabled(dups);
    p_.settings.InitialDir = FolderOf(path);

    // The large icon on the panel colour.
    QPixmap icon(32, 32);
    icon.fill(ToQColor(p_.settings.WallColor));
    {
        QPainter painter(&icon);
        QFileIconProvider provider;
        painter.drawPixmap(0, 0, provider.icon(QFileInfo(ToQ(path))).pixmap(32, 32));
    }
    panel_->fileIcon->setPixmap(icon);
    panel_->fileIcon->setVisible(p_.settings.ShowMainIcon);
    p_.pages.SetResultShown(true);
}

void ResultController::FindDuplicates(int& index)
{
    QTreeWidget& list = *dupList_;
    list.setUpdatesEnabled(false);
    list.clear();
    int32_t i = index;
    const std::vector<std::string> rows = qv::FindDuplicates(p_.history, i);
    index = i;
    const bool icons = p_.settings.DupListIconView;
    QFileIconProvider provider;
    for (const std::string& row : rows) {
        auto* item = new QTreeWidgetItem(&list, QStringList{ToQ(row)});
        if (icons) item->setIcon(0, provider.icon(QFileInfo(ToQ(row))));
    }
    list.setUpdatesEnabled(true);
}

bool ResultController::HasCodes() const { return !panel_->xMd5->text().isEmpty() || !panel_->xCrc32->text().isEmpty(); }
bool ResultController::DuplicateMarkShown() const { return !panel_->duplicateMark->isHidden(); }
void ResultController::HideDuplicateMark() { panel_->duplicateMark->hide(); }
void ResultController::FitNameScroller() { panel_->FitNameScroller(); }

void ResultController::Forget()
{
    panel_->Clear();
    shownCrc_.clear();
    shownMd5_.clear();
    shownSize_ = 0;
    shownIndex_ = -1;
    MarkCodesFound(false, false);
}

std::string ResultController::ShownCrc() const { return FromQ(panel_->xCrc32->text()); }
std::string ResultController::ShownMd5() const { return FromQ(panel_->xMd5->text()); }
std::string ResultController::ShownName() const { return FromQ(panel_->xFileName->text()); }

void ResultController::MarkCodesFound(bool crcFound, bool md5Found)
{
    crcFound_ = crcFound;
    md5Found_ = md5Found;
    ColourCodes();
}

void ResultController::ColourCodes()
{
    SetTextColour(panel_->xCrc32, crcFound_ ? p_.settings.PickupColor : p_.settings.NormalColor);
    SetTextColour(panel_->xMd5, md5Found_ ? p_.settings.PickupColor : p_.settings.NormalColor);
}

void ResultController::RefreshCodes()
{
    if (shownMd5_.empty() && shownCrc_.empty()) return;
    panel_->xCrc32->setText(ToQ(CodeText(shownCrc_, p_.settings.LowerCaseCodes)));
    panel_->xMd5->setText(ToQ(CodeText(shownMd5_, p_.settings.LowerCaseCodes)));
}

void ResultController::RefreshSize()
{
    if (shownMd5_.empty() && shownCrc_.empty()) return;
    panel_->xFileSize->setText(ToQ(SizeText(shownSize_, p_.settings.SizeUnit)));
}

void ResultController::ApplySettings()
{
    panel_->ApplySettings(p_.settings);
    ColourCodes();
}

void ResultController::PutOnClipboard(const std::string& text, const char* status)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ToQ(text));
    p_.status.SetStatus(status);
    p_.notifier.Play(Notification::Copy);
}

void ResultController::XFileNameDblClick()
{
    const std::string path = p_.frame.Caption();
    if (!FileExists(path)) return;
    PutOnClipboard(fullPathCopy_ ? path : NameOf(path), "ファイル名をクリップボードにコピーしました");
}

void ResultController::XFileSizeDblClick()
{
    if (!FileExists(p_.frame.Caption())) return;
    PutOnClipboard(FromQ(panel_->xFileSize->text()), "ファイルサイズをクリップボードにコピーしました");
}

void ResultController::CopyCRCExecute()
{
    const std::string shown = FromQ(panel_->xCrc32->text());
    if (!CopyableCrc(shown)) return;
    PutOnClipboard(shown, "ＣＲＣをクリップボードにコピーしました");
}

void ResultController::CopyMD5Execute()
{
    const std::string shown = FromQ(panel_->xMd5->text());
    if (!CopyableMd5(shown)) return;
    PutOnClipboard(shown, "ＭＤ５をクリップボードにコピーしました");
}

void ResultController::MainFileExecClick()
{
    const std::string path = p_.frame.Caption();
    if (!FileExists(path)) {
        p_.status.SetStatus(kStatusNoFile);
        return;
    }
    std::string target = path;
    if (QFileInfo(ToQ(path)).isSymLink()) target = FollowSymlinks(path);
    if (target.empty()) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(target)));
}

void ResultController::MainFileOpenClick()
{
    const std::string caption = p_.frame.Caption();
    const std::string folder = FolderOf(caption);
    if (caption.empty() || caption[0] != '/' || !FolderExists(folder)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(folder)));
}

void ResultController::MainFileDelClick()
{
    const std::string path = p_.frame.Caption();
    if (!FileExists(path)) return;
    if (p_.prompts.Message(kAppTitle, DeleteQuestion(path), Buttons::YesCancel, BoxIcon::Warning) != Answer::Yes)
        return;
    // Kept so the record can come back when the trash refuses the file.
    HashHistory& history = p_.history;
    int32_t index = -1;
    const bool had = history.Find(path, index);
    const HistoryRecord saved = had ? history.RecordAt(index) : HistoryRecord{};
    history.RemoveByPath(path);
    std::string error;
    const RecycleOutcome outcome = RecycleFile(path, p_.prompts, error);
    if (outcome == RecycleOutcome::Failed) {
        if (had) history.Insert(path, saved);
        int32_t shown = -1;
        shownIndex_ = history.Find(path, shown) ? shown : -1;
        p_.prompts.Message(kAppTitle, path + "\rごみ箱へ移動出来ませんでした\r" + error, Buttons::Ok, BoxIcon::Error);
        p_.status.SetStatus("削除を中止しました");
        return;
    }
    p_.frame.SetCaption(kIdleCaption);
    Forget();
    dupList_->clear();
    HideDuplicateMark();
    p_.menu.SetDupCommandsEnabled(false);
    p_.pages.SetResultShown(false);
    p_.status.SetStatus(outcome == RecycleOutcome::Trashed ? NameOf(path) + "を削除しました" : "削除を中止しました");
}

RecycleOutcome RecycleFile(const std::string& path, Prompts& prompts, std::string& errorText)
{
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

}  // namespace qv
