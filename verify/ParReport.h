#pragma once
// Readable reports of PAR 1.0 and PAR 2.0 recovery files. The reports list the MD5 of every
// protected file, so the matching pass finds a freshly hashed file in them like in a checksum
// list. Builders are pure: bytes in, lines out; they never read outside the given bytes and
// end in time linear in the input on any data.

#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct ParReportOptions {
    bool par2ExtendReport = false;   // setting "PAR2 Extend Report": main-packet IDs, slice lines
};

struct ParReport {
    std::vector<std::string> lines;  // UTF-8, without line ends
    bool success = true;             // false: too short, wrong ID, or data that cannot be walked
};

enum class ParKind { Par1, Par2 };

// ".par2" in any letter case is PAR 2.0; every other name is taken as PAR 1.0.
ParKind ParKindOfPath(std::string_view path);

// now: local date-time value (days since 1899-12-30) printed in the title line.
ParReport BuildParReport(std::string_view path, std::string_view bytes, double now);
ParReport BuildPar2Report(std::string_view path, std::string_view bytes, double now,
                          const ParReportOptions& options);
ParReport BuildParReportFor(ParKind kind, std::string_view path, std::string_view bytes,
                            double now, const ParReportOptions& options);

// The text handed to the comparison viewer: every line followed by CR LF.
std::string JoinReportLines(const std::vector<std::string>& lines);

// Exactly the delivered text for a file's bytes, dispatched on the path's extension; this is
// what a headless run prints.
std::string ParReportText(std::string_view path, std::string_view bytes, double now,
                          const ParReportOptions& options);

// "yyyy/mm/dd hh;mm:ss" (24-hour clock, semicolon after the hour) as the title lines show it.
std::string ReportTimeStamp(double now);

}  // namespace qv
