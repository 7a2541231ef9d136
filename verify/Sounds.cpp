#include "verify/Sounds.h"

#include <algorithm>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {
namespace {

constexpr std::string_view kSystemRoot = "%systemroot%";

struct MenuTexts {
    const char* prefix;   // "照合一致時"
    const char* silent;   // type 0
};
constexpr std::array<MenuTexts, 4> kMenuTexts{{
    {"照合一致時", "照合一致時鳴らさない"},
    {"照合不一致時", "照合不一致時鳴らさない"},
    {"コードコピー時", "コードコピー時鳴らさない"},
    {"重複検出時", "重複検出時鳴らさない"},
}};

}  // namespace

Notification OutcomeNotification(bool anyCodeFound, bool duplicateShown)
{
    if (duplicateShown) return Notification::Duplicate;
    return anyCodeFound ? Notification::Match : Notification::Mismatch;
}

SoundPlan PlanNotification(const SoundSetting& setting, const FileExistsFn& exists)
{
    if (setting.type == 1) return {SoundKind::Beep, {}};
    if (setting.type != 2) return {};
    if (!exists(setting.file)) return {SoundKind::Beep, {}};
    return {SoundKind::Wave, setting.file};
}

std::string ExpandSystemRoot(std::string_view file, std::string_view shippedFolder)
{
    if (file.size() < kSystemRoot.size() || !EqualsAsciiFolded(file.substr(0, kSystemRoot.size()), kSystemRoot))
        return std::string(file);
    // Settings carried over from a Windows set-up write "%systemroot%\Media\TADA.WAV".
    std::string rest(file.substr(kSystemRoot.size()));
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return JoinPath(shippedFolder, rest);
}

void PrepareSounds(SoundSettings& sounds, std::string_view shippedFolder, const FileExistsFn& exists)
{
    for (size_t i = 0; i < sounds.size(); ++i) {
        SoundSetting& s = sounds[i];
        if (s.type != 2) continue;
        s.file = ExpandSystemRoot(s.file, shippedFolder);
        if (exists(s.file)) continue;
        const auto n = static_cast<Notification>(i);
        s.type = (n == Notification::Match || n == Notification::Duplicate) ? 1 : 0;
    }
}

int TickedSoundItem(int type) { return type >= 0 && type <= 2 ? type : -1; }

std::string SoundMenuStatus(Notification n, const SoundSetting& setting)
{
    const MenuTexts& t = kMenuTexts[static_cast<size_t>(n)];
    switch (setting.type) {
    case 0: return t.silent;
    case 1: return std::string(t.prefix) + "Beep音を鳴動";
    case 2: return std::string(t.prefix) + "Wave音(" + NameOf(setting.file) + ")を鳴動";
    default: return {};
    }
}

std::string ChooserStartFile(const SoundSetting& setting) { return setting.type == 2 ? setting.file : std::string(); }

std::string ChooserStartFolder(std::string_view startFile, std::string_view shippedFolder,
                               const FileExistsFn& exists, const FileExistsFn& folderExists)
{
    if (!startFile.empty() && exists(std::string(startFile))) return FolderOf(startFile);
    const std::string media = JoinPath(shippedFolder, "Media");
    return folderExists(media) ? media : std::string(shippedFolder);
}

}  // namespace qv
