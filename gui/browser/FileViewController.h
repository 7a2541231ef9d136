#pragma once
#include <QObject>

#include <array>
#include <string>
#include <vector>

#include "browser/FileView.h"
#include "gui/shell/Shell.h"

namespace qv {

class ListFrame;

// A column's width settings: its automatic-width item and the width it keeps otherwise.
struct ColumnWidthSetting {
    const char* item;      // AdjustFileName ... AdjustTimeStamp
    const char* caption;
    bool Settings::*adjust;
    int Settings::*width;
};
extern const std::array<ColumnWidthSetting, kFileColumnCount> kColumnWidthSettings;

// What the list frame shows: FolderListChange, sorting, column widths and the file view's
// display options. The other subsystems see it as FileSelection.
class FileViewController final : public QObject, public FileSelection {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        const HashHistory& history;
        StatusLine& status;
        MessagePump& pump;
        const Pages& pages;
    };
    FileViewController(const Parts& parts, ListFrame& frame);

    ListFrame& Frame() const { return frame_; }

    // FileSelection.
    std::vector<std::string> SelectedPaths() const override;
    std::string ShownFolder() const override;
    void Reread() override { FolderListChange(); }
    void RefreshIfShown() override;

    void FolderListChange();
    void FileViewColumnClick(int column);
    // Fits every column whose automatic-width item is ticked.
    void FileViewResize();
    // The settings were read or changed as a whole: widths, look and icons follow them.
    void ApplySettings();
    void FileListIconViewClick();
    void FileListBoldFontClick();
    void FileListBorderViewClick();

private:
    bool Shown() const { return p_.pages.CurrentView() == View::List; }

    Parts p_;
    ListFrame& frame_;
    bool reading_ = false;
    bool widthsTracked_ = false;
};

}  // namespace qv
