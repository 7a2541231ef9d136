#pragma once
// Notification sounds: which one an outcome plays, how a setting plays, the start-up
// expansion of "%systemroot%" and the texts of the sound menu.

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

enum class Notification { Match, Mismatch, Copy, Duplicate };

// One notification's settings: type 0 none, 1 simple beep, 2 wave file (others: nothing).
struct SoundSetting {
    int type = 2;
    std::string file;
};

// In the order match, mismatch, copy, duplicate.
using SoundSettings = std::array<SoundSetting, 4>;
inline SoundSetting& SettingOf(SoundSettings& s, Notification n) { return s[static_cast<size_t>(n)]; }

// The sound after a matching pass: the duplicate sound whenever duplicates are shown.
Notification OutcomeNotification(bool anyCodeFound, bool duplicateShown);

enum class SoundKind { None, Beep, Wave };
struct SoundPlan {
    SoundKind kind = SoundKind::None;
    std::string file;   // Wave only
};
using FileExistsFn = std::function<bool(const std::string&)>;
// What playing a setting does. A wave file missing at play time gives the simple beep, as the
// desktop's default sound would stand in for it.
SoundPlan PlanNotification(const SoundSetting& setting, const FileExistsFn& exists);

// "%systemroot%" (any letter case) at the start becomes the shipped-data folder; separators
// after it may be written either way. Other paths are returned unchanged.
std::string ExpandSystemRoot(std::string_view file, std::string_view shippedFolder);
// Start-up: wave-file settings expanded; a missing file falls back to the beep (match,
// duplicate) or to silence (mismatch, copy).
void PrepareSounds(SoundSettings& sounds, std::string_view shippedFolder, const FileExistsFn& exists);

// The radio item to tick (0..2), or -1 for a type no item stands for.
int TickedSoundItem(int type);
// The status line after a radio item of the sound menu.
std::string SoundMenuStatus(Notification n, const SoundSetting& setting);

// The wave-file chooser: the file it starts on (the current file when the wave item is the
// ticked one), and the folder it opens when that file is not there.
std::string ChooserStartFile(const SoundSetting& setting);
std::string ChooserStartFolder(std::string_view startFile, std::string_view shippedFolder,
                               const FileExistsFn& exists, const FileExistsFn& folderExists);

}  // namespace qv
