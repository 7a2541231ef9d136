#include "verify/ParReport.h"

#include <cstdio>

#include "platform/DateTime.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {

ParKind ParKindOfPath(std::string_view path)
{
    return EqualsAsciiFolded(ExtensionOf(path), ".par2") ? ParKind::Par2 : ParKind::Par1;
}

ParReport BuildParReportFor(ParKind kind, std::string_view path, std::string_view bytes, double now,
                            const ParReportOptions& options)
{
    return kind == ParKind::Par2 ? BuildPar2Report(path, bytes, now, options)
                                 : BuildParReport(path, bytes, now);
}

std::string JoinReportLines(const std::vector<std::string>& lines)
{
    size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    std::string text;
    text.reserve(total);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string ParReportText(std::string_view path, std::string_view bytes, double now,
                          const ParReportOptions& options)
{
    return JoinReportLines(BuildParReportFor(ParKindOfPath(path), path, bytes, now, options).lines);
}

std::string ReportTimeStamp(double now)
{
    const CalendarFields f = DecodeDateTime(now);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d;%02d:%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return buffer;
}

}  // namespace qv
