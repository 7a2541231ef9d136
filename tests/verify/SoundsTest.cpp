#include <gtest/gtest.h>

#include <array>

#include "platform/DirSearch.h"
#include "support/TempDir.h"
#include "verify/Sounds.h"

namespace qv {
namespace {

TEST(Sounds, PlayDecisions)
{
    const auto exists = [](const std::string& f) { return f == "/s/ok.wav"; };
    struct Row { SoundSetting setting; SoundKind kind; const char* file; };
    const Row rows[] = {
        {{0, "/s/ok.wav"}, SoundKind::None, ""},  {{1, "/s/ok.wav"}, SoundKind::Beep, ""},
        {{2, "/s/ok.wav"}, SoundKind::Wave, "/s/ok.wav"}, {{2, "/s/gone.wav"}, SoundKind::Beep, ""},
        {{7, "/s/ok.wav"}, SoundKind::None, ""},
    };
    for (const Row& r : rows) {
        const SoundPlan plan = PlanNotification(r.setting, exists);
        EXPECT_EQ(std::tie(plan.kind, plan.file), std::tuple(r.kind, r.file)) << r.setting.type << r.setting.file;
    }
}

TEST(Sounds, StartUpExpandsAndFallsBack)
{
    EXPECT_EQ(ExpandSystemRoot("%SystemRoot%\\Media\\TADA.WAV", "/opt/q"), "/opt/q/Media/TADA.WAV");
    EXPECT_EQ(ExpandSystemRoot("/w/a\\b.wav", "/opt/q"), "/w/a\\b.wav");
    EXPECT_EQ(ExpandSystemRoot("x%systemroot%", "/opt/q"), "x%systemroot%");

    TempDir shipped;
    shipped.WriteFile("Media/CHIMES.WAV", "RIFF");
    SoundSettings s{{{2, "%systemroot%/Media/TADA.WAV"}, {2, "%systemroot%/Media/CHORD.WAV"},
                     {2, "%systemroot%/Media/CHIMES.WAV"}, {7, "%systemroot%/Media/NOTIFY.WAV"}}};
    PrepareSounds(s, shipped.path(), FileExists);
    // A missing wave: match falls back to the beep, mismatch to silence.
    EXPECT_EQ((std::array{s[0].type, s[1].type, s[2].type}), (std::array{1, 0, 2}));
    EXPECT_EQ(s[2].file, shipped.Path("Media/CHIMES.WAV"));   // saved expanded
    EXPECT_EQ(s[3].file, "%systemroot%/Media/NOTIFY.WAV");    // type 7 is left alone, ticks nothing
    EXPECT_EQ(std::pair(TickedSoundItem(s[0].type), TickedSoundItem(s[3].type)), std::pair(1, -1));

    // The chooser opens on the current wave file, else in Media, else in the shipped folder.
    EXPECT_EQ(ChooserStartFile(s[2]), s[2].file);
    EXPECT_EQ(ChooserStartFile(s[0]), "");   // the beep is in force
    EXPECT_EQ(ChooserStartFolder("", shipped.path(), FileExists, FolderExists), shipped.Path("Media"));
    TempDir bare;
    EXPECT_EQ(ChooserStartFolder("/gone.wav", bare.path(), FileExists, FolderExists), bare.path());
    EXPECT_EQ(ChooserStartFolder(s[2].file, bare.path(), FileExists, FolderExists), shipped.Path("Media"));
}

TEST(Sounds, MenuStatusTexts)
{
    const std::string events[] = {"照合一致時", "照合不一致時", "コードコピー時", "重複検出時"};
    const std::string actions[] = {"鳴らさない", "Beep音を鳴動", "Wave音(A.WAV)を鳴動"};
    for (int n = 0; n < 4; ++n)
        for (int type = 0; type < 3; ++type)
            EXPECT_EQ(SoundMenuStatus(static_cast<Notification>(n), {type, "/m/A.WAV"}), events[n] + actions[type]);
}

}  // namespace
}  // namespace qv
