#pragma once
#include <array>

#include "gui/shell/Shell.h"

class QMenuBar;
class QStackedWidget;
class QWidget;

namespace qv {

// The client area: one page per view, the drop hint behind the basic frame, and the busy
// display. Which page shows follows from the busy state, the current view and whether the
// basic frame holds a result.
class PageStack final : public Pages {
public:
    enum Page { kInitialPage, kMainPage, kClipPage, kListPage, kDupPage, kBusyPage, kPageCount };

    PageStack(QStackedWidget& stack, QMenuBar& menuBar) : stack_(stack), menuBar_(menuBar) {}
    void AddPage(Page page, QWidget* widget);

    View CurrentView() const override { return view_; }
    void SetView(View view) override;
    bool Busy() const override { return busy_; }
    void SetBusy(bool busy) override;
    bool ResultShown() const override { return resultShown_; }
    void SetResultShown(bool shown) override;

private:
    void Update();

    QStackedWidget& stack_;
    QMenuBar& menuBar_;
    std::array<QWidget*, kPageCount> pages_{};
    View view_ = View::Basic;
    bool busy_ = false;
    bool resultShown_ = false;
};

}  // namespace qv
