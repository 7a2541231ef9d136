#include "settings/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <variant>

#include "engine/BankSize.h"
#include "platform/DataFolder.h"
#include "platform/DateFormat.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/Attributes.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace qv {

namespace {

// A hand-edited count must not make the load run for ever.
constexpr int64_t kMaxTimestampFormats = 1000;

using Field = std::variant<bool Settings::*, int Settings::*, int64_t Settings::*, Colour Settings::*,
                           std::string Settings::*>;

enum KeyFlags : unsigned {
    kPlain = 0,
    kQuoted = 1,    // written in double quotes, so leading and trailing blanks survive
    kRead32 = 2,    // a 64-bit field read as a 32-bit integer
};

struct KeyDef {
    const char* section;        // where the key is written (and read, unless readSection)
    const char* key;
    Field field;
    unsigned flags = kPlain;
    const char* readSection = nullptr;
};

using S = Settings;

// Keys in the order they are written; section Format goes between the two tables.
const KeyDef kKeysBeforeFormat[] = {
    {"Quenvarlith", "InitialDir", &S::InitialDir, kQuoted},
    {"AcceptAttribute", "SystemFolder", &S::FolderAttr_S},
    {"AcceptAttribute", "HiddenFolder", &S::FolderAttr_H},
    {"AcceptAttribute", "ReadOnlyFolder", &S::FolderAttr_R},
    {"AcceptAttribute", "SystemFile", &S::FileAttr_S},
    {"AcceptAttribute", "HiddenFile", &S::FileAttr_H},
    {"AcceptAttribute", "ReadOnlyFile", &S::FileAttr_R},
    {"Window", "Top", &S::Top},
    {"Window", "Left", &S::Left},
    {"Window", "Width", &S::Width},
    {"Window", "Height", &S::Height},
    {"Window", "AlwaysOnTop", &S::StayOnTop},
    {"Window", "Skeleton", &S::Opacity},
    {"Color", "Wall Color", &S::WallColor},
    {"Color", "Viewer Color", &S::ViewColor},
    {"Color", "File List Color", &S::ListColor},
    {"Color", "Dup List Color", &S::DupColor},
    {"Color", "Item Color", &S::ItemColor},
    {"Color", "Normal Color", &S::NormalColor},
    {"Color", "Pickup Color", &S::PickupColor},
    {"Color", "Viewer Font Color", &S::ViewFontColor},
    {"Color", "File List Font Color", &S::ListFontColor},
    {"Color", "Dup List Font Color", &S::DupFontColor},
    {"Beep", "True Beep Type", &S::MatchBeepType},
    {"Beep", "True SoundFile", &S::MatchSoundFile, kQuoted},
    {"Beep", "False Beep Type", &S::MismatchBeepType},
    {"Beep", "False SoundFile", &S::MismatchSoundFile, kQuoted},
    {"Beep", "Copy Beep Type", &S::CopyBeepType},
    {"Beep", "Copy SoundFile", &S::CopySoundFile, kQuoted},
    {"Beep", "Dubble Beep Type", &S::DuplicateBeepType},
    {"Beep", "Dubble SoundFile", &S::DuplicateSoundFile, kQuoted},
    {"CheckFile", "compare file ext(*.txt)", &S::ExtTxt},
    {"CheckFile", "compare file ext(*.csv)", &S::ExtCsv},
    {"CheckFile", "compare file ext(*.sfv)", &S::ExtSfv},
    {"CheckFile", "compare file ext(*.md5)", &S::ExtMd5},
    {"CheckFile", "compare file ext(*.htm)", &S::ExtHtm},
    {"CheckFile", "compare file ext(Option)", &S::ExtOption},
    {"CheckFile", "compare file ext(*.par)", &S::ExtPar},
    {"CheckFile", "PAR2 Extend Report", &S::PAR2Ex},
    {"CheckFile", "Limit PAR FileSize", &S::LimitParFileSize},
    {"Loging", "Log Keep Date", &S::LogKeepDate},
    {"Loging", "Limit Loging FileSize", &S::LimitLogingFileSize},
    {"Loging", "Recalculation", &S::Verification},
    {"Loging", "LogReadMode", &S::LogReadMode},
    {"Loging", "LogSaveMode", &S::LogSaveMode},
    {"BasicFrame", "File Size Unit", &S::SizeUnit},
    {"BasicFrame", "FileName Font Size", &S::FileNameFontSize},
    {"BasicFrame", "LowerCase", &S::LowerCaseCodes},
    {"BasicFrame", "Show Icon", &S::ShowMainIcon},
    {"ClipViewer", "Viewer Font Name", &S::ViewerFontName},
    {"ClipViewer", "Viewer Font Size", &S::ViewerFontSize},
    {"ClipViewer", "WordWrap", &S::WordWrap},
    {"ClipViewer", "FileName CloseUp", &S::CloseupFileName},
    {"ClipViewer", "MD5 CloseUp", &S::CloseupMD5},
    {"ClipViewer", "CRC CloseUp", &S::CloseupCRC},
    {"ClipViewer", "Asynchronous Clipboard", &S::AsyncClipboard},
    {"ClipViewer", "ViewerMaxLength", &S::ViewerMaxLength},
    {"ClipViewer", "WheelScroll", &S::WheelScroll},
    {"Buffering", "No Cache", &S::NoCache},
    {"Buffering", "RefreshRate", &S::RefreshRate},
    {"Buffering", "Buffer Size", &S::BufferSize, kRead32},
    {"Buffering", "I/O TimeOut", &S::IoTimeOut},
    {"Buffering", "I/O RetryOut", &S::IoRetryOut},
    {"Buffering", "Read Thread Priority Low to High (1..5)", &S::ReadThreadPriority},
};

const KeyDef kKeysAfterFormat[] = {
    {"FileList", "FileName Width Adjust", &S::FileNameWidthAdjust},
    {"FileList", "FileName Width Fixable", &S::FileNameWidthFixable},
    {"FileList", "FileSize Width Adjust", &S::FileSizeWidthAdjust},
    {"FileList", "FileSize Width Fixable", &S::FileSizeWidthFixable},
    {"FileList", "CRC Width Adjust", &S::CrcWidthAdjust},
    {"FileList", "CRC Width Fixable", &S::CrcWidthFixable},
    {"FileList", "MD5 Width Adjust", &S::Md5WidthAdjust},
    {"FileList", "MD5 Width Fixable", &S::Md5WidthFixable},
    {"FileList", "Attribute Width Adjust", &S::AttributeWidthAdjust},
    {"FileList", "Attribute Width Fixable", &S::AttributeWidthFixable},
    {"FileList", "TimeStamp Width Adjust", &S::TimeStampWidthAdjust},
    {"FileList", "TimeStamp Width Fixable", &S::TimeStampWidthFixable},
    {"FileList", "Show Icon", &S::FileListIconView},
    {"FileList", "Show Border Line", &S::FileListBorderView},
    {"FileList", "Show Bold Font", &S::FileListBoldFont},
    {"FileList", "FolderListDropDownCount", &S::FolderListDropDownCount},
    // Read from one section, written to another: only an edit under *Setting takes effect.
    {"FileList", "Icon Buffer Size", &S::FileListIconBufferSize, kPlain, "FileListSetting"},
    {"DupList", "Adjust Width", &S::AdjustDupWidth},
    {"DupList", "Show Icon", &S::DupListIconView},
    {"DupList", "Show Border Line", &S::DupListBorderView},
    {"DupList", "Show Bold Font", &S::DupListBoldFont},
    {"DupList", "Icon Buffer Size", &S::DupListIconBufferSize, kPlain, "DupListSetting"},
};

// ---- typed reading ----------------------------------------------------------------------

bool ReadInt64(const IniDocument& doc, std::string_view section, std::string_view key, int64_t& value)
{
    std::string text;
    return doc.Get(section, key, text) && ParseIniInteger(text, value);
}

int ReadInt(const IniDocument& doc, std::string_view section, std::string_view key, int fallback)
{
    int64_t v = 0;
    if (!ReadInt64(doc, section, key, v)) return fallback;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return fallback;
    return static_cast<int>(v);
}

bool ReadBool(const IniDocument& doc, std::string_view section, std::string_view key, bool fallback)
{
    int64_t v = 0;
    if (!ReadInt64(doc, section, key, v)) return fallback;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return fallback;
    return v != 0;
}

std::string ReadString(const IniDocument& doc, std::string_view section, std::string_view key,
                       const std::string& fallback)
{
    std::string text;
    return doc.Get(section, key, text) ? text : fallback;
}

// Six (at most eight) hexadecimal digits; anything else, or a value beyond 24 bits, keeps the
// previous colour.
Colour ReadColour(const IniDocument& doc, std::string_view section, std::string_view key, Colour fallback)
{
    std::string text;
    if (!doc.Get(section, key, text) || text.empty() || text.size() > 8) return fallback;
    uint32_t v = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return fallback;
        v = v * 16 + static_cast<uint32_t>(digit);
    }
    return v > 0xFFFFFF ? fallback : v;
}

void ReadKey(const IniDocument& doc, const KeyDef& def, Settings& s)
{
    const char* section = def.readSection != nullptr ? def.readSection : def.section;
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(s.*member)>;
            T& field = s.*member;
            if constexpr (std::is_same_v<T, bool>) {
                field = ReadBool(doc, section, def.key, field);
            } else if constexpr (std::is_same_v<T, int>) {
                field = ReadInt(doc, section, def.key, field);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                if (def.flags & kRead32) {
                    const int fallback = static_cast<int>(std::clamp<int64_t>(
                        field, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
                    field = ReadInt(doc, section, def.key, fallback);
                } else {
                    int64_t v = 0;
                    if (ReadInt64(doc, section, def.key, v)) field = v;
                }
            } else if constexpr (std::is_same_v<T, Colour>) {
                field = ReadColour(doc, section, def.key, field);
            } else {
                field = ReadString(doc, section, def.key, field);
            }
        },
        def.field);
}

// ---- typed writing ----------------------------------------------------------------------

std::string ColourText(Colour c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return buf;
}

// Built by appending: gcc 12 warns falsely (-Wrestrict) about "x" + std::string.
std::string Wrapped(char open, std::string_view text, char close)
{
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back(open);
    out.append(text);
    out.push_back(close);
    return out;
}

std::string Quoted(std::string_view text)
{
    return Wrapped('"', text, '"');
}

// Bare values are written as they are, unless the reader would trim their outer blanks or
// strip their outer quotes: then quotes keep them whole.
std::string BareValue(std::string_view text)
{
    if (text.empty()) return {};
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quotedLook = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    return blank(text.front()) || blank(text.back()) || quotedLook ? Quoted(text) : std::string(text);
}

void WriteKey(IniDocument& doc, const KeyDef& def, const Settings& s)
{
    std::visit(
        [&](auto member) {
            using T = std::remove_cv_t<std::remove_reference_t<decltype(s.*member)>>;
            const T& field = s.*member;
            std::string text;
            if constexpr (std::is_same_v<T, bool>) {
                text.assign(1, field ? '1' : '0');
            } else if constexpr (std::is_same_v<T, Colour>) {
                text = ColourText(field);
            } else if constexpr (std::is_same_v<T, std::string>) {
                text = (def.flags & kQuoted) ? Quoted(field) : BareValue(field);
            } else {
                text = std::to_string(field);
            }
            doc.Set(def.section, def.key, text);
        },
        def.field);
}

// ---- section Format -----------------------------------------------------------------------

const char* const kFullWidthDigits[] = {"１", "２", "３", "４", "５"};

std::string FormatKey(size_t format, std::string_view suffix)
{
    return "設定" + std::to_string(format + 1) + "-" + std::string(suffix);
}

std::string StringKey(size_t format, size_t i)
{
    return FormatKey(format, std::string("第") + kFullWidthDigits[i] + "文字列");
}

std::string CodeKey(size_t format, size_t i)
{
    return FormatKey(format, std::string("第") + kFullWidthDigits[i] + "コード");
}

size_t Utf8CharLength(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// The stored form is "[text]"; the first and last characters go, whatever they are.
std::string Unbracket(std::string_view stored)
{
    if (stored.empty()) return {};
    const size_t first = std::min(Utf8CharLength(static_cast<unsigned char>(stored[0])), stored.size());
    size_t lastStart = stored.size() - 1;
    while (lastStart > 0 && (static_cast<unsigned char>(stored[lastStart]) & 0xC0) == 0x80) --lastStart;
    if (lastStart < first) return {};
    return CutToBytes(stored.substr(first, lastStart - first), kListFormatTextBytes);
}

std::string Bracketed(std::string_view text)
{
    return Wrapped('[', text, ']');
}

constexpr const char* kFormatSection = "Format";
constexpr const char* kTimestampCountKey = "タイムスタンプ書式数";

std::string TimestampKey(size_t i)
{
    return "タイムスタンプ" + std::to_string(i);
}

void ReadFormats(const IniDocument& doc, Settings& s)
{
    const std::vector<std::string> defaultPatterns = DefaultTimestampFormats();
    const int count = ReadInt(doc, kFormatSection, kTimestampCountKey, 1);
    s.TimestampFormats.clear();
    for (int64_t i = 0; i < std::min<int64_t>(count, kMaxTimestampFormats); ++i) {
        s.TimestampFormats.push_back(
            ReadString(doc, kFormatSection, TimestampKey(static_cast<size_t>(i)), defaultPatterns[0]));
    }

    const ListFormatTable defaults = DefaultListFormats();
    const IniDocument& d = doc;
    const char* sec = kFormatSection;
    auto bracketed = [&](const std::string& key, const std::string& fallback) {
        std::string stored;
        return d.Get(sec, key, stored) ? Unbracket(stored) : fallback;
    };
    for (size_t n = 0; n < kListFormatCount; ++n) {
        ListFormat& f = s.ListFormats[n];
        const ListFormat& def = defaults[n];
        f.Name = bracketed(FormatKey(n, "登録名"), def.Name);
        f.HeaderText1 = bracketed(FormatKey(n, "ヘッダ第１文字列"), def.HeaderText1);
        f.HeaderText2 = bracketed(FormatKey(n, "ヘッダ第２文字列"), def.HeaderText2);
        f.PathHeader = ReadBool(d, sec, FormatKey(n, "ヘッダパス挿入"), def.PathHeader);
        f.Extension = CutToBytes(ReadString(d, sec, FormatKey(n, "指定拡張子"), def.Extension),
                                 kListFormatExtensionBytes);
        f.NameFormat = ReadInt(d, sec, FormatKey(n, "ファイル名書式"), def.NameFormat);
        f.Md5Format = ReadInt(d, sec, FormatKey(n, "MD5書式"), def.Md5Format);
        f.CrcFormat = ReadInt(d, sec, FormatKey(n, "CRC書式"), def.CrcFormat);
        f.SizeFormat = ReadInt(d, sec, FormatKey(n, "ファイルサイズ書式"), def.SizeFormat);
        f.TimeFormat = ReadInt(d, sec, FormatKey(n, "タイムスタンプ書式"), def.TimeFormat);
        for (size_t i = 0; i < 5; ++i) f.Strings[i] = bracketed(StringKey(n, i), def.Strings[i]);
        for (size_t i = 0; i < 5; ++i) f.Codes[i] = ReadInt(d, sec, CodeKey(n, i), def.Codes[i]);
        f.TailBlankLine = ReadBool(d, sec, FormatKey(n, "テイル改行"), def.TailBlankLine);
    }
}

void WriteFormats(IniDocument& doc, const Settings& s)
{
    const char* sec = kFormatSection;
    doc.Set(sec, kTimestampCountKey, std::to_string(s.TimestampFormats.size()));
    for (size_t i = 0; i < s.TimestampFormats.size(); ++i) {
        doc.Set(sec, TimestampKey(i), BareValue(s.TimestampFormats[i]));
    }
    auto flag = [](bool b) { return std::string(1, b ? '1' : '0'); };
    for (size_t n = 0; n < kListFormatCount; ++n) {
        const ListFormat& f = s.ListFormats[n];
        doc.Set(sec, FormatKey(n, "登録名"), Bracketed(f.Name));
        doc.Set(sec, FormatKey(n, "ヘッダ第１文字列"), Bracketed(f.HeaderText1));
        doc.Set(sec, FormatKey(n, "ヘッダ第２文字列"), Bracketed(f.HeaderText2));
        doc.Set(sec, FormatKey(n, "ヘッダパス挿入"), flag(f.PathHeader));
        doc.Set(sec, FormatKey(n, "指定拡張子"), BareValue(f.Extension));
        doc.Set(sec, FormatKey(n, "ファイル名書式"), std::to_string(f.NameFormat));
        doc.Set(sec, FormatKey(n, "MD5書式"), std::to_string(f.Md5Format));
        doc.Set(sec, FormatKey(n, "CRC書式"), std::to_string(f.CrcFormat));
        doc.Set(sec, FormatKey(n, "ファイルサイズ書式"), std::to_string(f.SizeFormat));
        doc.Set(sec, FormatKey(n, "タイムスタンプ書式"), std::to_string(f.TimeFormat));
        for (size_t i = 0; i < 5; ++i) doc.Set(sec, StringKey(n, i), Bracketed(f.Strings[i]));
        for (size_t i = 0; i < 5; ++i) doc.Set(sec, CodeKey(n, i), std::to_string(f.Codes[i]));
        doc.Set(sec, FormatKey(n, "テイル改行"), flag(f.TailBlankLine));
    }
}

constexpr const char* kProgramSection = "Quenvarlith";

enum class FileKind { Missing, Regular, Other };

// Only regular files are read: a FIFO or device at the path would block or never end.
FileKind Probe(const std::string& path, double& writeTime, std::string& errorText)
{
    FoundEntry entry;
    if (!FindPath(path, kAttrAny, entry)) return FileKind::Missing;
    if ((entry.attributes & kAttrDirectory) != 0) {
        errorText = PlatformErrorText(EISDIR);
        return FileKind::Other;
    }
    if ((entry.attributes & kAttrSystem) != 0) {
        errorText = "通常のファイルではありません";
        return FileKind::Other;
    }
    writeTime = entry.stamp;
    return FileKind::Regular;
}

// Reads the current file for an update in place. False (with the reason) when something is
// there that cannot be read: writing over it would lose what it holds.
bool ReadExisting(const std::string& path, IniDocument& doc, std::string& errorText)
{
    double ignored = 0.0;
    switch (Probe(path, ignored, errorText)) {
    case FileKind::Missing:
        doc = IniDocument{};
        return true;
    case FileKind::Other:
        return false;
    case FileKind::Regular:
        break;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes, errorText)) return false;
    doc = IniDocument::Parse(bytes);
    return true;
}

}  // namespace

std::string DefaultSettingsPath()
{
    return JoinPath(DataFolder(), kSettingsFileName);
}

LoadResult LoadSettings(const std::string& path, const ScreenMetrics& screen, uint64_t physicalMemoryBytes,
                        Settings& s)
{
    LoadResult result;
    s = DefaultSettings(screen, physicalMemoryBytes);
    IniDocument doc;
    double writeTime = 0.0;
    const FileKind kind = Probe(path, writeTime, result.errorText);
    if (kind == FileKind::Other) {
        result.outcome = LoadOutcome::Unreadable;
    } else if (kind == FileKind::Regular) {
        std::string bytes;
        if (ReadWholeFile(path, bytes, result.errorText)) {
            result.stamp.exists = true;
            result.stamp.writeTime = writeTime;
            result.stamp.bytes = bytes;
            doc = IniDocument::Parse(bytes);
            result.storedProgram = ReadString(doc, kProgramSection, "Program", "");
            result.outcome = result.storedProgram == kProgramVersion ? LoadOutcome::Loaded : LoadOutcome::OtherVersion;
        } else {
            result.outcome = LoadOutcome::Unreadable;
        }
    }

    for (const KeyDef& def : kKeysBeforeFormat) ReadKey(doc, def, s);
    ReadFormats(doc, s);
    for (const KeyDef& def : kKeysAfterFormat) ReadKey(doc, def, s);

    PlaceWindow(s, screen);
    UpdateAttributeMasks(s);
    s.BufferSize = RoundBufferSize(s.BufferSize);
    s.ReadThreadPriority = NormalizeReadPriority(s.ReadThreadPriority);
    // A time-out of 0 would fail every healthy file; out-of-range hand edits are not taken.
    BringIntoAcceptedRanges(s);
    return result;
}

bool SaveSettings(const std::string& path, const Settings& s, std::string& errorText, const Clock& clock)
{
    IniDocument doc;
    if (!ReadExisting(path, doc, errorText)) return false;
    std::string program;
    if (!doc.Get(kProgramSection, "Program", program) || program != kProgramVersion) {
        // Another version's file is replaced as a whole, so keys we no longer write vanish.
        doc = IniDocument{};
    }
    doc.Set(kProgramSection, "Program", Quoted(kProgramVersion));
    doc.Set(kProgramSection, "Inifile Last Update", Quoted(DateTimeToText(clock.Now())));
    for (const KeyDef& def : kKeysBeforeFormat) WriteKey(doc, def, s);
    WriteFormats(doc, s);
    for (const KeyDef& def : kKeysAfterFormat) WriteKey(doc, def, s);
    return WriteFileAtomically(path, doc.Serialize(), errorText);
}

bool WriteTraceData(const std::string& path, const std::vector<BankFreeFailure>& failures,
                    std::string& errorText)
{
    if (failures.empty()) return true;
    IniDocument doc;
    if (!ReadExisting(path, doc, errorText)) return false;
    for (const BankFreeFailure& f : failures) {
        const std::string prefix = "Memory Bank" + std::to_string(f.bank) + " Free Error";
        doc.Set("Trace Data", prefix + " Time", Quoted(DateTimeToText(f.time)));
        doc.Set("Trace Data", prefix, std::to_string(f.errorCode));
    }
    return WriteFileAtomically(path, doc.Serialize(), errorText);
}

SettingsFileChange CheckSettingsFileChanged(const std::string& path, const SettingsFileStamp& recorded)
{
    SettingsFileChange change;
    change.recordedTime = recorded.exists ? recorded.writeTime : 0.0;
    double now = 0.0;
    std::string ignored;
    if (Probe(path, now, ignored) != FileKind::Regular) return change;
    change.existsNow = true;
    change.currentTime = now;
    if (!recorded.exists || now != recorded.writeTime) {
        change.changed = true;
        return change;
    }
    // The stamp has whole-second steps; the content tells apart edits within one second.
    std::string bytes;
    change.changed = ReadWholeFile(path, bytes, ignored) && bytes != recorded.bytes;
    return change;
}

}  // namespace qv
