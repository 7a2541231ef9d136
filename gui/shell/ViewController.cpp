#include "gui/shell/ViewController.h"

#include <QComboBox>
#include <QScrollBar>
#include <QTextEdit>
#include <QTreeWidget>

#include "gui/shell/MainWindow.h"
#include "gui/shell/Menus.h"
#include "gui/processing/ResultController.h"
#include "gui/processing/ResultPanelWidget.h"
#include "processing/ResultPanel.h"
#include "platform/DirSearch.h"

namespace qv {

void ViewController::CallBasicFrameClick()
{
    if (w_.busy) {
        w_.menus->TickView(static_cast<int>(w_.view));
        return;
    }
    w_.view = View::Basic;
    w_.menus->TickView(0);
    if (FileExists(w_.Caption()) && !w_.mainPanel->xMd5->text().isEmpty()) {
        w_.mainPanelShown = true;
        w_.UpdatePages();
        w_.mainPanel->FitNameScroller();
    } else {
        w_.mainPanelShown = false;
        w_.SetCaption(kIdleCaption);
        w_.results->ClearPanel();
        w_.shownIndex = -1;
        w_.SetStatus(kStatusDropPlease);
        w_.UpdatePages();
    }
}

void ViewController::CallClipViewerClick()
{
    if (w_.busy) {
        w_.menus->TickView(static_cast<int>(w_.view));
        return;
    }
    w_.view = View::Clip;
    w_.menus->TickView(1);
    w_.UpdatePages();
    w_.clipViewer->setFocus();
}

void ViewController::CallListFrameClick()
{
    if (w_.busy) {
        w_.menus->TickView(static_cast<int>(w_.view));
        return;
    }
    w_.view = View::List;
    w_.menus->TickView(2);
    w_.UpdatePages();
}

void ViewController::CallDupFrameClick()
{
    if (w_.busy || !w_.menus->callDupFrame->isEnabled()) {
        w_.menus->TickView(static_cast<int>(w_.view));
        return;
    }
    w_.view = View::Dup;
    w_.menus->TickView(3);
    w_.UpdatePages();
    FitDupColumn();
}

void ViewController::FitDupColumn()
{
    w_.dupList->resizeColumnToContents(0);
}

bool ViewController::EnterKey(QObject* focus)
{
    if (w_.busy) return false;
    const bool dups = w_.results->DuplicateMarkShown();
    if (focus == w_.mainPanel->scrollBar1) {
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
    switch (w_.view) {
    case View::Basic: CallClipViewerClick(); break;
    case View::Clip: CallListFrameClick(); break;
    case View::List: dups ? CallDupFrameClick() : CallBasicFrameClick(); break;
    case View::Dup: CallBasicFrameClick(); break;
    }
    return true;
}

bool ViewController::ArrowKey()
{
    if (w_.busy || w_.view != View::Basic || !w_.mainPanel->scrollBar1->isVisible()) return false;
    w_.mainPanel->scrollBar1->setFocus();
    return true;
}

}  // namespace qv
