#include "gui/shell/ViewController.h"

#include <QTreeWidget>
#include <QWidget>

#include "platform/DirSearch.h"
#include "processing/ResultPanel.h"

namespace qv {

bool ViewController::Switch(View view)
{
    if (p_.pages.Busy()) {
        p_.menu.TickView(p_.pages.CurrentView());
        return false;
    }
    p_.pages.SetView(view);
    p_.menu.TickView(view);
    return true;
}

void ViewController::CallBasicFrameClick()
{
    if (!Switch(View::Basic)) return;
    if (FileExists(p_.frame.Caption()) && p_.result.HasCodes()) {
        p_.pages.SetResultShown(true);
        p_.result.FitNameScroller();
    } else {
        p_.pages.SetResultShown(false);
        p_.frame.SetCaption(kIdleCaption);
        p_.result.Forget();
        p_.status.SetStatus(kStatusDropPlease);
    }
}

void ViewController::CallClipViewerClick()
{
    if (Switch(View::Clip)) w_.clipViewer->setFocus();
}

void ViewController::CallListFrameClick()
{
    if (Switch(View::List)) p_.files.Reread();
}

void ViewController::CallDupFrameClick()
{
    if (!p_.menu.DupCommandsEnabled()) {
        p_.menu.TickView(p_.pages.CurrentView());
        return;
    }
    // Fitted to the widest entry each time the list is shown.
    if (Switch(View::Dup)) w_.dupList->resizeColumnToContents(0);
}

bool ViewController::EnterKey(QObject* focus)
{
    if (p_.pages.Busy()) return false;
    const bool dups = p_.result.DuplicateMarkShown();
    if (focus == w_.nameScroller) {
        CallClipViewerClick();
        return true;
    }
    if (focus == w_.folderList || focus == w_.fileView) {
        dups ? CallDupFrameClick() : CallBasicFrameClick();
        return true;
    }
    if (focus == w_.dupList) {
        CallBasicFrameClick();
        return true;
    }
    switch (p_.pages.CurrentView()) {
    case View::Basic: CallClipViewerClick(); break;
    case View::Clip: CallListFrameClick(); break;
    case View::List: dups ? CallDupFrameClick() : CallBasicFrameClick(); break;
    case View::Dup: CallBasicFrameClick(); break;
    }
    return true;
}

bool ViewController::ArrowKey()
{
    if (p_.pages.Busy() || p_.pages.CurrentView() != View::Basic || !w_.nameScroller->isVisible()) return false;
    w_.nameScroller->setFocus();
    return true;
}

}  // namespace qv
