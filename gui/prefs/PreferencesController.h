#pragma once
#include <QObject>

#include <functional>

#include "gui/shell/Shell.h"
#include "settings/Preferences.h"

class QAction;
class QMainWindow;
class QMenu;

namespace qv {

class FileDialogs;
struct WorkHooks;

// The window-wide preferences: stay on top, opacity and the repaint double click, the colour
// scheme, and the engine's refresh period, time-out, retries and cache bypass. Each command
// changes its setting, applies it at once and reports in the status line.
class PreferencesController final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QMainWindow& window;
        Settings& settings;
        Prompts& prompts;
        FileDialogs& dialogs;
        StatusLine& status;
        FileJob& job;
        WorkHooks& jobHooks;          // the hooks the hashing job reports through
        ComparisonCheck& matcher;     // re-marks the comparison text after a viewer colour change
        std::function<void()> applyLook;   // colours, fonts and marks of every view, as a whole
    };
    explicit PreferencesController(Parts parts);

    // Its items: stay on top and opacity at the end of the view menu; the colour items at the
    // end of the four display submenus of the settings menu; the engine submenu after them.
    void BuildMenus(QMenu& viewMenu, QMenu& settingMenu);
    // Ticks from the settings.
    void SyncTicks();
    // Stay on top and opacity as the settings say, without a status line (start-up).
    void ApplyWindowSettings();

    void StayOnTopClick();
    void SkeletonClick(int opacity);
    void StatusDblClick();
    void ColourClick(ColourItem item);
    void EngineBoxClick(const EngineBox& box);
    void NoCacheClick(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the desktop does not keep the window on top.
    bool ApplyStayOnTop();
    void ApplyOpacity();
    void EngineSettingsChanged();

    Parts p_;
    QAction* stayOnTop_ = nullptr;
    std::array<QAction*, kOpacitySteps.size()> skeletons_{};
    QAction* noCache_ = nullptr;
};

}  // namespace qv
