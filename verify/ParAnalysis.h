#pragma once
// Analysis of a PAR 1.0 or PAR 2.0 file chosen by the user: size limit, whole-file read,
// report, delivery as comparison text. The window supplies the seams; tests script them.

#include <cstdint>
#include <functional>
#include <string>

namespace qv {

class Clock;
class Prompts;

struct ParAnalysisContext {
    Prompts& prompts;
    const Clock& clock;                  // the report's time stamp
    int64_t limit = 0;                   // setting "Limit PAR FileSize", bytes
    bool par2ExtendReport = false;       // setting "PAR2 Extend Report"
    std::function<void(const std::string&)> deliver{};   // receives the report text (CR LF lines)
    std::function<void()> bringToFront{};  // may be empty; called before the over-limit box
};

// True when the report was delivered and the file read as a well-formed parity file; false
// when it was over the limit or unreadable (nothing delivered) or malformed (report delivered).
bool AnalyzeParFile(const std::string& path, const ParAnalysisContext& context);
bool AnalyzePar2File(const std::string& path, const ParAnalysisContext& context);

// The over-limit message box text, six lines separated by CR.
std::string ParLimitMessage(int64_t size, int64_t limit);

}  // namespace qv
