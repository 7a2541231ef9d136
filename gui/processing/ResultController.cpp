#include "gui/processing/ResultController.h"

#include <QClipboard>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>

#include "browser/FileCommands.h"
#include "gui/processing/ResultPanelWidget.h"
#include "gui/shell/Desktop.h"
#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"
#include "verify/Sounds.h"

namespace qv {

ResultController::ResultController(const Parts& parts, QWidget* pageParent)
    : QObject(pageParent), p_(parts), panel_(new ResultPanelWidget(pageParent))
{
    panel_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panel_->fileIcon, &ClickLabel::doubleClicked, this, [this] { Q_EMIT fileIconDoubleClicked(); });

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

    int i = index;
    const bool dups = p_.duplicates.FindDuplicates(i) >= 2;
    shownIndex_ = i;
    panel_->duplicateMark->setVisible(dups);
    p_.status.SetStatus(dups ? kStatusLoadedDup : kStatusLoaded);
    p_.menu.SetDupCommandsEnabled(dups);
    p_.settings.InitialDir = FolderOf(path);

    // The large icon, with the panel's colour showing through whatever colour it takes later.
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        QFileIconProvider provider;
        painter.drawPixmap(0, 0, provider.icon(QFileInfo(ToQ(path))).pixmap(32, 32));
    }
    panel_->fileIcon->setPixmap(icon);
    panel_->fileIcon->setVisible(p_.settings.ShowMainIcon);
    p_.pages.SetResultShown(true);
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

void ResultController::RefindShownRecord()
{
    if (shownIndex_ < 0) return;
    int32_t i = -1;
    shownIndex_ = p_.history.Find(p_.frame.Caption(), i) ? i : -1;
}

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

void ResultController::RefreshSize(const char* autoBytes)
{
    if (shownMd5_.empty() && shownCrc_.empty()) return;
    panel_->xFileSize->setText(ToQ(SizeText(shownSize_, p_.settings.SizeUnit, autoBytes)));
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
    OpenWithDesktop(OpenTarget(path));
}

void ResultController::MainFileOpenClick()
{
    const std::string caption = p_.frame.Caption();
    const std::string folder = FolderOf(caption);
    if (caption.empty() || caption[0] != '/' || !FolderExists(folder)) return;
    OpenWithDesktop(folder);
}

void ResultController::MainFileDelClick()
{
    const std::string path = p_.frame.Caption();
    if (!FileExists(path)) return;
    if (p_.prompts.Message(kAppTitle, DeleteQuestion(path), Buttons::YesCancel, BoxIcon::Warning) != Answer::Yes)
        return;
    std::string error;
    const RecycleOutcome outcome = RecycleFile(path, p_.prompts, error);
    if (outcome == RecycleOutcome::Failed)
        p_.prompts.Message(kAppTitle, TrashFailureText({path}, error), Buttons::Ok, BoxIcon::Error);
    // The record goes with the file and only then: a file the user kept keeps its codes.
    if (outcome == RecycleOutcome::Declined || outcome == RecycleOutcome::Failed) {
        p_.status.SetStatus("削除を中止しました");
        return;
    }
    p_.history.RemoveByPath(path);
    p_.frame.SetCaption(kIdleCaption);
    Forget();
    p_.duplicates.Clear();
    HideDuplicateMark();
    p_.menu.SetDupCommandsEnabled(false);
    p_.pages.SetResultShown(false);
    p_.status.SetStatus(NameOf(path) + "を削除しました");
}

}  // namespace qv
