#pragma once
// The one mapping from the settings object to what the engine and the history work with, so
// the window and the terminal mode cannot read the settings differently.
#include <cstdint>

namespace qv {

struct EngineSettings;
struct HistoryOptions;
struct Settings;

EngineSettings EngineSettingsFrom(const Settings& settings);
// Milliseconds between progress refreshes and message pumps.
uint32_t RefreshPeriodOf(const Settings& settings);
// The history keeping and load/save modes as the settings hold them.
HistoryOptions HistoryOptionsFrom(const Settings& settings);

}  // namespace qv
