// The matching pass over the comparison text, and the sound that tells its outcome.
#include <gtest/gtest.h>

#include <array>

#include "Encode.h"
#include "platform/DirSearch.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "verify/ComparisonFile.h"
#include "verify/Matching.h"
#include "verify/Sounds.h"

namespace qv {
namespace {

const std::string kCrc = "1A2B3C4D";
const std::string kMd5 = "00112233445566778899AABBCCDDEEFF";

TEST(MatchingPass, OutcomeTable)
{
    const MatchOptions all, noCrc{false, true, true}, noName{true, true, false};
    const auto match = Notification::Match, mismatch = Notification::Mismatch;
    struct Case {
        const char* what; std::string text; std::string crc; MatchOptions options; bool duplicate, cancelled;
        const char* status; std::vector<TextRange> marks; std::optional<Notification> sound;
    };
    const char* crcOnly = "ＣＲＣが一致しました";
    const Case cases[] = {
        {"lower-case text", "x 1a2b3c4d", kCrc, all, false, false, crcOnly, {{2, 8}}, match},
        {"lower-case code", "x 1A2B3C4D", "1a2b3c4d", all, false, false, crcOnly, {{2, 8}}, match},
        {"inside a longer run", "FFFF1A2B3C4DFFFF", kCrc, all, false, false, crcOnly, {{4, 8}}, match},
        {"twice", "1A2B3C4D\r\n1a2b3c4d", kCrc, all, false, false, crcOnly, {{0, 8}, {10, 8}}, match},
        {"never overlapping", "AAAAAAAAA", "AAAAAAAA", all, false, false, crcOnly, {{0, 8}}, match},
        {"CloseupCRC off", "1A2B3C4D", kCrc, noCrc, false, false, crcOnly, {}, match},
        {"name only", "a.bin 0000", kCrc, all, false, false, "クリップボードに一致したコードは有りません", {{0, 5}}, mismatch},
        {"name marks off", "a.bin 1A2B3C4D", kCrc, noName, false, false, crcOnly, {{6, 8}}, match},
        {"duplicate shown", kMd5 + " 1A2B3C4D", kCrc, all, true, false, "ＣＲＣとＭＤ５が一致しました", {{0, 32}, {33, 8}}, Notification::Duplicate},
        {"md5 only", kMd5, kCrc, all, false, false, "ＭＤ５が一致しました", {{0, 32}}, match},
        {"crc inside md5", kMd5, "44556677", all, false, false, "ＣＲＣとＭＤ５が一致しました", {{0, 32}}, match},
        {"cancelled", "1A2B3C4D", kCrc, all, true, true, "ハッシュ計算は中止されました", {{0, 8}}, match},
        {"empty viewer", "", kCrc, all, true, false, "検査対象ファイルを読込ませて下さい", {}, std::nullopt},
        {"no result", "1A2B3C4D", "", all, false, false, "検査対象ファイルを読込ませて下さい", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const MatchOutcome out = MatchComparisonText(ComparisonText(c.text), {c.crc, kMd5, "a.bin", c.cancelled, c.duplicate}, c.options);
        EXPECT_EQ(std::tie(out.status, out.textMarks, out.sound, out.ran, out.clearResult),
                  std::tuple(c.status, c.marks, c.sound, c.sound.has_value(), c.cancelled)) << c.what;
    }
}

TEST(MatchingPass, MarksInDocumentPositions)
{
    const ComparisonText text("表😀\r\n1a2b3c4d ＡＢ a.bin");
    const MatchOutcome out = MatchComparisonText(text, {kCrc, kMd5, "a.bin"}, {});
    EXPECT_EQ(out.marks, (std::vector<DocRange>{{4, 8}, {16, 5}}));
    EXPECT_EQ(MatchStatus(text, kCrc, kMd5), "ＣＲＣが一致しました");
}

// A list in four encodings, read back from a file: every entry's codes and name are found again.
TEST(MatchingRoundTrip, ListEncodings)
{
    const std::string names[] = {"表示.txt", "ソフト_1.bin", "data 2.iso", "ﾃｽﾄ.dat"};   // 表 and ソ end in 0x5C in CP932
    const auto crc = [](int i) { return std::string(8, static_cast<char>('1' + i)); };
    const auto md5 = [](int i) { return std::string(32, static_cast<char>('A' + i)); };
    std::string list = "; generated list\r\n";
    for (int i = 0; i < 4; ++i) list += "\"" + names[i] + "\",1024," + crc(i) + "," + AsciiLower(md5(i)) + "\n";
    const std::pair<const char*, std::string (*)(std::string_view)> encodings[] = {
        {"utf-8", [](std::string_view s) { return std::string(s); }},
        {"cp932", [](std::string_view s) { return test::Encode(s, "CP932"); }},
        {"utf-16le", test::Utf16Le},
        {"utf-16be", test::Utf16Be},
    };
    TempDir dir;
    for (const auto& [encoding, encode] : encodings) {
        const std::string file = dir.WriteFile(std::string(encoding) + ".txt", encode(list));
        const ComparisonText text(LoadComparisonFile(file, kListByteLimit, 5000000).text);
        for (int i = 0; i < 4; ++i) {
            const MatchOutcome out = MatchComparisonText(text, {crc(i), md5(i), names[i]}, {});
            EXPECT_TRUE(out.crcFound && out.md5Found) << encoding << " " << names[i];
            EXPECT_TRUE(std::any_of(out.textMarks.begin(), out.textMarks.end(), [&](const TextRange& r) {
                return text.Text().compare(r.start, r.length, names[i]) == 0;
            })) << encoding << " " << names[i];
        }
        EXPECT_FALSE(MatchComparisonText(text, {"DEADBEEF", std::string(32, 'E'), "x"}, {}).crcFound) << encoding;
    }
}


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
    EXPECT_EQ(ChooserStartFile(s[0]), "");   // the beep is in force
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
