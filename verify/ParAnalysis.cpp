#include "verify/ParAnalysis.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Prompts.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

constexpr const char* kTitle = "Quenvarlith";

void ShowReadError(const ParAnalysisContext& context, const std::string& path, const std::string& reason)
{
    context.prompts.Message(kTitle, "ファイルを読み込めませんでした\r" + path + "\r" + reason, Buttons::Ok,
                            BoxIcon::Error);
}

bool RefuseOverLimit(const ParAnalysisContext& context, int64_t size)
{
    if (size <= context.limit) return false;
    if (context.bringToFront) context.bringToFront();
    context.prompts.Message(kTitle, ParLimitMessage(size, context.limit), Buttons::Ok, BoxIcon::None);
    return true;
}

bool Analyze(ParKind kind, const std::string& path, const ParAnalysisContext& context)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        ShowReadError(context, path, PlatformErrorText(errno));
        return false;
    }
    // A device or FIFO has no size to test and may never end: only regular files are read.
    if (S_ISDIR(st.st_mode)) {
        ShowReadError(context, path, PlatformErrorText(EISDIR));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        ShowReadError(context, path, "通常のファイルではありません");
        return false;
    }
    if (RefuseOverLimit(context, static_cast<int64_t>(st.st_size))) return false;

    std::string bytes;
    std::string errorText;
    if (!ReadWholeFile(path, bytes, errorText)) {
        ShowReadError(context, path, errorText);
        return false;
    }
    // The file may have grown between the size test and the read.
    if (RefuseOverLimit(context, static_cast<int64_t>(bytes.size()))) return false;

    ParReportOptions options;
    options.par2ExtendReport = context.par2ExtendReport;
    const ParReport report = BuildParReportFor(kind, path, bytes, context.clock.Now(), options);
    bytes.clear();
    bytes.shrink_to_fit();
    if (context.deliver) context.deliver(JoinReportLines(report.lines));
    return report.success;
}

}  // namespace

std::string ParLimitMessage(int64_t size, int64_t limit)
{
    return "<<< エラー：ファイルサイズがPARファイルの許容設定値を超えました >>>\r"
           "\r"
           "    ファイルサイズ :" + PadLeft(std::to_string(size), 20) + " bytes\r"
           "    許容設定値     :" + PadLeft(std::to_string(limit), 20) + " bytes\r"
           "    ※正常なPARファイルでない恐れがあります※\r"
           "    必要ならIniファイルの\"Limit PAR FileSize\"の値を調整して下さい";
}

bool AnalyzeParFile(const std::string& path, const ParAnalysisContext& context)
{
    return Analyze(ParKind::Par1, path, context);
}

bool AnalyzePar2File(const std::string& path, const ParAnalysisContext& context)
{
    return Analyze(ParKind::Par2, path, context);
}

}  // namespace qv
