#pragma once
#include "gui/shell/Shell.h"

class QObject;
class QTreeWidget;
class QWidget;

namespace qv {

// Switching between the four views and the Enter-key cycling.
class ViewController final : public ViewSwitch {
public:
    // The widgets whose focus the Enter and arrow keys go by.
    struct Widgets {
        QWidget* clipViewer = nullptr;
        QWidget* folderList = nullptr;
        QWidget* fileView = nullptr;
        QTreeWidget* dupList = nullptr;
        QWidget* nameScroller = nullptr;   // ScrollBar1 of the basic frame
    };
    struct Parts {
        Pages& pages;
        ViewMenu& menu;
        ResultView& result;
        WindowFrame& frame;
        StatusLine& status;
        FileSelection& files;
    };
    ViewController(const Parts& parts, const Widgets& widgets) : p_(parts), w_(widgets) {}

    void CallBasicFrameClick() override;
    void CallClipViewerClick() override;
    void CallListFrameClick() override;
    void CallDupFrameClick() override;
    // FormKeyDown and the per-view key handlers: true when the key was consumed.
    bool EnterKey(QObject* focus);
    bool ArrowKey();

private:
    // Switches unless busy; a refused switch leaves the tick of the current view.
    bool Switch(View view);

    Parts p_;
    Widgets w_;
};

}  // namespace qv
