#include "gui/browser/FileViewController.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableView>

#include "gui/browser/FileTableModel.h"
#include "gui/browser/ListFrame.h"
#include "gui/shell/QtPrompts.h"
#include "settings/Settings.h"

namespace qv {

const std::array<ColumnWidthSetting, kFileColumnCount> kColumnWidthSettings = {{
    {"AdjustFileName", "幅調整-ファイル名(&N)", &Settings::FileNameWidthAdjust, &Settings::FileNameWidthFixable},
    {"AdjustFileSize", "幅調整-ファイルサイズ(&S)", &Settings::FileSizeWidthAdjust, &Settings::FileSizeWidthFixable},
    {"AdjustCrc", "幅調整-CRC(&R)", &Settings::CrcWidthAdjust, &Settings::CrcWidthFixable},
    {"AdjustMD5", "幅調整-MD5(&M)", &Settings::Md5WidthAdjust, &Settings::Md5WidthFixable},
    {"AdjustAttr", "幅調整-属性(&A)", &Settings::AttributeWidthAdjust, &Settings::AttributeWidthFixable},
    {"AdjustTimeStamp", "幅調整-更新日時(&T)", &Settings::TimeStampWidthAdjust, &Settings::TimeStampWidthFixable},
}};

FileViewController::FileViewController(const Parts& parts, ListFrame& frame) : p_(parts), frame_(frame)
{
    connect(&frame_, &ListFrame::folderChosen, this, [this] { FolderListChange(); });
    connect(&frame_, &ListFrame::fileViewResized, this, [this] { FileViewResize(); });
    connect(frame_.FileView()->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { FileViewColumnClick(column); });
}

std::vector<std::string> FileViewController::SelectedPaths() const
{
    return qv::SelectedPaths(frame_.Model().Contents(), frame_.SelectedRows());
}

std::string FileViewController::ShownFolder() const { return frame_.Model().Contents().folder; }

void FileViewController::RefreshIfShown()
{
    if (Shown()) FolderListChange();
}

void FileViewController::FolderListChange()
{
    // A pick served by the pump below needs no read of its own: the folder read next is the
    // one selected by then.
    if (reading_) return;
    reading_ = true;
    const bool shown = Shown();
    QComboBox* list = frame_.FolderList();
    if (shown && !p_.pages.Busy()) {
        p_.status.SetStatus(ReadingFolderStatus(frame_.SelectedFolder()));
        p_.pump.Refresh();
    }
    list->setToolTip(list->currentText());
    FileTableModel& model = frame_.Model();
    // A reread of the folder on show keeps the picked rows (the view keeps its scroll position
    // itself), so the files a command just worked on stay selected in view.
    const bool sameFolder = model.Contents().folder == frame_.SelectedFolder();
    const std::vector<std::string> picked = sameFolder ? SelectedPaths() : std::vector<std::string>{};
    model.SetFileIcons(p_.settings.FileListIconView);
    model.SetContents(ReadFolder(frame_.SelectedFolder(), p_.history, p_.settings.FileAttrMask));
    if (!picked.empty()) frame_.SelectRows(SelectionOf(model.Contents(), picked));
    FileViewResize();
    if (shown) {
        p_.status.SetStatus(FolderContentsStatus(model.Contents()));
        frame_.FileView()->setFocus();
    }
    reading_ = false;
}

void FileViewController::FileViewColumnClick(int column)
{
    if (column < 0 || column >= kFileColumnCount) return;
    frame_.Model().Sort(static_cast<FileColumn>(column));
}

void FileViewController::FileViewResize()
{
    QTableView* view = frame_.FileView();
    QHeaderView* header = view->horizontalHeader();
    const FileTableModel& model = frame_.Model();
    for (int c = 0; c < kFileColumnCount; ++c) {
        if (!(p_.settings.*kColumnWidthSettings[static_cast<size_t>(c)].adjust)) continue;
        // The header stays readable too, ▽ included.
        int width = header->sectionSizeHint(c);
        const int row = model.WidestRow(static_cast<FileColumn>(c), view->font());
        // A blank's width of slack: the delegate's hint leaves no room, and a code cut to
        // "0D4A11..." is no code at all.
        const int slack = view->fontMetrics().horizontalAdvance(QLatin1Char(' ')) + (view->showGrid() ? 1 : 0);
        if (row >= 0) width = std::max(width, view->sizeHintForIndex(model.index(row, c)).width() + slack);
        header->resizeSection(c, width);
    }
}

void FileViewController::ApplySettings()
{
    frame_.ApplyLook(p_.settings);
    frame_.Model().SetFileIcons(p_.settings.FileListIconView);
    QHeaderView* header = frame_.FileView()->horizontalHeader();
    for (int c = 0; c < kFileColumnCount; ++c)
        header->resizeSection(c, std::max(8, p_.settings.*kColumnWidthSettings[static_cast<size_t>(c)].width));
    FileViewResize();
    // From now on the widths on screen are the ones the settings file keeps.
    if (!widthsTracked_) {
        widthsTracked_ = true;
        connect(header, &QHeaderView::sectionResized, this, [this](int c, int, int width) {
            if (c >= 0 && c < kFileColumnCount) p_.settings.*kColumnWidthSettings[static_cast<size_t>(c)].width = width;
        });
    }
}

// The toggles reread the folder and then say what they did, over the reread's count.
void FileViewController::FileListIconViewClick()
{
    FolderListChange();
    p_.status.SetStatus(p_.settings.FileListIconView ? "処理ファイル一覧にアイコンを表示します"
                                                     : "処理ファイル一覧にアイコンを表示しません");
}

void FileViewController::FileListBoldFontClick()
{
    frame_.ApplyLook(p_.settings);
    FolderListChange();
    p_.status.SetStatus(p_.settings.FileListBoldFont ? "処理ファイル一覧の文字は太線で表示します"
                                                     : "処理ファイル一覧の文字は細線で表示します");
}

void FileViewController::FileListBorderViewClick()
{
    frame_.ApplyLook(p_.settings);
    p_.status.SetStatus(p_.settings.FileListBorderView ? "処理ファイル一覧に罫線を表示します"
                                                       : "処理ファイル一覧に罫線を表示しません");
}

}  // namespace qv
