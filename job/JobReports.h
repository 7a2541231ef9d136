#pragma once
// Texts of the per-file hashing job: the four error reports (lines joined by '\r', label and
// value by '\t') and the progress texts of the status line and the application title.

#include <array>
#include <cstdint>
#include <string>

#include "job/FileJob.h"
#include "platform/Version.h"

namespace qv {

struct HistoryRecord;

inline const std::string kReportHead = std::string(kProgramVersion) + " エラー情報";
inline constexpr const char* kReportTail = "CTRL+Cでクリップボードにコピー出来ます";
inline constexpr const char* kJobTitle = "Quenvarlith";
inline constexpr const char* kStatusOpenError = "ファイルオープンエラー";
inline constexpr const char* kStatusWorking = "処理中";
inline constexpr const char* kStatusRecalcMismatch =
    "システムエラー 再計算で異なったハッシュデータを算出しました";
// Shown when the file is gone by the time of the change check after hashing.
inline constexpr const char* kStatusVanished = "ハッシュ算出後にファイルが見つかりません";

// The file as the search found it at the start of the job.
struct ReportFile {
    std::string path;      // full path
    int64_t size = 0;
    double stamp = 0.0;    // last-write time (whole seconds)
};

// Error kind text of an engine fault code, as the engine-error report names it.
std::string ErrorKindText(int32_t code);

std::string RecalcReport(const ReportFile& file, const HistoryRecord& record,
                         const std::string& newCrc, const std::string& newMd5, double now);
// bankDumps: the first 8 bytes of each bank as "XX " groups.
std::string EngineErrorReport(const ReportFile& file, int32_t retryCount,
                              const std::array<std::string, 3>& bankDumps,
                              const std::array<std::string, 3>& recentFiles, int32_t code);
std::string PlatformErrorReport(const ReportFile& file, int32_t code);
std::string ChangedFileReport(const ReportFile& file, double startStamp, double endStamp);

// Progress of one file: "処理中 12.3MB中 4.5MB (36%)" and "残り3files - 64%".
int ProgressPercent(int64_t done, int64_t size);
std::string FileProgressStatus(SizeClass sizeClass, int64_t done, int64_t size);
std::string FileProgressTitle(int queueLength, int percent);
// "残り12files"
std::string RemainingTitle(int queueLength);

}  // namespace qv
