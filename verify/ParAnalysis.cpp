#include "verify/ParAnalysis.h"

#include "platform/Clock.h"
#include "platform/NumberFormat.h"
#include "platform/Prompts.h"
#include "verify/ComparisonFile.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

constexpr const char* kTitle = "Quenvarlith";

void ShowReadError(const ParAnalysisContext& context, const std::string& path, const std::string& reason)
{
    context.prompts.Message(kTitle, ReadFailureMessage(path, reason), Buttons::Ok, BoxIcon::Error);
}

bool Analyze(ParKind kind, const std::string& path, const ParAnalysisContext& context)
{
    // Devices and FIFOs are refused, and a file that grew past the limit since it was
    // measured is caught by the read itself.
    BoundedRead read = ReadFileUpTo(path, context.limit);
    if (read.status == ReadStatus::Failed) {
        ShowReadError(context, path, read.reason);
        return false;
    }
    if (read.status == ReadStatus::TooLarge) {
        if (context.bringToFront) context.bringToFront();
        context.prompts.Message(kTitle, ParLimitMessage(read.size, context.limit), Buttons::Ok, BoxIcon::None);
        return false;
    }

    ParReportOptions options;
    options.par2ExtendReport = context.par2ExtendReport;
    const ParReport report = BuildParReportFor(kind, path, read.bytes, context.clock.Now(), options);
    read.bytes.clear();
    read.bytes.shrink_to_fit();
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
