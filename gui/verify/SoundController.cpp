#include "gui/verify/SoundController.h"

#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

#include "gui/shell/FileDialogs.h"
#include "gui/shell/QtPrompts.h"
#include "platform/DirSearch.h"
#include "settings/Settings.h"

namespace qv {
namespace {

constexpr size_t kLoadedSounds = 6;

// The type and file fields of each notification, in the order match, mismatch, copy, duplicate.
struct SoundFields {
    int Settings::*type;
    std::string Settings::*file;
};
constexpr SoundFields kFields[] = {
    {&Settings::MatchBeepType, &Settings::MatchSoundFile},
    {&Settings::MismatchBeepType, &Settings::MismatchSoundFile},
    {&Settings::CopyBeepType, &Settings::CopySoundFile},
    {&Settings::DuplicateBeepType, &Settings::DuplicateSoundFile},
};

const SoundFields& FieldsOf(Notification n) { return kFields[static_cast<size_t>(n)]; }

bool IsFile(const std::string& path) { return FileExists(path); }

}  // namespace

void QtSoundOutput::Beep() { QApplication::beep(); }

void QtSoundOutput::PlayWave(const std::string& file)
{
    auto it = loaded_.begin();
    while (it != loaded_.end() && it->first != file) ++it;
    QSoundEffect* effect = nullptr;
    if (it != loaded_.end()) {
        effect = it->second;
        loaded_.splice(loaded_.begin(), loaded_, it);
        effect->stop();
    } else {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(ToQ(file)));
        loaded_.emplace_front(file, effect);
        if (loaded_.size() > kLoadedSounds) {
            loaded_.back().second->deleteLater();
            loaded_.pop_back();
        }
    }
    // While the file is still loading, the effect starts as soon as it is ready.
    effect->play();
}

SoundSetting SoundController::Setting(Notification n) const
{
    const SoundFields& f = FieldsOf(n);
    return {p_.settings.*f.type, p_.settings.*f.file};
}

void SoundController::Store(Notification n, const SoundSetting& setting)
{
    const SoundFields& f = FieldsOf(n);
    p_.settings.*f.type = setting.type;
    p_.settings.*f.file = setting.file;
}

void SoundController::Play(Notification n) { PlayNotification(Setting(n)); }

void SoundController::PlayNotification(const SoundSetting& setting)
{
    const SoundPlan plan = PlanNotification(setting, IsFile);
    if (plan.kind == SoundKind::Beep) p_.output.Beep();
    else if (plan.kind == SoundKind::Wave) p_.output.PlayWave(plan.file);
}

void SoundController::PrepareAtStart()
{
    SoundSettings sounds;
    for (size_t i = 0; i < sounds.size(); ++i) sounds[i] = Setting(static_cast<Notification>(i));
    PrepareSounds(sounds, p_.shippedFolder, IsFile);
    for (size_t i = 0; i < sounds.size(); ++i) Store(static_cast<Notification>(i), sounds[i]);
}

void SoundController::TestClick(Notification n) { Play(n); }

void SoundController::TypeClick(Notification n, int tag)
{
    SoundSetting setting = Setting(n);
    if (tag == kBeepWave) {
        const std::string start = ChooserStartFile(setting);
        const std::string folder =
            ChooserStartFolder(start, p_.shippedFolder, IsFile, [](const std::string& f) { return FolderExists(f); });
        const std::string chosen = p_.dialogs.ChooseSoundFile(
            start, folder, [this](const std::string& file) { p_.output.PlayWave(file); });
        if (!chosen.empty()) setting = {kBeepWave, chosen};
    } else {
        setting.type = tag;
    }
    Store(n, setting);
    p_.status.SetStatus(SoundMenuStatus(n, setting));
}

}  // namespace qv
