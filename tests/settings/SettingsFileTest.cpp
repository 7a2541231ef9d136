#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "platform/DateTime.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"

namespace qv {
namespace {

const ScreenMetrics kScreen{1920, 1080, 96};
constexpr uint64_t kMemory = 8ull << 30;

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Ini() const { return dir_.Path("Quenvarlith.ini"); }

    Settings Load(LoadResult* result = nullptr) const
    {
        Settings s;
        const LoadResult r = LoadSettings(Ini(), kScreen, kMemory, s);
        if (result != nullptr) *result = r;
        return s;
    }

    Settings LoadText(const std::string& text, LoadResult* result = nullptr) const
    {
        dir_.WriteFile("Quenvarlith.ini", text);
        return Load(result);
    }

    void Save(const Settings& s) const
    {
        std::string error;
        ASSERT_TRUE(SaveSettings(Ini(), s, error, clock_)) << error;
    }

    std::string FileText() const { return TempDir::ReadFile(Ini()); }

    std::string StoredValue(std::string_view section, std::string_view key) const
    {
        std::string v;
        return IniDocument::Parse(FileText()).Get(section, key, v) ? v : std::string("<missing>");
    }

    TempDir dir_;
    ManualClock clock_{EncodeDateTime(CalendarFields{2024, 1, 31, 9, 5, 7, 0})};
};

// Every stored field moved off its default, within what the load leaves unchanged.
Settings Unusual()
{
    Settings s = DefaultSettings(kScreen, kMemory);
    s.InitialDir = "/home/user/チェック済み";
    s.Top = 11;
    s.Left = 12;
    s.Width = 800;
    s.Height = 600;
    s.StayOnTop = true;
    s.Opacity = 96;
    s.FolderAttr_S = false;
    s.FolderAttr_H = false;
    s.FolderAttr_R = true;
    s.FileAttr_S = false;
    s.FileAttr_H = false;
    s.FileAttr_R = true;
    UpdateAttributeMasks(s);
    s.WallColor = 0x010203;
    s.ViewColor = 0x040506;
    s.ListColor = 0x070809;
    s.DupColor = 0x0A0B0C;
    s.ItemColor = 0x0D0E0F;
    s.NormalColor = 0x101112;
    s.PickupColor = 0x131415;
    s.ViewFontColor = 0x161718;
    s.ListFontColor = 0x191A1B;
    s.DupFontColor = 0xFFFFFF;
    s.MatchBeepType = 0;
    s.MatchSoundFile = " /leading blank.wav";
    s.MismatchBeepType = 1;
    s.MismatchSoundFile = "/trailing blank.wav ";
    s.CopyBeepType = 0;
    s.CopySoundFile = "";
    s.DuplicateBeepType = 1;
    s.DuplicateSoundFile = "/音/通知.wav";
    s.ExtTxt = false;
    s.ExtCsv = false;
    s.ExtSfv = false;
    s.ExtMd5 = false;
    s.ExtHtm = false;
    s.ExtOption = "*.sha;*.lst";
    s.ExtPar = false;
    s.PAR2Ex = true;
    s.LimitParFileSize = int64_t{6} << 30;   // beyond 32 bits
    s.LogKeepDate = -1;
    s.LimitLogingFileSize = 1048576;
    s.Verification = true;
    s.LogReadMode = 2;
    s.LogSaveMode = 3;
    s.SizeUnit = 3;
    s.FileNameFontSize = 14;
    s.LowerCaseCodes = true;
    s.ShowMainIcon = false;
    s.ViewerFontName = "Noto Sans Mono CJK JP";
    s.ViewerFontSize = 11;
    s.WordWrap = true;
    s.CloseupFileName = false;
    s.CloseupMD5 = false;
    s.CloseupCRC = false;
    s.AsyncClipboard = true;
    s.ViewerMaxLength = 123456;
    s.WheelScroll = false;
    s.NoCache = true;
    s.RefreshRate = 300;
    s.BufferSize = 1048576;
    s.IoTimeOut = 30000;
    s.IoRetryOut = 15;
    s.ReadThreadPriority = 5;
    // The icon-list growth steps are left alone: they are written where they are not read.
    s.TimestampFormats = {"yyyy-mm-dd", " hh:nn ", "d日"};
    ListFormat& f = s.ListFormats[2];
    f.Name = "自分の書式";
    f.HeaderText1 = " head ";
    f.HeaderText2 = "[tail]";
    f.PathHeader = true;
    f.Strings = {"\"", "=", " ; ", "", "end "};
    f.Codes = {2, 3, 4, 0, 5};
    f.NameFormat = 3;
    f.Md5Format = 1;
    f.CrcFormat = 1;
    f.SizeFormat = 1;
    f.TimeFormat = 2;
    f.Extension = ".LST";
    f.TailBlankLine = true;
    s.ListFormats[4].Extension = ".*";
    s.FileNameWidthAdjust = true;
    s.FileNameWidthFixable = 1;
    s.FileSizeWidthAdjust = false;
    s.FileSizeWidthFixable = 2;
    s.CrcWidthAdjust = false;
    s.CrcWidthFixable = 3;
    s.Md5WidthAdjust = false;
    s.Md5WidthFixable = 4;
    s.AttributeWidthAdjust = false;
    s.AttributeWidthFixable = 5;
    s.TimeStampWidthAdjust = false;
    s.TimeStampWidthFixable = 6;
    s.FileListIconView = false;
    s.FileListBorderView = true;
    s.FileListBoldFont = true;
    s.FolderListDropDownCount = 25;
    s.AdjustDupWidth = false;
    s.DupListIconView = false;
    s.DupListBorderView = true;
    s.DupListBoldFont = true;
    return s;
}

TEST_F(SettingsFileTest, FirstStartWithoutFile)
{
    LoadResult result;
    const Settings s = Load(&result);
    EXPECT_EQ(result.outcome, LoadOutcome::Missing);
    EXPECT_FALSE(result.stamp.exists);
    EXPECT_EQ(s, DefaultSettings(kScreen, kMemory));

    Save(s);
    const std::string text = FileText();
    EXPECT_EQ(text.substr(0, text.find("[AcceptAttribute]")),
              "[Quenvarlith]\r\n"
              "Program=\"Quenvarlith V1.08D\"\r\n"
              "Inifile Last Update=\"2024/01/31 9:05:07\"\r\n"
              "InitialDir=\"\"\r\n");
    // Sections in the order they are written, every line ended by CR LF.
    size_t at = 0;
    for (const char* section : {"[Quenvarlith]", "[AcceptAttribute]", "[Window]", "[Color]", "[Beep]", "[CheckFile]",
                                "[Loging]", "[BasicFrame]", "[ClipViewer]", "[Buffering]", "[Format]", "[FileList]",
                                "[DupList]"}) {
        const size_t found = text.find(std::string(section) + "\r\n", at);
        ASSERT_NE(found, std::string::npos) << section;
        at = found;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "at byte " << i;
        }
    }
    EXPECT_EQ(text.back(), '\n');

    EXPECT_EQ(StoredValue("Color", "Wall Color"), "92F592");
    EXPECT_EQ(StoredValue("Beep", "True SoundFile"), "%systemroot%/Media/TADA.WAV");
    EXPECT_NE(text.find("True SoundFile=\"%systemroot%/Media/TADA.WAV\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Viewer Font Name=ＭＳ ゴシック\r\n"), std::string::npos);
    EXPECT_NE(text.find("Limit PAR FileSize=4294967296\r\n"), std::string::npos);
    for (const char* line : {"設定1-登録名=[MD5 FileName]", "設定2-第２文字列=[ *]", "設定1-指定拡張子=.MD5",
                             "設定3-第２コード=5", "設定4-登録名=[md5]", "設定4-MD5書式=1", "設定5-第１文字列=[MD5 (]",
                             "設定5-第２文字列=[) = ]", "設定5-第１コード=0", "設定5-第２コード=1", "設定5-テイル改行=0"}) {
        EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
    }
    EXPECT_NE(text.find("タイムスタンプ書式数=1\r\nタイムスタンプ0=yyyy/mm/dd hh:mm:ss\r\n"), std::string::npos);

    // What was written reads back as the same settings.
    LoadResult again;
    EXPECT_EQ(Load(&again), s);
    EXPECT_EQ(again.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(again.storedProgram, "Quenvarlith V1.08D");
}

TEST_F(SettingsFileTest, EverySettingSurvivesSaveAndLoad)
{
    const Settings s = Unusual();
    Save(s);
    const std::string first = FileText();
    const Settings loaded = Load();
    // Written again, the file is the same to the byte: every key read back what was written.
    Save(loaded);
    EXPECT_EQ(FileText(), first);
    EXPECT_EQ(loaded.TimestampFormats, s.TimestampFormats);
    EXPECT_EQ(loaded.ListFormats[2], s.ListFormats[2]);
    EXPECT_EQ(loaded.LimitParFileSize, s.LimitParFileSize);
    EXPECT_EQ(loaded, s);
    EXPECT_EQ(StoredValue("Window", "AlwaysOnTop"), "1");
    EXPECT_EQ(StoredValue("AcceptAttribute", "SystemFile"), "0");
    EXPECT_EQ(StoredValue("Format", "設定3-ヘッダ第２文字列"), "[[tail]]");
}

TEST_F(SettingsFileTest, QuotesProtectLeadingAndTrailingBlanks)
{
    Settings s = DefaultSettings(kScreen, kMemory);
    s.MatchSoundFile = " /sounds/ok.wav";
    s.InitialDir = "/data/folder ";
    Save(s);
    EXPECT_NE(FileText().find("True SoundFile=\" /sounds/ok.wav\"\r\n"), std::string::npos);
    const Settings loaded = Load();
    EXPECT_EQ(loaded.MatchSoundFile, " /sounds/ok.wav");
    EXPECT_EQ(loaded.InitialDir, "/data/folder ");
}

TEST_F(SettingsFileTest, ColoursReadBlueGreenRed)
{
    Settings s = LoadText("[Color]\r\nWall Color=92F592\r\nViewer Color=00ff80\r\nFile List Color=GGGGGG\r\n"
                          "Dup List Color=1000000\r\nItem Color=\r\nNormal Color=0x10\r\nPickup Color=FF\r\n");
    EXPECT_EQ(ColourRed(s.WallColor), 0x92);
    EXPECT_EQ(ColourGreen(s.WallColor), 0xF5);
    EXPECT_EQ(ColourBlue(s.WallColor), 0x92);
    EXPECT_EQ(s.ViewColor, 0x00FF80u);
    EXPECT_EQ(ColourRed(s.ViewColor), 0x80);
    // Text that is no colour keeps the default.
    EXPECT_EQ(s.ListColor, 0x96FFFFu);
    EXPECT_EQ(s.DupColor, 0xFFC0FFu);
    EXPECT_EQ(s.ItemColor, 0x000080u);
    EXPECT_EQ(s.NormalColor, 0x003200u);
    EXPECT_EQ(s.PickupColor, 0x0000FFu);   // short text is still hexadecimal
    Save(s);
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "92F592");
    EXPECT_EQ(StoredValue("Color", "Viewer Color"), "00FF80");
    EXPECT_EQ(StoredValue("Color", "Pickup Color"), "0000FF");
}

TEST_F(SettingsFileTest, NumbersBooleansAndTheirFaults)
{
    const Settings s = LoadText(
        "[Buffering]\r\nBuffer Size=100000\r\nRead Thread Priority Low to High (1..5)=9\r\n"
        "RefreshRate=0x3E8\r\nI/O TimeOut=abc\r\nI/O RetryOut=99999999999\r\nNo Cache=5\r\n"
        "[ClipViewer]\r\nWordWrap=-1\r\nWheelScroll=0\r\nCRC CloseUp=yes\r\nViewerMaxLength=\" 42\"\r\n"
        "[Loging]\r\nLimit Loging FileSize=5000000000\r\nLog Keep Date=-3\r\n"
        "[CheckFile]\r\nLimit PAR FileSize=nothing\r\n");
    EXPECT_EQ(s.BufferSize, 65536);
    EXPECT_EQ(s.ReadThreadPriority, 3);
    EXPECT_EQ(s.RefreshRate, 1000);
    EXPECT_EQ(s.IoTimeOut, 10000);   // not a number: default
    EXPECT_EQ(s.IoRetryOut, 3);      // beyond 32 bits: default
    EXPECT_TRUE(s.NoCache);          // any integer but 0 is true
    EXPECT_TRUE(s.WordWrap);
    EXPECT_FALSE(s.WheelScroll);
    EXPECT_TRUE(s.CloseupCRC);       // not a number: default
    EXPECT_EQ(s.ViewerMaxLength, 42);
    EXPECT_EQ(s.LimitLogingFileSize, 5000000000);
    EXPECT_EQ(s.LogKeepDate, -3);
    EXPECT_EQ(s.LimitParFileSize, int64_t{4} << 30);

    EXPECT_EQ(LoadText("[Buffering]\r\nBuffer Size=200000\r\n").BufferSize, 196608);
    EXPECT_EQ(LoadText("[Buffering]\r\nBuffer Size=-7\r\n").BufferSize, 65536);
    // The bank size is a 32-bit setting: a larger text is no value at all.
    EXPECT_EQ(LoadText("[Buffering]\r\nBuffer Size=4294967296\r\n").BufferSize, 65536);
    EXPECT_EQ(LoadText("[Buffering]\r\nRead Thread Priority Low to High (1..5)=1\r\n").ReadThreadPriority, 1);
}

TEST_F(SettingsFileTest, AttributeMasksComeFromTheTicks)
{
    Settings s = LoadText("[AcceptAttribute]\r\nSystemFile=1\r\nHiddenFile=1\r\nReadOnlyFile=0\r\n"
                          "SystemFolder=1\r\nHiddenFolder=1\r\nReadOnlyFolder=1\r\n");
    EXPECT_EQ(s.FileAttrMask, 33u);
    EXPECT_EQ(s.FolderAttrMask, 48u);
    s = LoadText("[AcceptAttribute]\r\nSystemFile=0\r\nHiddenFile=0\r\nReadOnlyFile=0\r\n"
                 "SystemFolder=0\r\nHiddenFolder=0\r\nReadOnlyFolder=0\r\n");
    EXPECT_EQ(s.FileAttrMask, 39u);
    EXPECT_EQ(s.FolderAttrMask, 55u);
}

TEST_F(SettingsFileTest, KeysAndSectionsInOtherLetterCase)
{
    const Settings s = LoadText("[WINDOW]\r\nalwaysontop=1\r\n[color]\r\nWALL COLOR=000000\r\n"
                                "[checkfile]\r\nCOMPARE FILE EXT(OPTION)=*.LST\r\n[format]\r\n設定1-md5書式=1\r\n");
    EXPECT_TRUE(s.StayOnTop);
    EXPECT_EQ(s.WallColor, 0u);
    EXPECT_EQ(s.ExtOption, "*.LST");
    EXPECT_EQ(s.ListFormats[0].Md5Format, 1);
}

TEST_F(SettingsFileTest, WindowPlacementFromTheFile)
{
    Settings s = LoadText("[Window]\r\nTop=-20\r\nLeft=1800\r\nWidth=400\r\nHeight=5000\r\n");
    EXPECT_EQ(s.Top, 0);
    EXPECT_EQ(s.Left, 1920 - 400);
    EXPECT_EQ(s.Width, 400);
    EXPECT_EQ(s.Height, 192);
    s = LoadText("[Window]\r\nTop=100\r\n");   // the others default to the centred minimum
    EXPECT_EQ(s.Top, 100);
    EXPECT_EQ(s.Left, (1920 - 341) / 2);
    EXPECT_EQ(s.Width, 341);
}

TEST_F(SettingsFileTest, IconBufferSizeIsReadFromTheSettingSections)
{
    Settings s = LoadText("[FileList]\r\nIcon Buffer Size=5\r\n[DupList]\r\nIcon Buffer Size=6\r\n");
    EXPECT_EQ(s.FileListIconBufferSize, 1000);
    EXPECT_EQ(s.DupListIconBufferSize, 100);
    s = LoadText("[FileListSetting]\r\nIcon Buffer Size=5\r\n[DupListSetting]\r\nIcon Buffer Size=6\r\n");
    EXPECT_EQ(s.FileListIconBufferSize, 5);
    EXPECT_EQ(s.DupListIconBufferSize, 6);
    // Written where the file view's other keys live, so a hand edit there does nothing.
    Save(s);
    EXPECT_EQ(StoredValue("FileList", "Icon Buffer Size"), "5");
    EXPECT_EQ(StoredValue("DupList", "Icon Buffer Size"), "6");
}

TEST_F(SettingsFileTest, SameVersionKeepsUnknownKeys)
{
    LoadResult result;
    Settings s = LoadText(
        "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\nFuture Key=42\r\n"
        "[Color]\r\nWall Color=123456\r\nCustom Color=ABCDEF\r\n"
        "; a note\r\n[Plugin]\r\nName=\"x\"\r\n", &result);
    EXPECT_EQ(result.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(s.WallColor, 0x123456u);
    s.WallColor = 0x654321;
    Save(s);
    EXPECT_EQ(StoredValue("Quenvarlith", "Future Key"), "42");
    EXPECT_EQ(StoredValue("Color", "Custom Color"), "ABCDEF");
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "654321");
    EXPECT_EQ(StoredValue("Plugin", "Name"), "x");
    EXPECT_NE(FileText().find("; a note\r\n[Plugin]\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, OtherVersionIsWrittenAfresh)
{
    LoadResult result;
    const Settings s = LoadText(
        "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.07\"\r\nOld Key=1\r\n"
        "[Color]\r\nWall Color=000000\r\nRetired Color=111111\r\n[Old Section]\r\nx=y\r\n", &result);
    EXPECT_EQ(result.outcome, LoadOutcome::OtherVersion);
    EXPECT_EQ(result.storedProgram, "Quenvarlith V1.07");
    EXPECT_EQ(s.WallColor, 0u);   // its values are still read
    Save(s);
    const std::string text = FileText();
    EXPECT_EQ(text.find("Old Key"), std::string::npos);
    EXPECT_EQ(text.find("Retired Color"), std::string::npos);
    EXPECT_EQ(text.find("[Old Section]"), std::string::npos);
    EXPECT_EQ(text.rfind("[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\n", 0), 0u);
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "000000");

    // A file without any Program value counts as another version too.
    LoadText("[Plugin]\r\nName=x\r\n", &result);
    EXPECT_EQ(result.outcome, LoadOutcome::OtherVersion);
    Save(s);
    EXPECT_EQ(StoredValue("Plugin", "Name"), "<missing>");
}

TEST_F(SettingsFileTest, Cp932FileReads)
{
    // Shift-JIS: ＭＳ ゴシック as the font, 表示 as the name of format 1, a path holding 表.
    const Settings s = LoadText(
        "[ClipViewer]\r\nViewer Font Name=\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E\r\n"
        "[Beep]\r\nTrue SoundFile=\"/\x95\x5C/a.wav\"\r\n"
        "[Format]\r\n\x90\xDD\x92\xE8\x31\x2D\x93\x6F\x98\x5E\x96\xBC=[\x95\x5C\x8E\xA6]\r\n");
    EXPECT_EQ(s.ViewerFontName, "ＭＳ ゴシック");
    EXPECT_EQ(s.MatchSoundFile, "/表/a.wav");
    EXPECT_EQ(s.ListFormats[0].Name, "表示");
    Save(s);
    EXPECT_NE(FileText().find("設定1-登録名=[表示]\r\n"), std::string::npos);   // now UTF-8
}

TEST_F(SettingsFileTest, ListFormatTexts)
{
    const std::string text64(64, 'x');
    const std::string multibyte = std::string(63, 'y') + "あ";   // 66 bytes: the あ must go whole
    Settings s = LoadText(
        "[Format]\r\n"
        "設定1-第１文字列=[ ]\r\n"
        "設定1-第２文字列=[]\r\n"
        "設定1-第３文字列=[ *]\r\n"
        "設定1-第４文字列=abc\r\n"
        "設定1-第５文字列=x\r\n"
        "設定1-登録名=[" + text64 + "]\r\n"
        "設定1-ヘッダ第１文字列=[" + multibyte + "]\r\n"
        "設定1-ヘッダ第２文字列=「見出し」\r\n"
        "設定1-指定拡張子=.TOOLONGEXT\r\n"
        "設定1-第３コード=77\r\n"
        "設定2-指定拡張子=.あああ\r\n");
    const ListFormat& f = s.ListFormats[0];
    EXPECT_EQ(f.Strings[0], " ");
    EXPECT_EQ(f.Strings[1], "");
    EXPECT_EQ(f.Strings[2], " *");
    EXPECT_EQ(f.Strings[3], "b");
    EXPECT_EQ(f.Strings[4], "");
    EXPECT_EQ(f.Name, text64);
    EXPECT_EQ(f.HeaderText1, std::string(63, 'y'));
    EXPECT_EQ(f.HeaderText2, "見出し");
    EXPECT_EQ(f.Extension, ".TOOLONG");
    EXPECT_EQ(f.Codes[2], 77);   // taken without a range test
    EXPECT_EQ(s.ListFormats[1].Extension, ".ああ");   // 8 bytes would cut the third あ
    Save(s);
    EXPECT_NE(FileText().find("設定1-登録名=[" + text64 + "]\r\n"), std::string::npos);
    EXPECT_EQ(Load().ListFormats[0], f);
}

TEST_F(SettingsFileTest, TimestampFormatList)
{
    Settings s = LoadText("[Format]\r\nタイムスタンプ書式数=3\r\nタイムスタンプ0=yyyy\r\nタイムスタンプ2=hh\r\n");
    EXPECT_EQ(s.TimestampFormats, (std::vector<std::string>{"yyyy", "yyyy/mm/dd hh:mm:ss", "hh"}));
    s = LoadText("[Format]\r\nタイムスタンプ書式数=0\r\nタイムスタンプ0=yyyy\r\n");
    EXPECT_TRUE(s.TimestampFormats.empty());
    Save(s);
    EXPECT_EQ(StoredValue("Format", "タイムスタンプ書式数"), "0");

    // A hand-edited count cannot make the load run away.
    const auto started = std::chrono::steady_clock::now();
    s = LoadText("[Format]\r\nタイムスタンプ書式数=2147483647\r\n");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(s.TimestampFormats.size(), 1000u);
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileIntact)
{
    const std::string old = "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\n[Color]\r\nWall Color=000000\r\n";
    dir_.WriteFile("Quenvarlith.ini", old);
    // A file-size limit below the new file's size makes the write fail, even for root.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool saved_ok = SaveSettings(Ini(), Unusual(), error, clock_);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FileText(), old);
    // No temporary file is left behind either.
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.path().c_str())) {
        while (const dirent* e = readdir(d)) {
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        }
        closedir(d);
    }
    EXPECT_EQ(names, std::vector<std::string>{"Quenvarlith.ini"});
}

TEST_F(SettingsFileTest, SomethingOtherThanAFileAtThePath)
{
    dir_.MakeFolder("Quenvarlith.ini");
    LoadResult result;
    const Settings s = Load(&result);
    EXPECT_EQ(result.outcome, LoadOutcome::Unreadable);
    EXPECT_FALSE(result.errorText.empty());
    EXPECT_EQ(s, DefaultSettings(kScreen, kMemory));
    std::string error;
    EXPECT_FALSE(SaveSettings(Ini(), s, error, clock_));
    EXPECT_FALSE(error.empty());

    // A FIFO would block a reader for ever: it is refused, not opened.
    const std::string fifo = dir_.Path("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Settings t;
    EXPECT_EQ(LoadSettings(fifo, kScreen, kMemory, t).outcome, LoadOutcome::Unreadable);
    EXPECT_FALSE(SaveSettings(fifo, t, error, clock_));
}

TEST_F(SettingsFileTest, TraceDataEntries)
{
    Save(DefaultSettings(kScreen, kMemory));
    std::string error;
    const double when = EncodeDateTime(CalendarFields{2024, 2, 1, 13, 0, 1, 0});
    ASSERT_TRUE(WriteTraceData(Ini(), {{0, when, 5}, {2, when, 487}}, error)) << error;
    EXPECT_NE(FileText().find("[Trace Data]\r\nMemory Bank0 Free Error Time=\"2024/02/01 13:00:01\"\r\n"
                              "Memory Bank0 Free Error=5\r\n"),
              std::string::npos);
    EXPECT_EQ(StoredValue("Trace Data", "Memory Bank2 Free Error"), "487");
    EXPECT_EQ(StoredValue("Trace Data", "Memory Bank1 Free Error"), "<missing>");
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "92F592");   // the rest stays

    // Nothing to record writes nothing.
    const std::string before = FileText();
    ASSERT_TRUE(WriteTraceData(Ini(), {}, error));
    EXPECT_EQ(FileText(), before);
}

TEST_F(SettingsFileTest, ChangesByAnotherProgramAreNoticed)
{
    LoadResult missing;
    Load(&missing);
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), missing.stamp).changed);   // still no file
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=1\r\n");
    SettingsFileChange created = CheckSettingsFileChanged(Ini(), missing.stamp);
    EXPECT_TRUE(created.changed);
    EXPECT_TRUE(created.existsNow);
    EXPECT_EQ(created.recordedTime, 0.0);

    TempDir::SetMtime(Ini(), 1700000000);
    LoadResult result;
    Load(&result);
    ASSERT_TRUE(result.stamp.exists);
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), result.stamp).changed);

    // Same stamp, other content: an edit within the stamp's two-second step.
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=2\r\n");
    TempDir::SetMtime(Ini(), 1700000000);
    EXPECT_TRUE(CheckSettingsFileChanged(Ini(), result.stamp).changed);

    // Same content, touched later.
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=1\r\n");
    TempDir::SetMtime(Ini(), 1700000100);
    const SettingsFileChange touched = CheckSettingsFileChanged(Ini(), result.stamp);
    EXPECT_TRUE(touched.changed);
    EXPECT_EQ(touched.recordedTime, result.stamp.writeTime);
    EXPECT_NEAR(touched.currentTime - touched.recordedTime, 100.0 / 86400.0, 1e-6);

    unlink(Ini().c_str());
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), result.stamp).changed);
}

}  // namespace
}  // namespace qv
