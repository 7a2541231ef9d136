#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Version.h"
#include "settings/ListFormat.h"

namespace qv {

inline constexpr const char* kSettingsFileName = "Quenvarlith.ini";

// A colour is the platform colour value 0x00BBGGRR: the low byte is red, the next green, the
// high byte blue. Its stored text is that number in six hexadecimal digits, so it reads
// blue-green-red ("92F592": red 0x92, green 0xF5, blue 0x92).
using Colour = uint32_t;
constexpr int ColourRed(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int ColourGreen(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColourBlue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr Colour MakeColour(int red, int green, int blue)
{
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Screen facts the window layer hands in; the settings core never asks a widget.
struct ScreenMetrics {
    int width = 1024;
    int height = 768;
    int ppi = 96;   // pixels per inch
};

// Sound kinds of the [Beep] section: 0 none, 1 simple beep, 2 wave file.
enum BeepType : int { kBeepNone = 0, kBeepSimple = 1, kBeepWave = 2 };

// Every user setting, typed, with its default. The window's menu items show and edit these
// fields (a tick is a bool, a Tag an int); the core reads them from here.
// Field names follow the menu items that edit them; the INI key is noted where it differs.
struct Settings {
    // [Quenvarlith]
    std::string InitialDir;   // initial folder of the open dialogs

    // [Window]; MinWidth/MinHeight are derived from the screen at load, not stored.
    int MinWidth = 341;
    int MinHeight = 192;
    int Top = 288;
    int Left = 341;
    int Width = 341;
    int Height = 192;
    bool StayOnTop = false;   // AlwaysOnTop
    int Opacity = 255;       // opacity 0..255

    // [AcceptAttribute]: a ticked item leaves folders or files with that attribute out.
    bool FolderAttr_S = true;   // SystemFolder
    bool FolderAttr_H = true;   // HiddenFolder
    bool FolderAttr_R = false;  // ReadOnlyFolder
    bool FileAttr_S = true;     // SystemFile
    bool FileAttr_H = true;     // HiddenFile
    bool FileAttr_R = false;    // ReadOnlyFile
    // The Tags of FolderAttr and FileAttr; recompute with UpdateAttributeMasks after a change.
    uint32_t FolderAttrMask = 49;
    uint32_t FileAttrMask = 33;

    // [Color]
    Colour WallColor = 0x92F592;      // WALL_COLOR, "Wall Color"
    Colour ViewColor = 0xFFFFBF;      // VIEW_COLOR, "Viewer Color"
    Colour ListColor = 0x96FFFF;      // LIST_COLOR, "File List Color"
    Colour DupColor = 0xFFC0FF;       // DUP_COLOR, "Dup List Color"
    Colour ItemColor = 0x000080;      // ITEM_COLOR
    Colour NormalColor = 0x003200;    // NORMAL_COLOR
    Colour PickupColor = 0x0000FF;    // PICKUP_COLOR
    Colour ViewFontColor = 0xFF0000;  // VIEW_FONT, "Viewer Font Color"
    Colour ListFontColor = 0x000032;  // LIST_FONT, "File List Font Color"
    Colour DupFontColor = 0x400040;   // DUP_FONT, "Dup List Font Color"

    // [Beep]; "%systemroot%" stands for the folder of the program's shipped data.
    int MatchBeepType = kBeepWave;
    std::string MatchSoundFile = "%systemroot%/Media/TADA.WAV";
    int MismatchBeepType = kBeepWave;
    std::string MismatchSoundFile = "%systemroot%/Media/CHORD.WAV";
    int CopyBeepType = kBeepWave;
    std::string CopySoundFile = "%systemroot%/Media/CHIMES.WAV";
    int DuplicateBeepType = kBeepWave;
    std::string DuplicateSoundFile = "%systemroot%/Media/NOTIFY.WAV";

    // [CheckFile]
    bool ExtTxt = true;        // compare file ext(*.txt)
    bool ExtCsv = true;        // compare file ext(*.csv)
    bool ExtSfv = true;        // compare file ext(*.sfv)
    bool ExtMd5 = true;        // compare file ext(*.md5)
    bool ExtHtm = true;        // compare file ext(*.htm)
    std::string ExtOption;     // compare file ext(Option)
    bool ExtPar = true;        // compare file ext(*.par)
    bool PAR2Ex = false;       // PAR2 Extend Report
    int64_t LimitParFileSize = 0;   // "Limit PAR FileSize"; half the physical memory when missing

    // [Loging]
    int LogKeepDate = 14;
    int64_t LimitLogingFileSize = 0;
    bool Verification = false;   // Recalculation
    int LogReadMode = 1;
    int LogSaveMode = 1;

    // [BasicFrame]
    int SizeUnit = 0;            // File Size Unit: 0 auto, 1 byte, 2 KB, 3 MB
    int FileNameFontSize = 12;
    bool LowerCaseCodes = false;        // LowerCase: codes shown in lower case
    bool ShowMainIcon = true;    // Show Icon

    // [ClipViewer]
    std::string ViewerFontName = "ＭＳ ゴシック";
    int ViewerFontSize = 9;
    bool WordWrap = false;
    bool CloseupFileName = true;   // FileName CloseUp
    bool CloseupMD5 = true;        // MD5 CloseUp
    bool CloseupCRC = true;        // CRC CloseUp
    bool AsyncClipboard = false;   // Asynchronous Clipboard
    int ViewerMaxLength = 5000000;
    bool WheelScroll = true;

    // [Buffering]
    bool NoCache = false;
    int RefreshRate = 800;         // ms
    int64_t BufferSize = 65536;    // after load brought to its bank size by the engine's RoundBufferSize
    int IoTimeOut = 10000;         // "I/O TimeOut", ms
    int IoRetryOut = 3;            // "I/O RetryOut"
    int ReadThreadPriority = 3;    // "Read Thread Priority Low to High (1..5)"; 1..5 after load

    // Read from [FileListSetting] / [DupListSetting], written under [FileList] / [DupList].
    int FileListIconBufferSize = 1000;
    int DupListIconBufferSize = 100;

    // [Format]
    std::vector<std::string> TimestampFormats = DefaultTimestampFormats();
    ListFormatTable ListFormats = DefaultListFormats();

    // [FileList]: per column, sized to content (Adjust) or fixed width in pixels (Fixable).
    bool FileNameWidthAdjust = false;
    int FileNameWidthFixable = 150;
    bool FileSizeWidthAdjust = true;
    int FileSizeWidthFixable = 80;
    bool CrcWidthAdjust = true;
    int CrcWidthFixable = 60;
    bool Md5WidthAdjust = true;
    int Md5WidthFixable = 204;
    bool AttributeWidthAdjust = true;
    int AttributeWidthFixable = 60;
    bool TimeStampWidthAdjust = true;
    int TimeStampWidthFixable = 140;
    bool FileListIconView = true;     // Show Icon
    bool FileListBorderView = false;  // Show Border Line
    bool FileListBoldFont = false;    // Show Bold Font
    int FolderListDropDownCount = 10;

    // [DupList]
    bool AdjustDupWidth = true;       // Adjust Width
    bool DupListIconView = true;      // Show Icon
    bool DupListBorderView = false;   // Show Border Line
    bool DupListBoldFont = false;     // Show Bold Font

    bool operator==(const Settings&) const = default;
};

// Defaults that depend on the machine: window size and place from the screen, the PAR limit
// from the physical memory; derived values computed.
Settings DefaultSettings(const ScreenMetrics& screen, uint64_t physicalMemoryBytes);

// Attribute masks: 48 (folders) or 32 (files), plus 4, 2, 1 for each of S, H, R not ticked.
uint32_t FolderAttrMaskFor(bool restrictSystem, bool restrictHidden, bool restrictReadOnly);
uint32_t FileAttrMaskFor(bool restrictSystem, bool restrictHidden, bool restrictReadOnly);
void UpdateAttributeMasks(Settings& s);

// Reader priority: a value outside 1..5 becomes 3.
int NormalizeReadPriority(int level);

// The values the engine preference boxes accept. A box refuses an entry outside its range;
// a value read from the file (edited by hand) is brought to the nearer end instead.
struct AcceptedRange {
    int min;
    int max;
    constexpr bool Contains(int v) const { return v >= min && v <= max; }
    constexpr int Clamp(int v) const { return v < min ? min : v > max ? max : v; }
};
inline constexpr AcceptedRange kRefreshRateRange{300, 3000};   // ms
inline constexpr AcceptedRange kIoTimeOutRange{300, 30000};    // ms
inline constexpr AcceptedRange kIoRetryOutRange{0, 15};
void BringIntoAcceptedRanges(Settings& s);

// Minimum window size for the screen's pixels per inch (341 x 192 at 96).
void ComputeMinimumWindowSize(const ScreenMetrics& screen, int& minWidth, int& minHeight);
// Keeps the window on the screen and at least its minimum size (uses MinWidth/MinHeight).
void PlaceWindow(Settings& s, const ScreenMetrics& screen);

}  // namespace qv
