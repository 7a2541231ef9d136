#pragma once
// The look-and-engine preference commands of the window, without a widget: what each command
// changes, the limits it keeps to and the one line it reports.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "settings/Settings.h"

namespace qv {

// Stay on top.
std::string StayOnTopStatus(bool on);
// Said instead when the desktop does not keep windows above others (the tick stays, so the
// choice holds again on a desktop that does).
inline constexpr const char* kStayOnTopRefused =
    "このデスクトップは「常に手前に表示」に対応していません（設定は保存されます）";
// Qt platform plugins whose desktops ignore the stay-on-top hint.
bool StayOnTopSupported(std::string_view platformName);

// Opacity steps of the menu, from opaque to the thinnest.
struct OpacityStep {
    int value;             // 0..255
    const char* item;      // Skeleton0 ... Skeleton4
    const char* caption;
    const char* status;
};
inline constexpr std::array<OpacityStep, 5> kOpacitySteps = {{
    {255, "Skeleton0", "透過なし(&0)", "透過設定 = 透過なし"},
    {192, "Skeleton1", "やや薄(&1)", "透過設定 = やや薄"},
    {128, "Skeleton2", "並薄(&2)", "透過設定 = 並薄"},
    {96, "Skeleton3", "超薄(&3)", "透過設定 = 超薄"},
    {64, "Skeleton4", "極薄(&4)", "透過設定 = 極薄"},
}};
// "" for a value that is no step.
std::string OpacityStatus(int value);
constexpr bool BlendingOn(int opacity) { return opacity < 255; }
// The opacity the window gets: a hand-edited value is kept between the thinnest step and
// opaque, so the window can never vanish from the screen.
int AppliedOpacity(int stored);
inline constexpr const char* kRepaintedStatus = "ウインドウを再描画しました";

std::string FileNameFontStatus(int points);

// The ten colour items: which setting each edits and which submenu holds it.
enum class ColourItem { Wall, Item, Normal, Pickup, ViewColor, ViewFont, ListColor, ListFont, DupColor, DupFont };
struct ColourItemDef {
    ColourItem item;
    const char* name;      // WALL_COLOR ...
    const char* caption;
    const char* menu;      // the submenu's name
    Colour Settings::*field;
};
extern const std::array<ColourItemDef, 10> kColourItems;
const ColourItemDef& ColourItemOf(ColourItem item);

// The bulk checks' result marks by index: the three found marks in the pickup colour, the
// others in the list's text colour; all on the list's background.
inline constexpr int kResultMarkCount = 5;
Colour ResultMarkColour(int index, const Settings& settings);

// The engine boxes: refresh period, I/O time-out and retry count.
struct EngineBox {
    const char* item;
    const char* caption;
    const char* title;
    const char* prompt;
    AcceptedRange range;
    int Settings::*field;
    std::string (*status)(int value);
};
extern const std::array<EngineBox, 3> kEngineBoxes;
// A decimal number (blanks around it allowed) inside the range becomes value; anything else
// leaves value as it was. True when value took the entry.
bool TakeBoxEntry(std::string_view entry, AcceptedRange range, int& value);
std::string RefreshRateStatus(int ms);
std::string TimeOutStatus(int ms);
std::string RetryStatus(int count);

}  // namespace qv
