#include "verify/ComparisonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "verify/ComparisonText.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

std::string MakeParExtensions()
{
    std::string s = ".PAR";
    for (int n = 1; n <= 99; ++n) {
        s += ".P";
        s += static_cast<char>('0' + n / 10);
        s += static_cast<char>('0' + n % 10);
    }
    return s + ".PAR2";
}

bool IsPar2(std::string_view path) { return ParKindOfPath(path) == ParKind::Par2; }

}  // namespace

const std::string kParExtensions = MakeParExtensions();

ExtensionStrings BuildExtensionStrings(const ExtensionOptions& o)
{
    ExtensionStrings s;
    s.comparison = o.extra;
    if (o.txt) s.comparison += ".TXT";
    if (o.csv) s.comparison += ".CSV";
    if (o.sfv) s.comparison += ".CRC.SFV";
    if (o.md5) s.comparison += ".MD5SUM";
    if (o.htm) s.comparison += ".HTML";
    if (o.par) s.par = kParExtensions;
    return s;
}

bool ExtensionBelongs(std::string_view path, std::string_view extensions)
{
    // "name." has the extension "." on paper, which every string would admit.
    const std::string ext = AsciiUpper(ExtensionOf(path));
    return ext.size() > 1 && extensions.find(ext) != std::string_view::npos;
}

ListRoute SingleFileRoute(std::string_view path, const ExtensionStrings& strings)
{
    if (ExtensionBelongs(path, strings.comparison)) return ListRoute::LoadText;
    if (!ExtensionBelongs(path, strings.par)) return ListRoute::Hash;
    return IsPar2(path) ? ListRoute::AnalyzePar2 : ListRoute::AnalyzePar;
}

OpenTextPlan PlanOpenText(std::string_view path, std::string_view extra, int64_t viewerMaxLength)
{
    OpenTextPlan plan;
    if (ExtensionBelongs(path, std::string(kOpenTextExtensions) + std::string(extra))) {
        plan.route = ListRoute::LoadText;
        plan.byteLimit = viewerMaxLength > 0 ? std::min(kOpenTextByteLimit, viewerMaxLength) : kOpenTextByteLimit;
    } else if (ExtensionBelongs(path, kParExtensions)) {
        plan.route = IsPar2(path) ? ListRoute::AnalyzePar2 : ListRoute::AnalyzePar;
    } else {
        plan.status = "読み込み出来る拡張子ではありません (" + ExtensionOf(path) + ")";
    }
    return plan;
}

std::string TooLargeStatus(int64_t size)
{
    return "読み込み出来る上限サイズを超えています (" + FormatGrouped(size) + "byte)";
}

std::string ReadFailureMessage(const std::string& path, const std::string& reason)
{
    return "ファイルを読み込めませんでした\r" + path + "\r" + reason;
}

namespace {

// Reads fd to its end into r, starting with room for sizeHint bytes; at most maxBytes.
void ReadToEnd(int fd, int64_t maxBytes, size_t sizeHint, BoundedRead& r)
{
    // One byte beyond the limit tells a file that grew since it was measured.
    const size_t cap = static_cast<size_t>(maxBytes) + 1;
    r.bytes.resize(std::min(cap, std::max<size_t>(sizeHint, 1)));
    size_t got = 0;
    while (got < cap) {
        if (got == r.bytes.size()) r.bytes.resize(std::min(cap, r.bytes.size() * 2));
        const ssize_t n = ::read(fd, r.bytes.data() + got, r.bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.status = ReadStatus::Failed;
            r.reason = PlatformErrorText(errno);
            r.bytes.clear();
            return;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got == cap) {
        struct stat st {};
        r.status = ReadStatus::TooLarge;
        r.size = std::max<int64_t>(static_cast<int64_t>(got), ::fstat(fd, &st) == 0 ? st.st_size : 0);
        r.bytes.clear();
    } else {
        r.status = ReadStatus::Ok;
        r.size = static_cast<int64_t>(got);
        r.bytes.resize(got);
    }
}

}  // namespace

BoundedRead ReadFileUpTo(const std::string& path, int64_t maxBytes)
{
    BoundedRead r;
    // Without O_NONBLOCK, opening a FIFO waits for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        r.reason = PlatformErrorText(errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        r.reason = S_ISDIR(st.st_mode) ? PlatformErrorText(EISDIR) : "通常のファイルではありません";
        ::close(fd);
        return r;
    }
    r.size = st.st_size;
    if (r.size > maxBytes) {
        r.status = ReadStatus::TooLarge;
        ::close(fd);
        return r;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ReadToEnd(fd, maxBytes, static_cast<size_t>(r.size) + 1, r);
    ::close(fd);
    return r;
}

BoundedRead ReadStreamUpTo(int fd, int64_t maxBytes)
{
    BoundedRead r;
    ReadToEnd(fd, maxBytes, 65536, r);
    return r;
}

namespace {

ListText FromRead(const std::string& path, BoundedRead& r, auto&& toText)
{
    ListText out;
    out.result = r.status;
    if (r.status == ReadStatus::Ok) out.text = toText(r.bytes);
    else if (r.status == ReadStatus::TooLarge) out.status = TooLargeStatus(r.size);
    else {
        out.message = ReadFailureMessage(path, r.reason);
        out.reason = r.reason;
    }
    return out;
}

}  // namespace

ListText LoadComparisonFile(const std::string& path, int64_t maxBytes, int64_t viewerMaxLength)
{
    BoundedRead r = ReadFileUpTo(path, maxBytes);
    return FromRead(path, r, [&](const std::string& bytes) {
        return FitToViewerLength(DecodeComparisonBytes(bytes), viewerMaxLength);
    });
}

ListText LoadListStream(int fd, const std::string& name, const ListFileOptions& options)
{
    BoundedRead r = ReadStreamUpTo(fd, kListByteLimit);
    return FromRead(name, r, [&](const std::string& bytes) {
        return FitToViewerLength(DecodeComparisonBytes(bytes), options.viewerMaxLength);
    });
}

ListText LoadListFile(const std::string& path, const ListFileOptions& options)
{
    if (!ExtensionBelongs(path, kParExtensions)) return LoadComparisonFile(path, kListByteLimit, options.viewerMaxLength);
    BoundedRead r = ReadFileUpTo(path, options.parLimit > 0 ? options.parLimit : kListByteLimit);
    return FromRead(path, r, [&](const std::string& bytes) {
        ParReportOptions report;
        report.par2ExtendReport = options.par2ExtendReport;
        return FitToViewerLength(ParReportText(path, bytes, options.now, report), options.viewerMaxLength);
    });
}

std::string OptionExtStatus(std::string_view extra)
{
    return "Text比較追加拡張子 = " + (extra.empty() ? std::string("(指定無し)") : std::string(extra));
}

std::string OptionExtInputClick(Prompts& prompts, std::string& extra)
{
    std::string value = extra;
    if (!prompts.Input("Text比較追加拡張子入力",
                       "ドットを含めた拡張子を列記して下さい\r\".LIST\"なら\".LIST\"も\".LI\"も有効になります", value))
        value = extra;
    extra = AsciiUpper(value);
    return OptionExtStatus(extra);
}

}  // namespace qv
