#include "gui/prefs/PreferencesController.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWindow>

#include "gui/shell/FileDialogs.h"
#include "gui/shell/Menus.h"
#include "gui/shell/QtPrompts.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "platform/WorkHooks.h"

namespace qv {

PreferencesController::PreferencesController(Parts parts) : QObject(&parts.window), p_(std::move(parts))
{
    p_.window.statusBar()->installEventFilter(this);
}

void PreferencesController::BuildMenus(QMenu& viewMenu, QMenu& settingMenu)
{
    viewMenu.addSeparator();
    stayOnTop_ = AddMenuItem(&viewMenu, "StayOnTop", "常に手前に表示(&T)");
    stayOnTop_->setCheckable(true);
    // The handler ticks, from the setting it flipped.
    connect(stayOnTop_, &QAction::triggered, this, [this] { StayOnTopClick(); });
    QMenu* skeleton = viewMenu.addMenu(QStringLiteral("透過設定(&S)"));
    skeleton->setObjectName(QStringLiteral("SkeletonMenu"));
    auto* group = new QActionGroup(this);
    for (size_t i = 0; i < kOpacitySteps.size(); ++i) {
        const OpacityStep& step = kOpacitySteps[i];
        skeletons_[i] = AddMenuItem(skeleton, step.item, step.caption);
        skeletons_[i]->setCheckable(true);
        group->addAction(skeletons_[i]);
        connect(skeletons_[i], &QAction::triggered, this, [this, value = step.value] { SkeletonClick(value); });
    }

    const char* lastMenu = "";
    for (const ColourItemDef& def : kColourItems) {
        auto* menu = settingMenu.findChild<QMenu*>(QString::fromLatin1(def.menu));
        if (!menu) continue;
        if (std::string_view(def.menu) != lastMenu) menu->addSeparator();
        lastMenu = def.menu;
        connect(AddMenuItem(menu, def.name, def.caption), &QAction::triggered, this,
                [this, item = def.item] { ColourClick(item); });
    }

    QMenu* engine = settingMenu.addMenu(QStringLiteral("読取り設定(&R)"));
    engine->setObjectName(QStringLiteral("BufferingMenu"));
    noCache_ = AddMenuItem(engine, "NoCache", "キャッシュを使わずに読取る(&N)");
    noCache_->setCheckable(true);
    connect(noCache_, &QAction::triggered, this, [this](bool on) { NoCacheClick(on); });
    for (const EngineBox& box : kEngineBoxes)
        connect(AddMenuItem(engine, box.item, box.caption), &QAction::triggered, this, [this, &box] { EngineBoxClick(box); });
}

void PreferencesController::SyncTicks()
{
    stayOnTop_->setChecked(p_.settings.StayOnTop);
    // A stored opacity that is no step ticks none.
    for (size_t i = 0; i < kOpacitySteps.size(); ++i) skeletons_[i]->setChecked(kOpacitySteps[i].value == p_.settings.Opacity);
    noCache_->setChecked(p_.settings.NoCache);
}

void PreferencesController::ApplyWindowSettings()
{
    ApplyStayOnTop();
    ApplyOpacity();
}

bool PreferencesController::ApplyStayOnTop()
{
    QMainWindow& w = p_.window;
    const bool on = p_.settings.StayOnTop;
    Qt::WindowFlags flags = w.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow* handle = w.windowHandle();
    if (handle && w.isVisible()) {
        // Told to the window system directly: QWidget::setWindowFlags would hide the window.
        w.overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        w.setWindowFlags(flags);
    }
    return StayOnTopSupported(FromQ(QGuiApplication::platformName())) &&
           (!handle || handle->flags().testFlag(Qt::WindowStaysOnTopHint) == on);
}

void PreferencesController::ApplyOpacity() { p_.window.setWindowOpacity(AppliedOpacity(p_.settings.Opacity) / 255.0); }

void PreferencesController::StayOnTopClick()
{
    p_.settings.StayOnTop = !p_.settings.StayOnTop;
    stayOnTop_->setChecked(p_.settings.StayOnTop);
    const bool honoured = ApplyStayOnTop();
    p_.status.SetStatus(p_.settings.StayOnTop && !honoured ? kStayOnTopRefused : StayOnTopStatus(p_.settings.StayOnTop));
}

void PreferencesController::SkeletonClick(int opacity)
{
    p_.settings.Opacity = opacity;
    SyncTicks();
    ApplyOpacity();
    if (const std::string text = OpacityStatus(opacity); !text.empty()) p_.status.SetStatus(text);
}

void PreferencesController::StatusDblClick()
{
    if (!BlendingOn(AppliedOpacity(p_.settings.Opacity))) return;
    // Some compositors leave stale pixels under a translucent window until it is mapped again.
    p_.window.hide();
    p_.window.show();
    p_.status.SetStatus(kRepaintedStatus);
}

void PreferencesController::ColourClick(ColourItem item)
{
    const ColourItemDef& def = ColourItemOf(item);
    uint32_t colour = p_.settings.*def.field;
    if (!p_.dialogs.ChooseColour(colour)) return;
    p_.settings.*def.field = colour;
    p_.applyLook();
    if (item == ColourItem::ViewFont) p_.matcher.MatchComparisonText();
}

void PreferencesController::EngineBoxClick(const EngineBox& box)
{
    int& value = p_.settings.*box.field;
    // A cancelled box answers with the value it offered, which is reported as kept.
    std::string entry = std::to_string(value);
    p_.prompts.Input(box.title, box.prompt, entry);
    TakeBoxEntry(entry, box.range, value);
    EngineSettingsChanged();
    p_.status.SetStatus(box.status(value));
}

void PreferencesController::NoCacheClick(bool on)
{
    p_.settings.NoCache = on;
    EngineSettingsChanged();
}

void PreferencesController::EngineSettingsChanged()
{
    p_.job.SetEngineSettings(EngineSettingsFrom(p_.settings));
    p_.jobHooks.refreshPeriod = RefreshPeriodOf(p_.settings);
}

bool PreferencesController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == p_.window.statusBar()) StatusDblClick();
    return QObject::eventFilter(watched, event);
}

}  // namespace qv
