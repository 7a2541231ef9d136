#pragma once
#include <QObject>

#include "gui/shell/Shell.h"

namespace qv {

class DupListView;

// The commands of the duplicate list's popup PpDup, its double click and its view options.
class DupListCommands final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        const Settings& settings;
        HashHistory& history;
        Prompts& prompts;
        StatusLine& status;
        Driver& driver;
        ViewSwitch& views;
        ResultView& result;
        ViewMenu& menu;
    };
    DupListCommands(const Parts& parts, DupListView& list);

    void DupFileExecClick();
    void DupFileOpenClick();
    void DupFileDelClick();
    void DupListDblClick();
    // On resize and from AdjustDupWidth: fits the column while that item is ticked.
    void DupListResize();
    // After the option's setting flipped.
    void DupListIconViewClick();
    void DupListBoldFontClick();
    void DupListBorderViewClick();

private:
    // The first selected row's path; "" (and the status says so) when none is selected.
    std::string FirstSelected();

    Parts p_;
    DupListView& list_;
};

}  // namespace qv
