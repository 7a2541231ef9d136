#pragma once
#include <string>

#include "gui/shell/Deferral.h"
#include "gui/shell/Shell.h"

class QMainWindow;

namespace qv {

// The status line, the caption and the application title of the main window; while deferred
// (during a batch) they reach the window at the next Flush.
class FrameTexts final : public StatusLine, public WindowFrame {
public:
    explicit FrameTexts(QMainWindow& window);

    void SetStatus(const std::string& text) override;
    std::string StatusText() const override;
    void SetCaption(const std::string& text) override;
    std::string Caption() const override;
    void SetAppTitle(const std::string& text) override;
    std::string AppTitle() const override { return title_; }
    void BringToFront() override;

    Deferral& Changes() { return changes_; }

private:
    enum : unsigned { kStatus = 1, kCaption = 2, kTitle = 4 };
    void Show(unsigned changed);

    QMainWindow& window_;
    std::string status_, caption_, title_;
    Deferral changes_{[this](unsigned changed) { Show(changed); }};
};

}  // namespace qv
