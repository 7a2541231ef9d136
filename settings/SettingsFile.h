#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace qv {

// Quenvarlith.ini in the data folder.
std::string DefaultSettingsPath();

// What the settings file looked like when it was read, to notice another program's changes.
struct SettingsFileStamp {
    bool exists = false;
    double writeTime = 0.0;   // last-write time, local date-time value
    std::string bytes;        // the whole file as read
};

enum class LoadOutcome {
    Missing,        // no file: every default applies
    Loaded,         // a file of this version
    OtherVersion,   // read as well, but Save will write it afresh
    Unreadable,     // the file exists but could not be read: defaults, errorText says why
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Missing;
    std::string storedProgram;   // the file's Program value
    std::string errorText;
    SettingsFileStamp stamp;
};

// Reads every key into s (defaults for what is missing or unreadable), then the derived
// values: window placement, attribute masks, bank size, reader priority, and the engine
// tuning values brought into their accepted ranges.
LoadResult LoadSettings(const std::string& path, const ScreenMetrics& screen,
                        uint64_t physicalMemoryBytes, Settings& s);

// Writes every key (errorText: the platform's reason on failure). A file of this version keeps its other keys and sections; a file of
// another version (or none) is written afresh. The old file stays intact on failure.
bool SaveSettings(const std::string& path, const Settings& s, std::string& errorText,
                  const Clock& clock = SystemClock::Instance());

// A buffer bank whose memory could not be released at exit.
struct BankFreeFailure {
    int bank = 0;          // 0, 1, 2
    double time = 0.0;     // local date-time value
    int errorCode = 0;     // platform error code
};
// Adds the entries to section "Trace Data" of the settings file.
bool WriteTraceData(const std::string& path, const std::vector<BankFreeFailure>& failures,
                    std::string& errorText);

// Whether a file now at the path differs from the one read at load: created, rewritten or
// touched since. A file that has gone away is no change (saving harms nothing then).
struct SettingsFileChange {
    bool changed = false;
    bool existsNow = false;
    double recordedTime = 0.0;   // 0 when there was no file at load
    double currentTime = 0.0;
};
SettingsFileChange CheckSettingsFileChanged(const std::string& path, const SettingsFileStamp& recorded);

}  // namespace qv
