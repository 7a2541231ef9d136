#include "gui/shell/PageStack.h"

#include <QMenuBar>
#include <QStackedWidget>

namespace qv {

void PageStack::AddPage(Page page, QWidget* widget)
{
    pages_[page] = widget;
    stack_.addWidget(widget);
    Update();
}

void PageStack::SetView(View view)
{
    view_ = view;
    Update();
}

void PageStack::SetBusy(bool busy)
{
    busy_ = busy;
    menuBar_.setEnabled(!busy);
    menuBar_.setVisible(!busy);
    Update();
}

void PageStack::SetResultShown(bool shown)
{
    resultShown_ = shown;
    Update();
}

void PageStack::Update()
{
    Page page = kInitialPage;
    if (busy_) {
        page = kBusyPage;
    } else {
        switch (view_) {
        case View::Basic: page = resultShown_ ? kMainPage : kInitialPage; break;
        case View::Clip: page = kClipPage; break;
        case View::List: page = kListPage; break;
        case View::Dup: page = kDupPage; break;
        }
    }
    if (pages_[page]) stack_.setCurrentWidget(pages_[page]);
}

}  // namespace qv
