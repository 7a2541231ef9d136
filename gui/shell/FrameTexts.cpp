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

void FrameTexts::Show(unsigned changed)
{
    if (changed & kStatus) window_.statusBar()->showMessage(ToQ(status_));
    if (changed & kCaption) window_.setWindowTitle(ToQ(caption_));
    // The icon name is the task-bar text; a set display name would instead be appended to
    // every window caption and stay there after the batch.
    if (changed & kTitle) window_.setWindowIconText(ToQ(title_));
}

void FrameTexts::SetStatus(const std::string& text)
{
    status_ = text;
    changes_.Changed(kStatus);
}

// The widgets have the last word unless a change waits: a menu's status tip also writes the
// status bar.
std::string FrameTexts::StatusText() const
{
    return changes_.Pending(kStatus) ? status_ : FromQ(window_.statusBar()->currentMessage());
}

void FrameTexts::SetCaption(const std::string& text)
{
    caption_ = text;
    changes_.Changed(kCaption);
}

// The caption names the current file by its bytes: the title shows a name that is not valid
// UTF-8 with a replacement character, which could not name the file again.
std::string FrameTexts::Caption() const { return caption_; }

void FrameTexts::SetAppTitle(const std::string& text)
{
    title_ = text;
    changes_.Changed(kTitle);
}

void FrameTexts::BringToFront()
{
    changes_.Flush();
    // The offscreen platform (tests, headless sessions) has no stacking order to change.
    if (!window_.isVisible() || QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    window_.raise();
    window_.activateWindow();
}

}  // namespace qv
