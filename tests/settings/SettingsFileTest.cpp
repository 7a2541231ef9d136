#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "platform/DateTime.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "support/Processes.h"
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
    bool Holds(const std::string& line) const { return FileText().find(line + "\r\n") != std::string::npos; }
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
    s.InitialDir = "/home/user/チェック済み", s.Top = 11, s.Left = 12, s.Width = 800, s.Height = 600;
    s.StayOnTop = true, s.Opacity = 96;
    s.FolderAttr_S = s.FolderAttr_H = s.FileAttr_S = s.FileAttr_H = false, s.FolderAttr_R = s.FileAttr_R = true;
    UpdateAttributeMasks(s);
    s.WallColor = 0x010203, s.ViewColor = 0x040506, s.ListColor = 0x070809, s.DupColor = 0x0A0B0C;
    s.ItemColor = 0x0D0E0F, s.NormalColor = 0x101112, s.PickupColor = 0x131415, s.ViewFontColor = 0x161718;
    s.ListFontColor = 0x191A1B, s.DupFontColor = 0xFFFFFF;
    s.MatchBeepType = 0, s.MatchSoundFile = " /leading blank.wav", s.MismatchBeepType = 1;
    s.MismatchSoundFile = "/trailing blank.wav ", s.CopyBeepType = 0, s.CopySoundFile = "";
    s.DuplicateBeepType = 1, s.DuplicateSoundFile = "/音/通知.wav";
    s.ExtTxt = s.ExtCsv = s.ExtSfv = s.ExtMd5 = s.ExtHtm = s.ExtPar = false, s.ExtOption = "*.sha;*.lst";
    s.PAR2Ex = true, s.LimitParFileSize = int64_t{6} << 30;   // beyond 32 bits
    s.LogKeepDate = -1, s.LimitLogingFileSize = 1048576, s.Verification = true, s.LogReadMode = 2, s.LogSaveMode = 3;
    s.SizeUnit = 3, s.FileNameFontSize = 14, s.LowerCaseCodes = true, s.ShowMainIcon = false;
    s.ViewerFontName = "Noto Sans Mono CJK JP", s.ViewerFontSize = 11, s.WordWrap = true;
    s.CloseupFileName = s.CloseupMD5 = s.CloseupCRC = false, s.AsyncClipboard = true, s.ViewerMaxLength = 123456;
    s.WheelScroll = false, s.NoCache = true, s.RefreshRate = 300, s.BufferSize = 1048576, s.IoTimeOut = 30000;
    s.IoRetryOut = 15, s.ReadThreadPriority = 5;
    // The icon-list growth steps are left alone: they are written where they are not read.
    s.TimestampFormats = {"yyyy-mm-dd", " hh:nn ", "d日"};
    ListFormat& f = s.ListFormats[2];
    f.Name = "自分の書式", f.HeaderText1 = " head ", f.HeaderText2 = "[tail]", f.PathHeader = true;
    f.Strings = {"\"", "=", " ; ", "", "end "}, f.Codes = {2, 3, 4, 0, 5};
    f.NameFormat = 3, f.Md5Format = f.CrcFormat = f.SizeFormat = 1, f.TimeFormat = 2, f.Extension = ".LST";
    f.TailBlankLine = true, s.ListFormats[4].Extension = ".*";
    s.FileNameWidthAdjust = true, s.FileNameWidthFixable = 1, s.FileSizeWidthAdjust = false, s.FileSizeWidthFixable = 2;
    s.CrcWidthAdjust = false, s.CrcWidthFixable = 3, s.Md5WidthAdjust = false, s.Md5WidthFixable = 4;
    s.AttributeWidthAdjust = false, s.AttributeWidthFixable = 5, s.TimeStampWidthAdjust = false;
    s.TimeStampWidthFixable = 6, s.FileListIconView = false, s.FileListBorderView = s.FileListBoldFont = true;
    s.FolderListDropDownCount = 25, s.AdjustDupWidth = s.DupListIconView = false;
    s.DupListBorderView = s.DupListBoldFont = true;
    return s;
}

TEST_F(SettingsFileTest, FirstStartWithoutFile)
{
    LoadResult result;
    const Settings s = Load(&result);
    EXPECT_TRUE(result.outcome == LoadOutcome::Missing && !result.stamp.exists);
    EXPECT_EQ(s, DefaultSettings(kScreen, kMemory));
    Save(s);
    const std::string text = FileText();
    EXPECT_EQ(text.substr(0, text.find("[AcceptAttribute]")),
              "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\nInifile Last Update=\"2024/01/31 9:05:07\"\r\nInitialDir=\"\"\r\n");
    // Sections in the order they are written, every line ended by CR LF.
    size_t at = 0;
    for (const char* section : {"[Quenvarlith]", "[AcceptAttribute]", "[Window]", "[Color]", "[Beep]", "[CheckFile]",
                                "[Loging]", "[BasicFrame]", "[ClipViewer]", "[Buffering]", "[Format]", "[FileList]", "[DupList]"})
        ASSERT_NE(at = text.find(std::string(section) + "\r\n", at), std::string::npos) << section;
    EXPECT_TRUE(text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == std::count(text.begin(), text.end(), '\r'));
    for (const char* line : {"Wall Color=92F592", "True SoundFile=\"%systemroot%/Media/TADA.WAV\"",
                             "Viewer Font Name=ＭＳ ゴシック", "Limit PAR FileSize=4294967296", "設定1-登録名=[MD5 FileName]",
                             "設定2-第２文字列=[ *]", "設定1-指定拡張子=.MD5", "設定3-第２コード=5", "設定4-登録名=[md5]",
                             "設定4-MD5書式=1", "設定5-第１文字列=[MD5 (]", "設定5-第２文字列=[) = ]", "設定5-第１コード=0",
                             "設定5-第２コード=1", "設定5-テイル改行=0", "タイムスタンプ書式数=1\r\nタイムスタンプ0=yyyy/mm/dd hh:mm:ss"})
        EXPECT_TRUE(Holds(line)) << line;
    LoadResult again;
    EXPECT_EQ(Load(&again), s);   // what was written reads back as the same settings
    EXPECT_TRUE(again.outcome == LoadOutcome::Loaded && again.storedProgram == "Quenvarlith V1.08D");
}

TEST_F(SettingsFileTest, EverySettingSurvivesSaveAndLoad)
{
    const Settings s = Unusual();
    Save(s);
    const std::string first = FileText();
    const Settings loaded = Load();
    Save(loaded);
    EXPECT_EQ(FileText(), first);   // written again, the same to the byte
    EXPECT_EQ(loaded, s);
    EXPECT_TRUE(Holds("True SoundFile=\" /leading blank.wav\"") && Holds("AlwaysOnTop=1") && Holds("SystemFile=0"));
    EXPECT_EQ(StoredValue("Format", "設定3-ヘッダ第２文字列"), "[[tail]]");
    Settings trailing = s;
    trailing.InitialDir = "/data/folder ";   // quotes keep the blank
    Save(trailing);
    EXPECT_EQ(Load().InitialDir, "/data/folder ");
}

TEST_F(SettingsFileTest, ColoursNumbersAndBooleansAndTheirFaults)
{
    Settings s = LoadText("[Color]\r\nWall Color=92F592\r\nViewer Color=00ff80\r\nFile List Color=GGGGGG\r\n"
                          "Dup List Color=1000000\r\nItem Color=\r\nNormal Color=0x10\r\nPickup Color=FF\r\n"
                          "[Buffering]\r\nBuffer Size=100000\r\nRead Thread Priority Low to High (1..5)=9\r\n"
                          "RefreshRate=0x3E8\r\nI/O TimeOut=abc\r\nI/O RetryOut=99999999999\r\nNo Cache=5\r\n"
                          "[ClipViewer]\r\nWordWrap=-1\r\nWheelScroll=0\r\nCRC CloseUp=yes\r\nViewerMaxLength=\" 42\"\r\n"
                          "[Loging]\r\nLimit Loging FileSize=5000000000\r\nLog Keep Date=-3\r\n"
                          "[CheckFile]\r\nLimit PAR FileSize=nothing\r\n");
    // Colours read blue-green-red; text that is no colour keeps the default; short text is hexadecimal.
    EXPECT_EQ((std::array<int, 4>{ColourRed(s.WallColor), ColourGreen(s.WallColor), ColourBlue(s.WallColor),
                                  ColourRed(s.ViewColor)}), (std::array<int, 4>{0x92, 0xF5, 0x92, 0x80}));
    EXPECT_EQ((std::array<Colour, 5>{s.ListColor, s.DupColor, s.ItemColor, s.NormalColor, s.PickupColor}),
              (std::array<Colour, 5>{0x96FFFF, 0xFFC0FF, 0x000080, 0x003200, 0x0000FF}));
    EXPECT_EQ((std::array<int64_t, 6>{s.BufferSize, s.ReadThreadPriority, s.RefreshRate, s.IoTimeOut, s.IoRetryOut,
                                      s.ViewerMaxLength}), (std::array<int64_t, 6>{65536, 3, 1000, 10000, 3, 42}));
    EXPECT_TRUE(s.NoCache && s.WordWrap && !s.WheelScroll && s.CloseupCRC);   // any integer but 0 is true
    EXPECT_EQ((std::array<int64_t, 3>{s.LimitLogingFileSize, s.LogKeepDate, s.LimitParFileSize}),
              (std::array<int64_t, 3>{5000000000, -3, int64_t{4} << 30}));
    Save(s);
    EXPECT_TRUE(Holds("Wall Color=92F592") && Holds("Viewer Color=00FF80") && Holds("Pickup Color=0000FF"));
    // The bank size is a 32-bit setting (a larger text is no value) and a multiple of 64 KiB.
    EXPECT_EQ(LoadText("[Buffering]\r\nBuffer Size=4294967296\r\n").BufferSize, 65536);
    EXPECT_EQ(LoadText("[Buffering]\r\nBuffer Size=200000\r\n").BufferSize, 196608);
    // Hand-edited engine values outside the preference boxes' ranges come to their nearer end.
    s = LoadText("[Buffering]\r\nI/O TimeOut=0\r\nI/O RetryOut=-5\r\nRefreshRate=100000\r\n");
    EXPECT_EQ((std::array<int, 3>{s.IoTimeOut, s.IoRetryOut, s.RefreshRate}), (std::array<int, 3>{300, 0, 3000}));
}

TEST_F(SettingsFileTest, PlacementIconStepsAndTimestampFormats)
{
    Settings s = LoadText("[Window]\r\nTop=-20\r\nLeft=1800\r\nWidth=400\r\nHeight=5000\r\n"
                          "[FileList]\r\nIcon Buffer Size=5\r\n[DupListSetting]\r\nIcon Buffer Size=6\r\n"
                          "[Format]\r\nタイムスタンプ書式数=3\r\nタイムスタンプ0=yyyy\r\nタイムスタンプ2=hh\r\n");
    EXPECT_EQ((std::array<int, 4>{s.Top, s.Left, s.Width, s.Height}), (std::array<int, 4>{0, 1920 - 400, 400, 192}));
    // The icon-list steps are read from the *Setting sections and written beside the view's keys.
    EXPECT_EQ(std::pair(s.FileListIconBufferSize, s.DupListIconBufferSize), std::pair(1000, 6));
    EXPECT_EQ(s.TimestampFormats, (std::vector<std::string>{"yyyy", "yyyy/mm/dd hh:mm:ss", "hh"}));
    s.FileListIconBufferSize = 5;
    Save(s);
    EXPECT_EQ(StoredValue("FileList", "Icon Buffer Size") + StoredValue("DupList", "Icon Buffer Size"), "56");
    EXPECT_EQ(LoadText("[FileListSetting]\r\nIcon Buffer Size=5\r\n").FileListIconBufferSize, 5);
    EXPECT_TRUE((s = LoadText("[Format]\r\nタイムスタンプ書式数=0\r\nタイムスタンプ0=yyyy\r\n")).TimestampFormats.empty());
    Save(s);
    EXPECT_EQ(StoredValue("Format", "タイムスタンプ書式数"), "0");
    // A hand-edited count cannot make the load run away.
    EXPECT_EQ(LoadText("[Format]\r\nタイムスタンプ書式数=2147483647\r\n").TimestampFormats.size(), 1000u);
}

TEST_F(SettingsFileTest, SameVersionKeepsUnknownKeysOtherVersionIsWrittenAfresh)
{
    LoadResult result;
    Settings s = LoadText("[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\nFuture Key=42\r\n"
                          "[Color]\r\nWall Color=123456\r\nCustom Color=ABCDEF\r\n; a note\r\n[Plugin]\r\nName=\"x\"\r\n",
                          &result);
    EXPECT_TRUE(result.outcome == LoadOutcome::Loaded && s.WallColor == 0x123456u);
    s.WallColor = 0x654321;
    Save(s);
    EXPECT_EQ((std::vector<std::string>{StoredValue("Quenvarlith", "Future Key"), StoredValue("Color", "Custom Color"),
                                        StoredValue("Color", "Wall Color"), StoredValue("Plugin", "Name")}),
              (std::vector<std::string>{"42", "ABCDEF", "654321", "x"}));
    EXPECT_TRUE(Holds("; a note\r\n[Plugin]"));

    s = LoadText("[Quenvarlith]\r\nProgram=\"Quenvarlith V1.07\"\r\nOld Key=1\r\n"
                 "[Color]\r\nWall Color=000000\r\nRetired Color=111111\r\n[Old Section]\r\nx=y\r\n", &result);
    EXPECT_TRUE(result.outcome == LoadOutcome::OtherVersion && result.storedProgram == "Quenvarlith V1.07");
    EXPECT_EQ(s.WallColor, 0u);   // its values are still read
    Save(s);
    const std::string text = FileText();
    for (const char* gone : {"Old Key", "Retired Color", "[Old Section]"}) EXPECT_EQ(text.find(gone), std::string::npos) << gone;
    EXPECT_EQ(text.rfind("[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\n", 0), 0u);
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "000000");
    // A file without any Program value counts as another version too.
    LoadText("[Plugin]\r\nName=x\r\n", &result);
    EXPECT_EQ(result.outcome, LoadOutcome::OtherVersion);
    Save(s);
    EXPECT_EQ(StoredValue("Plugin", "Name"), "<missing>");
}

TEST_F(SettingsFileTest, ListFormatTexts)
{
    const std::string text64(64, 'x'), multibyte = std::string(63, 'y') + "あ";   // 66 bytes: the あ goes whole
    const Settings s = LoadText("[Format]\r\n設定1-第１文字列=[ ]\r\n設定1-第２文字列=[]\r\n設定1-第３文字列=[ *]\r\n"
                                "設定1-第４文字列=abc\r\n設定1-第５文字列=x\r\n設定1-登録名=[" + text64 + "]\r\n"
                                "設定1-ヘッダ第１文字列=[" + multibyte + "]\r\n設定1-ヘッダ第２文字列=「見出し」\r\n"
                                "設定1-指定拡張子=.TOOLONGEXT\r\n設定1-第３コード=77\r\n設定2-指定拡張子=.あああ\r\n");
    const ListFormat& f = s.ListFormats[0];
    EXPECT_EQ(f.Strings, (std::array<std::string, 5>{" ", "", " *", "b", ""}));   // first and last character go
    EXPECT_EQ((std::vector<std::string>{f.Name, f.HeaderText1, f.HeaderText2, f.Extension, s.ListFormats[1].Extension}),
              (std::vector<std::string>{text64, std::string(63, 'y'), "見出し", ".TOOLONG", ".ああ"}));
    EXPECT_EQ(f.Codes[2], 77);   // taken without a range test
    Save(s);
    EXPECT_TRUE(Holds("設定1-登録名=[" + text64 + "]"));
    EXPECT_EQ(Load().ListFormats[0], f);
}

TEST_F(SettingsFileTest, FailedSaveAndSomethingOtherThanAFileLeaveEverythingAsItWas)
{
    const std::string old = "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\n[Color]\r\nWall Color=000000\r\n";
    dir_.WriteFile("Quenvarlith.ini", old);
    std::string error;
    {
        const FileSizeLimit limit(512);   // a full disk, for root too
        EXPECT_FALSE(SaveSettings(Ini(), Unusual(), error, clock_));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FileText(), old);
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"Quenvarlith.ini"});   // no temporary file left

    // A folder or a FIFO at the path is refused, never opened (a FIFO would block for ever).
    ::unlink(Ini().c_str());
    dir_.MakeFolder("Quenvarlith.ini");
    const std::string fifo = dir_.Path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {Ini(), fifo}) {
        Settings s;
        const LoadResult result = LoadSettings(path, kScreen, kMemory, s);
        EXPECT_TRUE(result.outcome == LoadOutcome::Unreadable && !result.errorText.empty()) << path;
        EXPECT_EQ(s, DefaultSettings(kScreen, kMemory));
        error.clear();
        EXPECT_FALSE(SaveSettings(path, s, error, clock_) || error.empty()) << path;
    }
}

TEST_F(SettingsFileTest, TraceDataEntries)
{
    Save(DefaultSettings(kScreen, kMemory));
    std::string error;
    const double when = EncodeDateTime(CalendarFields{2024, 2, 1, 13, 0, 1, 0});
    ASSERT_TRUE(WriteTraceData(Ini(), {{0, when, 5}, {2, when, 487}}, error)) << error;
    EXPECT_TRUE(Holds("[Trace Data]\r\nMemory Bank0 Free Error Time=\"2024/02/01 13:00:01\"\r\nMemory Bank0 Free Error=5"));
    EXPECT_EQ(StoredValue("Trace Data", "Memory Bank2 Free Error"), "487");
    EXPECT_EQ(StoredValue("Trace Data", "Memory Bank1 Free Error"), "<missing>");
    EXPECT_EQ(StoredValue("Color", "Wall Color"), "92F592");   // the rest stays
    const std::string before = FileText();
    ASSERT_TRUE(WriteTraceData(Ini(), {}, error));   // nothing to record writes nothing
    EXPECT_EQ(FileText(), before);
}

TEST_F(SettingsFileTest, ChangesByAnotherProgramAreNoticed)
{
    LoadResult missing;
    Load(&missing);
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), missing.stamp).changed);   // still no file
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=1\r\n");
    const SettingsFileChange created = CheckSettingsFileChanged(Ini(), missing.stamp);
    EXPECT_TRUE(created.changed && created.existsNow && created.recordedTime == 0.0);

    TempDir::SetMtime(Ini(), 1700000000);
    LoadResult result;
    Load(&result);
    ASSERT_TRUE(result.stamp.exists);
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), result.stamp).changed);
    // Same stamp, other content: an edit within the stamp's second.
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=2\r\n");
    TempDir::SetMtime(Ini(), 1700000000);
    EXPECT_TRUE(CheckSettingsFileChanged(Ini(), result.stamp).changed);
    // Same content, touched later.
    dir_.WriteFile("Quenvarlith.ini", "[Window]\r\nTop=1\r\n");
    TempDir::SetMtime(Ini(), 1700000100);
    const SettingsFileChange touched = CheckSettingsFileChanged(Ini(), result.stamp);
    EXPECT_TRUE(touched.changed && touched.recordedTime == result.stamp.writeTime);
    EXPECT_NEAR(touched.currentTime - touched.recordedTime, 100.0 / 86400.0, 1e-6);
    ::unlink(Ini().c_str());
    EXPECT_FALSE(CheckSettingsFileChanged(Ini(), result.stamp).changed);
}

}  // namespace
}  // namespace qv
