#pragma once
// Which files are comparison lists or PAR sets, and reading a list file into comparison text.
// Extension strings are upper-case extensions with their dots run together; a file belongs
// when its upper-cased extension occurs anywhere in the string (".MD5" through ".MD5SUM").

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class Prompts;

// The ticks of the comparison-file menu and the user's extra extensions (upper case).
struct ExtensionOptions {
    bool txt = true;
    bool csv = true;
    bool sfv = true;
    bool md5 = true;
    bool htm = true;
    bool par = true;
    std::string extra;
};

struct ExtensionStrings {
    std::string comparison;   // extra, then ".TXT", ".CSV", ".CRC.SFV", ".MD5SUM", ".HTML" as ticked
    std::string par;          // kParExtensions when PAR files are ticked, else ""
};

// ".PAR", ".P01" to ".P99", ".PAR2".
extern const std::string kParExtensions;
// The fixed text classes of the open-file command, whatever the menu ticks say.
inline constexpr std::string_view kOpenTextExtensions = ".CRC.CSV.HTML.MD5SUM.SFV.TXT";
// Text files read through the open-file command: at most this and the viewer's length.
inline constexpr int64_t kOpenTextByteLimit = 32768;
// A list dropped alone or named on the command line is read whole; beyond this it is refused
// rather than exhausting memory.
inline constexpr int64_t kListByteLimit = int64_t{256} << 20;

ExtensionStrings BuildExtensionStrings(const ExtensionOptions& options);

// The membership rule. A name without an extension, or ending in a bare dot, never belongs.
bool ExtensionBelongs(std::string_view path, std::string_view extensions);

enum class ListRoute { Hash, LoadText, AnalyzePar, AnalyzePar2 };

// A batch of exactly this one file: load it, analyse it, or hash it like any other file.
ListRoute SingleFileRoute(std::string_view path, const ExtensionStrings& strings);

struct OpenTextPlan {
    ListRoute route = ListRoute::Hash;   // Hash: refused, status says why
    int64_t byteLimit = 0;               // LoadText: read at most this many bytes
    std::string status;                  // set when refused
};
// The open-file command's decision for a chosen file; its size is tested when it is read
// (LoadComparisonFile with byteLimit), so a file that grows in between is refused too.
OpenTextPlan PlanOpenText(std::string_view path, std::string_view extra, int64_t viewerMaxLength);

// "読み込み出来る上限サイズを超えています (40,000byte)"
std::string TooLargeStatus(int64_t size);
// The message box of a file that cannot be read, lines separated by CR.
std::string ReadFailureMessage(const std::string& path, const std::string& reason);

enum class ReadStatus { Ok, TooLarge, Failed };
struct BoundedRead {
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;
    int64_t size = 0;        // bytes in the file (TooLarge: at least this many)
    std::string reason;      // Failed: the platform's reason
};
// Reads a regular file of at most maxBytes without blocking on FIFOs or devices (refused) and
// without trusting the size it had when chosen.
BoundedRead ReadFileUpTo(const std::string& path, int64_t maxBytes);
// Reads a stream (a pipe, standard input) to its end, at most maxBytes.
BoundedRead ReadStreamUpTo(int fd, int64_t maxBytes);

struct ListText {
    ReadStatus result = ReadStatus::Failed;
    std::string text;       // Ok: the comparison text (CR LF lines, cut to the viewer length)
    std::string status;     // TooLarge: the status line
    std::string message;    // Failed: the message box text
    std::string reason;     // Failed: the platform's reason alone
};
// A text comparison file read, decoded and fitted to the viewer.
ListText LoadComparisonFile(const std::string& path, int64_t maxBytes, int64_t viewerMaxLength);

struct ListFileOptions {
    int64_t parLimit = 0;            // setting "Limit PAR FileSize"; 0: kListByteLimit
    bool par2ExtendReport = false;
    double now = 0.0;                // the report's time stamp
    int64_t viewerMaxLength = 0;     // 0: no cut
};
// A list named on the command line: a PAR/PAR2 set (by the PAR extensions) becomes its
// analysis report, anything else is read as a text list of at most kListByteLimit bytes.
ListText LoadListFile(const std::string& path, const ListFileOptions& options);
// A list read from a stream (standard input): always a text list; name is how messages call it.
ListText LoadListStream(int fd, const std::string& name, const ListFileOptions& options);

// The extra-extension input box: the entered text (the old one when cancelled), upper-cased,
// replaces `extra`. Returns the status line.
std::string OptionExtInputClick(Prompts& prompts, std::string& extra);
std::string OptionExtStatus(std::string_view extra);

}  // namespace qv
