// Notification sounds in the window: the start-up fallbacks and ticks, and the BEEP音 menu and
// its chooser.
#include "AppTestSupport.h"

namespace qv {
namespace {

class SoundsTest : public WindowTest {
protected:
    // The ticked radio item of each sound submenu, "" where none is.
    std::vector<std::string> Ticked() const
    {
        std::vector<std::string> out;
        for (const char* prefix : {"BeepTrue", "BeepFalse", "BeepCopy", "BeepDup"}) {
            std::string ticked;
            for (int tag = 0; tag < 3; ++tag) {
                const std::string name = prefix + std::to_string(tag);
                if (Action(name.c_str())->isChecked()) ticked = name;
            }
            out.push_back(ticked);
        }
        return out;
    }
};

TEST_F(SoundsTest, MissingDefaultsFallBackAtStartAndTheMenusTickWhatIsInForce)
{
    Start();
    EXPECT_EQ(Ticked(), (std::vector<std::string>{"BeepTrue2", "BeepFalse2", "BeepCopy2", "BeepDup2"}));
    EXPECT_EQ(S().settings.MatchSoundFile, JoinPath(Shipped(), "Media/TADA.WAV"));
    CloseAndDestroy();

    std::remove(dir.Path("shipped/Media/TADA.WAV").c_str());
    std::remove(dir.Path("shipped/Media/CHORD.WAV").c_str());
    dir.WriteFile("home/Quenvarlith.ini", "[Beep]\r\nCopy Beep Type=7\r\n");
    Start();
    EXPECT_EQ(Ticked(), (std::vector<std::string>{"BeepTrue1", "BeepFalse0", "", "BeepDup2"}));
    sounds.played.clear();
    for (const char* test : {"BeepTrueTest", "BeepFalseTest", "BeepCopyTest", "BeepDupTest"}) Trigger(test);
    EXPECT_EQ(sounds.played, (std::vector<std::string>{"beep", "NOTIFY.WAV"}));
}

TEST_F(SoundsTest, WaveItemsOpenTheChooserWhereTheCurrentChoiceIs)
{
    const std::string ding = dir.WriteFile("waves/ding.wav", "RIFF");
    Start();
    Trigger("BeepCopy1");
    EXPECT_EQ(Status(), "コードコピー時Beep音を鳴動");
    dialogs.soundAnswers = {ding};
    Trigger("BeepCopy2");
    ASSERT_EQ(dialogs.soundStarts.size(), 1u);
    EXPECT_EQ(dialogs.soundStarts[0], std::make_pair(std::string(), JoinPath(Shipped(), "Media")));
    EXPECT_EQ(Status(), "コードコピー時Wave音(ding.wav)を鳴動");
    EXPECT_EQ(Ticked()[2], "BeepCopy2");

    // Cancelled: nothing changes, and the status tells what stays in force.
    Trigger("BeepCopy2");
    EXPECT_EQ(dialogs.soundStarts[1], std::make_pair(ding, dir.Path("waves")));
    EXPECT_EQ(Status(), "コードコピー時Wave音(ding.wav)を鳴動");
    EXPECT_EQ(Ticked()[2], "BeepCopy2");
    sounds.played.clear();
    Trigger("BeepCopyTest");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"ding.wav"});

    Trigger("BeepDup0");
    EXPECT_EQ(Status(), "重複検出時鳴らさない");
    EXPECT_EQ(S().settings.DuplicateBeepType, 0);
    EXPECT_EQ(Ticked()[3], "BeepDup0");
}

}  // namespace
}  // namespace qv
