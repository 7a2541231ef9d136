#include "job/JobReports.h"

#include "engine/EngineCodes.h"
#include "history/HistoryRecord.h"
#include "platform/DateFormat.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"

namespace qv {
namespace {

// The three head lines and the file's name and size, common to every report.
std::string Head(const char* what, const ReportFile& file)
{
    std::string text = kReportHead;
    text += "\r\r";
    text += what;
    text += "\rフォルダ\t\t" + FolderWithSlash(file.path);
    text += "\rファイル名\t" + NameOf(file.path);
    text += "\rファイルサイズ\t" + FormatGrouped(file.size) + "byte";
    return text;
}

void Line(std::string& text, const char* label, const std::string& value)
{
    text += '\r';
    text += label;
    text += '\t';
    text += value;
}

std::string Close(std::string text)
{
    text += "\r\r";
    text += kReportTail;
    return text;
}

struct Unit {
    double bytes;
    const char* suffix;
    const char* doneFormat;
};

Unit UnitOf(SizeClass sizeClass)
{
    switch (sizeClass) {
    case SizeClass::KB: return {1024.0, "KB", "0,.0"};
    case SizeClass::MB: return {1048576.0, "MB", "0,.0"};
    case SizeClass::GB: break;
    }
    return {1073741824.0, "GB", "0,.000"};
}

}  // namespace

SizeClass SizeClassOf(int64_t size)
{
    if (size < 1048576) return SizeClass::KB;
    if (size < 1073741824) return SizeClass::MB;
    return SizeClass::GB;
}

std::string ErrorKindText(int32_t code)
{
    const std::optional<EngineCode> fault = EngineFaultOf(code);
    if (!fault) return "管理外エラー";
    switch (*fault) {
    case EngineCode::ReaderLockAbandoned: return "読取部検出のミューテックス異常";
    case EngineCode::ShortRead: return "読取りサイズ異常";
    case EngineCode::ReaderLockTimeout: return "ハッシュ算出部のタイムアウト";
    case EngineCode::BankEventFailed: return "イベント異常";
    case EngineCode::HashLockAbandoned:
    case EngineCode::FirstLockFailed: return "ハッシュ算出部検出のミューテックス異常";
    case EngineCode::ReaderNotIdle: return "読取部アイドリング待ちタイムアウト";
    case EngineCode::BankEventTimeout: return "読取部タイムアウト";
    case EngineCode::HashLockTimeout: return "読取部メモリ開放エラー";
    }
    return "管理外エラー";
}

std::string RecalcReport(const ReportFile& file, const HistoryRecord& record,
                         const std::string& newCrc, const std::string& newMd5, double now)
{
    std::string text = Head("再計算で異なったハッシュデータを算出しました", file);
    Line(text, "更新日時", DateTimeToText(file.stamp));
    Line(text, "CRC履歴値", record.Crc);
    Line(text, "CRC算出値", newCrc);
    Line(text, "MD5履歴値", record.Md5);
    Line(text, "MD5算出値", newMd5);
    Line(text, "履歴日時", DateTimeToText(record.RegisteredAt));
    Line(text, "現在日時", DateTimeToText(now));
    return Close(std::move(text));
}

std::string EngineErrorReport(const ReportFile& file, int32_t retryCount,
                              const std::array<std::string, 3>& bankDumps,
                              const std::array<std::string, 3>& recentFiles, int32_t code)
{
    std::string text = Head("読取り時にエラーを検出しました", file);
    Line(text, "更新日時", DateTimeToText(file.stamp));
    Line(text, "再試行回数", std::to_string(retryCount) + "回");
    Line(text, "バッファ０", bankDumps[0] + "..");
    Line(text, "バッファ１", bankDumps[1] + "..");
    Line(text, "バッファ２", bankDumps[2] + "..");
    text += "\rファイル処理履歴";
    for (const std::string& recent : recentFiles) text += "\r" + recent + "  ";
    Line(text, "エラー内容", ErrorKindText(code) + "(" + std::to_string(code) + ")");
    return Close(std::move(text));
}

std::string PlatformErrorReport(const ReportFile& file, int32_t code)
{
    std::string text = Head("読取り時にエラーを検出しました", file);
    Line(text, "更新日時", DateTimeToText(file.stamp));
    Line(text, "エラー内容", PlatformErrorText(code) + "(" + std::to_string(code) + ")");
    return Close(std::move(text));
}

std::string ChangedFileReport(const ReportFile& file, double startStamp, double endStamp)
{
    std::string text = Head("ハッシュ算出中にファイルが更新されました", file);
    Line(text, "開始更新日時", DateTimeToText(startStamp));
    Line(text, "終了更新日時", DateTimeToText(endStamp));
    return Close(std::move(text));
}

int ProgressPercent(int64_t done, int64_t size)
{
    if (size <= 0) return 100;
    // 128-bit, so done * 100 cannot overflow for any size.
    return static_cast<int>(static_cast<__int128>(done) * 100 / size);
}

std::string FileProgressStatus(SizeClass sizeClass, int64_t done, int64_t size)
{
    const Unit unit = UnitOf(sizeClass);
    return std::string(kStatusWorking) + " " +
           FormatNumber(static_cast<double>(size) / unit.bytes, "0,.#") + unit.suffix + "中 " +
           FormatNumber(static_cast<double>(done) / unit.bytes, unit.doneFormat) + unit.suffix +
           " (" + std::to_string(ProgressPercent(done, size)) + "%)";
}

std::string FileProgressTitle(int queueLength, int percent)
{
    return RemainingTitle(queueLength) + " - " + std::to_string(100 - percent) + "%";
}

std::string RemainingTitle(int queueLength)
{
    return "残り" + std::to_string(queueLength) + "files";
}

}  // namespace qv
