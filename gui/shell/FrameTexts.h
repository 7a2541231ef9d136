#pragma once
#include <string>

#include "gui/shell/Shell.h"

class QMainWindow;

namespace qv {

// The status line, the caption and the application title of the main window.
class FrameTexts final : public StatusLine, public WindowFrame {
public:
    explicit FrameTexts(QMainWindow& window);

    void SetStatus(const std::string& text) override;
    std::string StatusText() const override;
    void SetCaption(const std::string& text) override;
    std::string Caption() const override;
    void SetAppTitle(const std::string& text) override;
    std::string AppTitle() const override { return appTitle_; }
    void BringToFront() override;

private:
    QMainWindow& window_;
    std::string caption_;
    std::string appTitle_;
};

}  // namespace qv
