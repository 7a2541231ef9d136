#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

namespace qv {

ListFormatTable DefaultListFormats()
{
    ListFormatTable formats;
    const char* names[] = {"MD5 FileName", "MD5 *FileName", "MD5", "md5", "MD5 (FileName) = md5"};
    const char* string1[] = {"", "", "", "", "MD5 ("};
    const char* string2[] = {" ", " *", "", "", ") = "};
    for (size_t i = 0; i < kListFormatCount; ++i) {
        ListFormat& f = formats[i];
        f.Name = names[i];
        f.Strings[0] = string1[i];
        f.Strings[1] = string2[i];
    }
    formats[2].Codes = {kFieldMd5, kFieldNone, kFieldNone, kFieldNone, kFieldNone};
    formats[3].Codes = formats[2].Codes;
    formats[3].Md5Format = 1;
    formats[4].Codes = {kFieldFileName, kFieldMd5, kFieldNone, kFieldNone, kFieldNone};
    formats[4].Md5Format = 1;
    return formats;
}

std::vector<std::string> DefaultTimestampFormats()
{
    return {"yyyy/mm/dd hh:mm:ss"};
}

uint32_t FolderAttrMaskFor(bool restrictSystem, bool restrictHidden, bool restrictReadOnly)
{
    return 48u + (restrictSystem ? 0u : 4u) + (restrictHidden ? 0u : 2u) + (restrictReadOnly ? 0u : 1u);
}

uint32_t FileAttrMaskFor(bool restrictSystem, bool restrictHidden, bool restrictReadOnly)
{
    return 32u + (restrictSystem ? 0u : 4u) + (restrictHidden ? 0u : 2u) + (restrictReadOnly ? 0u : 1u);
}

void UpdateAttributeMasks(Settings& s)
{
    s.FolderAttrMask = FolderAttrMaskFor(s.FolderAttr_S, s.FolderAttr_H, s.FolderAttr_R);
    s.FileAttrMask = FileAttrMaskFor(s.FileAttr_S, s.FileAttr_H, s.FileAttr_R);
}

int NormalizeReadPriority(int level)
{
    return level >= 1 && level <= 5 ? level : 3;
}

void BringIntoAcceptedRanges(Settings& s)
{
    s.RefreshRate = kRefreshRateRange.Clamp(s.RefreshRate);
    s.IoTimeOut = kIoTimeOutRange.Clamp(s.IoTimeOut);
    s.IoRetryOut = kIoRetryOutRange.Clamp(s.IoRetryOut);
}

void ComputeMinimumWindowSize(const ScreenMetrics& screen, int& minWidth, int& minHeight)
{
    minWidth = static_cast<int>(std::lround(3.55 * screen.ppi));
    minHeight = static_cast<int>(std::lround(2.0 * screen.ppi));
}

void PlaceWindow(Settings& s, const ScreenMetrics& screen)
{
    if (s.Width > screen.width || s.Width < s.MinWidth) s.Width = s.MinWidth;
    if (s.Height > screen.height || s.Height < s.MinHeight) s.Height = s.MinHeight;
    if (s.Top < 0) s.Top = 0;
    if (s.Left < 0) s.Left = 0;
    if (s.Top + s.Height > screen.height) s.Top = screen.height - s.Height;
    if (s.Left + s.Width > screen.width) s.Left = screen.width - s.Width;
    // A screen smaller than the minimum size would push the title bar off the top or left.
    s.Top = std::max(s.Top, 0);
    s.Left = std::max(s.Left, 0);
}

Settings DefaultSettings(const ScreenMetrics& screen, uint64_t physicalMemoryBytes)
{
    Settings s;
    ComputeMinimumWindowSize(screen, s.MinWidth, s.MinHeight);
    s.Width = s.MinWidth;
    s.Height = s.MinHeight;
    s.Top = (screen.height - s.MinHeight) / 2;
    s.Left = (screen.width - s.MinWidth) / 2;
    s.LimitParFileSize = static_cast<int64_t>(std::min<uint64_t>(physicalMemoryBytes / 2, INT64_MAX));
    UpdateAttributeMasks(s);
    return s;
}

}  // namespace qv
