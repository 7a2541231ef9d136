#include <gtest/gtest.h>

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
        EXPECT_EQ(PlanNotification(r.setting, exists).kind, r.kind) << r.setting.type << r.setting.file;
        EXPECT_EQ(PlanNotification(r.setting, exists).file, r.file) << r.setting.type << r.setting.file;
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
    EXPECT_EQ(s[0].type, 1);   // match falls back to the beep
    EXPECT_EQ(s[1].type, 0);   // mismatch to silence
    EXPECT_EQ(s[2].type, 2);
    EXPECT_EQ(s[2].file, shipped.Path("Media/CHIMES.WAV"));   // saved expanded
    EXPECT_EQ(s[3].file, "%systemroot%/Media/NOTIFY.WAV");    // type 7 is left alone, ticks nothing
    EXPECT_EQ(TickedSoundItem(s[0].type), 1);
    EXPECT_EQ(TickedSoundItem(s[3].type), -1);

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
    const char* expected[4][3] = {
        {"照合一致時鳴らさない", "照合一致時Beep音を鳴動", "照合一致時Wave音(A.WAV)を鳴動"},
        {"照合不一致時鳴らさない", "照合不一致時Beep音を鳴動", "照合不一致時Wave音(A.WAV)を鳴動"},
        {"コードコピー時鳴らさない", "コードコピー時Beep音を鳴動", "コードコピー時Wave音(A.WAV)を鳴動"},
        {"重複検出時鳴らさない", "重複検出時Beep音を鳴動", "重複検出時Wave音(A.WAV)を鳴動"},
    };
    for (int n = 0; n < 4; ++n)
        for (int type = 0; type < 3; ++type)
            EXPECT_EQ(SoundMenuStatus(static_cast<Notification>(n), {type, "/m/A.WAV"}), expected[n][type]);
}

}  // namespace
}  // namespace qv
