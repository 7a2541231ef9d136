#include "settings/Preferences.h"

#include <algorithm>
#include <charconv>

#include "platform/NumberFormat.h"
#include "platform/Text.h"

namespace qv {

std::string StayOnTopStatus(bool on)
{
    return on ? "「常に手前に表示」を有効にしました" : "「常に手前に表示」を無効にしました";
}

bool StayOnTopSupported(std::string_view platformName)
{
    // xdg-shell has no way for a client to keep itself above other windows.
    return platformName.substr(0, 7) != "wayland";
}

std::string OpacityStatus(int value)
{
    for (const OpacityStep& step : kOpacitySteps) {
        if (step.value == value) return step.status;
    }
    return {};
}

int AppliedOpacity(int stored) { return std::clamp(stored, kOpacitySteps.back().value, 255); }

std::string FileNameFontStatus(int points) { return "ファイル名フォントを" + std::to_string(points) + "ポに変更しました"; }

const std::array<ColourItemDef, 10> kColourItems = {{
    {ColourItem::Wall, "WALL_COLOR", "背景色(&B)...", "SettingBasicFrame", &Settings::WallColor},
    {ColourItem::Item, "ITEM_COLOR", "項目名の文字色(&T)...", "SettingBasicFrame", &Settings::ItemColor},
    {ColourItem::Normal, "NORMAL_COLOR", "文字色(&C)...", "SettingBasicFrame", &Settings::NormalColor},
    {ColourItem::Pickup, "PICKUP_COLOR", "一致時の文字色(&P)...", "SettingBasicFrame", &Settings::PickupColor},
    {ColourItem::ViewColor, "VIEW_COLOR", "背景色(&B)...", "V1", &Settings::ViewColor},
    {ColourItem::ViewFont, "VIEW_FONT", "文字色(&C)...", "V1", &Settings::ViewFontColor},
    {ColourItem::ListColor, "LIST_COLOR", "背景色(&B)...", "SettingFileList", &Settings::ListColor},
    {ColourItem::ListFont, "LIST_FONT", "文字色(&C)...", "SettingFileList", &Settings::ListFontColor},
    {ColourItem::DupColor, "DUP_COLOR", "背景色(&B)...", "SettingDupList", &Settings::DupColor},
    {ColourItem::DupFont, "DUP_FONT", "文字色(&C)...", "SettingDupList", &Settings::DupFontColor},
}};

const ColourItemDef& ColourItemOf(ColourItem item) { return kColourItems[static_cast<size_t>(item)]; }

Colour ResultMarkColour(int index, const Settings& s) { return index <= 2 ? s.PickupColor : s.ListFontColor; }

namespace {
std::string Seconds(int ms) { return FormatNumber(ms / 1000.0, "0.###") + "秒"; }
}  // namespace

std::string RefreshRateStatus(int ms) { return "算出時の画面更新頻度 " + Seconds(ms); }
std::string TimeOutStatus(int ms) { return "タイムアウト時間 " + Seconds(ms); }
std::string RetryStatus(int count) { return "リトライ回数 " + std::to_string(count) + "回"; }

const std::array<EngineBox, 3> kEngineBoxes = {{
    {"RefreshRate", "画面更新頻度(&U)...", "算出時の画面更新頻度の設定",
     "画面更新頻度をミリ秒単位で入力\r入力可能範囲300～3000\r(例)１秒は1000 , 0.8秒は800", kRefreshRateRange,
     &Settings::RefreshRate, &RefreshRateStatus},
    {"InputTimeOut", "タイムアウト時間(&T)...", "タイムアウト時間の設定",
     "タイムアウト時間をミリ秒単位で入力\r入力可能範囲300～30000\r(例)１秒は1000 , 0.8秒は800", kIoTimeOutRange,
     &Settings::IoTimeOut, &TimeOutStatus},
    {"InputRetry", "リトライ回数(&R)...", "リトライ回数の設定", "再試行回数を入力\r入力可能範囲0～15", kIoRetryOutRange,
     &Settings::IoRetryOut, &RetryStatus},
}};

bool TakeBoxEntry(std::string_view entry, AcceptedRange range, int& value)
{
    const std::string text = Trim(entry);
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, v);
    if (text.empty() || error != std::errc() || stop != end || !range.Contains(v)) return false;
    value = v;
    return true;
}

}  // namespace qv
