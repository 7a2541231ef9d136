#pragma once
#include <QObject>

#include <cstdint>
#include <string>

#include "gui/shell/Shell.h"

class QWidget;

namespace qv {

class ResultPanelWidget;

// The result panel MainPanel, the copy commands and the commands on the shown file. Owns the
// panel; fills the duplicate list through DuplicateList.
class ResultController final : public QObject, public ResultView {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        HashHistory& history;
        Prompts& prompts;
        StatusLine& status;
        WindowFrame& frame;
        Pages& pages;
        ViewMenu& menu;
        Notifier& notifier;   // the copy sound
        DuplicateList& duplicates;
    };
    // The panel is made as a child of pageParent.
    ResultController(const Parts& parts, QWidget* pageParent);

    QWidget* Panel() const;
    QWidget* NameScroller() const;

    // ResultView.
    void ShowResult(int index) override;
    int ShownIndex() const override { return shownIndex_; }
    bool HasCodes() const override;
    // DubbleDetect shown: what the view switches go by. A drop hides it while the list keeps
    // the earlier file's rows, so a stopped batch does not lead back to that stale list.
    bool DuplicateMarkShown() const override;
    void HideDuplicateMark() override;
    void Forget() override;
    void FitNameScroller() override;
    std::string ShownCrc() const override;
    std::string ShownMd5() const override;
    std::string ShownName() const override;
    void MarkCodesFound(bool crcFound, bool md5Found) override;
    void RefindShownRecord() override;

    // After a display setting changed: codes in their case, size in its unit, name font and
    // colours, icon shown or not.
    void RefreshCodes();
    void RefreshSize(const char* autoBytes = "byte");
    void ApplySettings();
    void SetFullPathCopy(bool on) { fullPathCopy_ = on; }

    void XFileNameDblClick();
    void XFileSizeDblClick();
    void CopyCRCExecute();
    void CopyMD5Execute();
    void MainFileExecClick();
    void MainFileOpenClick();
    void MainFileDelClick();

Q_SIGNALS:
    void fileIconDoubleClicked();

private:
    void PutOnClipboard(const std::string& text, const char* status);
    void ColourCodes();

    Parts p_;
    ResultPanelWidget* panel_;
    int shownIndex_ = -1;
    int64_t shownSize_ = 0;
    std::string shownCrc_;
    std::string shownMd5_;
    // The last matching pass found the code (pickup colour) until another file is shown.
    bool crcFound_ = false;
    bool md5Found_ = false;
    bool fullPathCopy_ = false;
};

}  // namespace qv
