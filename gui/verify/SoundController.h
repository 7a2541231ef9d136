#pragma once
#include <QObject>

#include <list>
#include <string>
#include <utility>

#include "gui/shell/Shell.h"
#include "verify/Sounds.h"

class QSoundEffect;

namespace qv {

class FileDialogs;

// Where the sounds go: the desktop's simple beep and asynchronous wave playback.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void Beep() = 0;
    virtual void PlayWave(const std::string& file) = 0;
};

// Qt Multimedia: a wave file plays in the background; without an audio device it stays
// silent, and an unreadable file is simply not heard.
class QtSoundOutput final : public QObject, public SoundOutput {
public:
    explicit QtSoundOutput(QObject* parent = nullptr) : QObject(parent) {}
    void Beep() override;
    void PlayWave(const std::string& file) override;

private:
    // The few files played lately stay loaded; the oldest goes when another one comes.
    std::list<std::pair<std::string, QSoundEffect*>> loaded_;
};

// The four notification sounds: PlayNotification, the start-up expansion of "%systemroot%",
// and the handlers of the BEEP音 menu. The settings object holds the types and files.
class SoundController final : public Notifier {
public:
    struct Parts {
        Settings& settings;
        StatusLine& status;
        FileDialogs& dialogs;
        SoundOutput& output;
        std::string shippedFolder;   // stands for "%systemroot%"
    };
    explicit SoundController(Parts parts) : p_(std::move(parts)) {}

    // Notifier.
    void Play(Notification n) override;
    void PlayNotification(const SoundSetting& setting);

    // Start-up, once the settings are read: wave files expanded, missing ones fall back.
    void PrepareAtStart();
    SoundSetting Setting(Notification n) const;
    // BeepTrueTestClick and its three twins.
    void TestClick(Notification n);
    // BeepTrueClick and its twins, with the Tag of the clicked radio item (the type it
    // chooses). The caller ticks the item of the type then in force.
    void TypeClick(Notification n, int tag);

private:
    void Store(Notification n, const SoundSetting& setting);

    Parts p_;
};

}  // namespace qv
