#include "gui/shell/FrameTexts.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

#include "gui/shell/QtPrompts.h"
#include "processing/ResultPanel.h"

namespace qv {

FrameTexts::FrameTexts(QMainWindow& window) : window_(window)
{
    SetAppTitle(kAppTitle);
}

void FrameTexts::SetStatus(const std::string& text) { window_.statusBar()->showMessage(ToQ(text)); }
std::string FrameTexts::StatusText() const { return FromQ(window_.statusBar()->currentMessage()); }

// The caption names the current file; its bytes are kept, since the title shows a name that is
// not valid UTF-8 with a replacement character.
void FrameTexts::SetCaption(const std::string& text)
{
    caption_ = text;
    window_.setWindowTitle(ToQ(text));
}
std::string FrameTexts::Caption() const { return caption_; }

void FrameTexts::SetAppTitle(const std::string& text)
{
    appTitle_ = text;
    // The icon name is the task-bar text; a set display name would instead be appended to
    // every window caption and stay there after the batch.
    window_.setWindowIconText(ToQ(text));
}

void FrameTexts::BringToFront()
{
    // The offscreen platform (tests, headless sessions) has no stacking order to change.
    if (!window_.isVisible() || QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    window_.raise();
    window_.activateWindow();
}

}  // namespace qv
