#pragma once
#include <QObject>

#include <string>
#include <vector>

#include "gui/shell/Shell.h"

namespace qv {

class FileViewController;
class ListFrame;

// The commands of the file view's popup PpFlist, its double click, and FileIconDblClick of the
// result panel: selecting by rule, hashing, opening, deleting, and the two bulk checks.
class BrowserCommands final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        const Settings& settings;
        HashHistory& history;
        Prompts& prompts;
        StatusLine& status;
        const WindowFrame& frame;
        Driver& driver;
        ViewSwitch& views;
        ResultView& result;
        ComparisonTextView& comparison;
        Notifier& notifier;
    };
    BrowserCommands(const Parts& parts, FileViewController& files);

    void FListSelectAllClick();
    void FListResetAllClick();
    void FListNoCalcClick();
    void SameExtClick();
    void FListSelectCalcClick();
    void FileViewDblClick();
    void FListFileExecClick();
    void FListFileOpenClick();
    void FListFileDelClick();
    void FListRefreshClick();
    void AllCheckClick();
    void B1Click();
    void FileIconDblClick();

private:
    // Hashes the listed files that show no codes, quietly; false when that batch was stopped.
    bool HashFilesLackingCodes();

    Parts p_;
    FileViewController& files_;
    ListFrame& frame_;
};

}  // namespace qv
