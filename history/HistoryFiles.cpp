#include "history/HistoryFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/AtomicWriter.h"
#include "platform/DateFormat.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace qv {
namespace {

constexpr size_t kRecordBytes = 72;
constexpr const char* kCutShort = "ファイルが途中で切れています";
constexpr const char* kNotHistory = "履歴ファイルの形式ではありません";

void PutU32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutU64(unsigned char* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t GetU32(const unsigned char* p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
uint64_t GetU64(const unsigned char* p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
uint64_t DoubleBits(double d)
{
    uint64_t v = 0;
    std::memcpy(&v, &d, sizeof v);
    return v;
}
double BitsDouble(uint64_t v)
{
    double d = 0;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

// Buffered sequential reading of a file descriptor; a short read is a failure.
class FileSource {
public:
    explicit FileSource(int fd) : fd_(fd), buffer_(1 << 20) {}
    bool Read(void* out, size_t n)
    {
        auto* dst = static_cast<unsigned char*>(out);
        while (n > 0) {
            if (pos_ == end_ && !Fill()) return false;
            const size_t take = std::min(n, end_ - pos_);
            std::memcpy(dst, buffer_.data() + pos_, take);
            pos_ += take;
            dst += take;
            n -= take;
        }
        return true;
    }

private:
    bool Fill()
    {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            pos_ = 0;
            end_ = static_cast<size_t>(got);
            return true;
        }
    }
    int fd_;
    std::vector<unsigned char> buffer_;
    size_t pos_ = 0, end_ = 0;
};

std::string ReadingStatus(const std::string& name, int64_t done, int64_t total)
{
    const double percent = total > 0 ? static_cast<double>(done) * 100.0 / total : 0.0;
    return "履歴データ読取り中 " + name + FormatNumber(percent, " 0.0%");
}

std::string CountLabel(const std::string& name, int64_t count)
{
    return name + " 登録履歴 " + FormatGrouped(count) + "件";
}

// Refresh step shared by the readers; false when the cancel flag stops the reading.
bool RefreshReading(WorkHooks& ui, const std::string& name, int64_t done, int64_t total)
{
    if (!ui.RefreshDue()) return true;
    if (ui.StopRequested()) return false;
    ui.ProgressPos(done);
    ui.Status(ReadingStatus(name, done, total));
    ui.Pump();
    ui.ScheduleRefresh();
    return true;
}

bool ReportWriteFailure(const std::string& path, int errorCode, WorkHooks& ui)
{
    ui.BringToFront();
    if (ui.prompts)
        ui.prompts->Message("Quenvarlith", HistorySaveErrorText(path, errorCode), Buttons::Ok);
    return false;
}

// Decimal 64-bit integer, optional sign; 0 for anything else, overflow included.
int64_t ParseSize(std::string_view text)
{
    if (text.empty()) return 0;
    bool negative = false;
    size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return 0;
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return 0;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    if (negative) return value == (uint64_t{1} << 63) ? std::numeric_limits<int64_t>::min()
                                                      : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

// A code field goes out bare, as always; only a value that would split the line is quoted.
void AppendCodeField(std::string& line, std::string_view code)
{
    bool plain = true;
    for (const char c : code)
        if (static_cast<unsigned char>(c) <= 32 || c == ',' || c == '"') plain = false;
    if (plain) {
        line.append(code);
        return;
    }
    line += '"';
    for (const char c : code) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string HistoryReadErrorText(const std::string& path, const std::string& reason)
{
    return "履歴ファイル読込エラー\r\rファイル名\t" + path + "\r" + "エラー内容\t" + reason;
}

std::string HistorySaveErrorText(const std::string& path, int errorCode)
{
    return "履歴保存時にエラーが発生しました\r\r" + path + "\r" + "Error code = " +
           std::to_string(errorCode) + " (" + PlatformErrorText(errorCode) + ")";
}

void EncodeRecordBytes(const HistoryRecord& record, unsigned char out[72])
{
    std::memset(out, 0, kRecordBytes);
    PutU64(out, static_cast<uint64_t>(record.Size));
    PutU64(out + 8, DoubleBits(record.FileTime));
    PutU64(out + 16, DoubleBits(record.RegisteredAt));
    const size_t md5 = std::min(record.Md5.size(), kMd5TextLength);
    out[24] = static_cast<unsigned char>(md5);
    std::memcpy(out + 25, record.Md5.data(), md5);
    const size_t crc = std::min(record.Crc.size(), kCrcTextLength);
    out[57] = static_cast<unsigned char>(crc);
    std::memcpy(out + 58, record.Crc.data(), crc);
}

HistoryRecord DecodeRecordBytes(const unsigned char in[72])
{
    HistoryRecord record;
    record.Size = static_cast<int64_t>(GetU64(in));
    record.FileTime = BitsDouble(GetU64(in + 8));
    record.RegisteredAt = BitsDouble(GetU64(in + 16));
    // A length byte beyond its field is read as the whole field, never past it.
    const size_t md5 = std::min<size_t>(in[24], kMd5TextLength);
    record.Md5.assign(reinterpret_cast<const char*>(in + 25), md5);
    const size_t crc = std::min<size_t>(in[57], kCrcTextLength);
    record.Crc.assign(reinterpret_cast<const char*>(in + 58), crc);
    return record;
}

bool ReadHistoryFile(HashHistory& store, const std::string& path,
                     const HistoryReadOptions& options, WorkHooks& ui, std::string* why)
{
    bool result = true;
    bool cancelled = false;
    const char* problem = kCutShort;
    HistoryMerge merge(store, options, ui.Now());
    const std::string name = NameOf(path);
    int openCode = 0;
    const int fd = OpenRegularFile(path, openCode);
    if (fd < 0) {
        result = false;
        if (why) *why = PlatformErrorText(openCode);
    } else {
        FileSource source(fd);
        unsigned char word[4];
        if (!source.Read(word, 4)) {
            result = false;
            problem = kNotHistory;   // not even a count
        } else {
            const auto count = static_cast<int32_t>(GetU32(word));
            ui.FileLabel(CountLabel(name, count));
            ui.ProgressMax(count);
            ui.ProgressPos(0);
            ui.RefreshAtOnce();
            if (count < 0) {
                result = false;
                problem = kNotHistory;
            }
            std::string entryPath;
            unsigned char record[kRecordBytes];
            for (int32_t i = 0; i < count; ++i) {
                if (!RefreshReading(ui, name, i, count)) {
                    cancelled = true;
                    result = false;
                    break;
                }
                if (!source.Read(word, 4)) {
                    result = false;
                    break;
                }
                const auto length = static_cast<int32_t>(GetU32(word));
                if (length < 1 || static_cast<size_t>(length) > kMaxHistoryPathBytes) {
                    result = false;
                    problem = kNotHistory;
                    break;
                }
                entryPath.resize(static_cast<size_t>(length));
                if (!source.Read(entryPath.data(), entryPath.size()) ||
                    !source.Read(record, kRecordBytes)) {
                    result = false;
                    break;
                }
                merge.MergeRecord(entryPath, DecodeRecordBytes(record));
            }
            // Bytes after the last entry mean the count is damaged: the file was not read whole.
            if (result && source.Read(word, 1)) {
                result = false;
                problem = kNotHistory;
            }
            if (!cancelled) ui.ProgressPos(count);
        }
        ::close(fd);
        if (why && !result && !cancelled) *why = problem;
    }
    ui.Status("履歴データソート中");
    ui.Pump();
    merge.Finish();
    return result;
}

bool WriteHistoryFile(const HashHistory& store, const std::string& path, WorkHooks& ui)
{
    // An entry no reader would take back is left out rather than spoil the entries after it.
    int32_t count = 0;
    for (int32_t i = 0; i < store.Count(); ++i)
        if (IsValidHistoryKey(store.PathAt(i))) ++count;

    AtomicWriter writer(path);
    bool ok = writer.Open();
    unsigned char bytes[4 + kRecordBytes];
    PutU32(bytes, static_cast<uint32_t>(count));
    ok = ok && writer.Write(std::string_view(reinterpret_cast<char*>(bytes), 4));
    for (int32_t i = 0; ok && i < store.Count(); ++i) {
        const std::string& key = store.PathAt(i);
        if (!IsValidHistoryKey(key)) continue;
        PutU32(bytes, static_cast<uint32_t>(key.size()));
        ok = writer.Write(std::string_view(reinterpret_cast<char*>(bytes), 4)) &&
             writer.Write(key);
        EncodeRecordBytes(store.RecordAt(i), bytes);
        ok = ok && writer.Write(std::string_view(reinterpret_cast<char*>(bytes), kRecordBytes));
    }
    ok = ok && writer.Commit();
    if (!ok) return ReportWriteFailure(path, writer.ErrorCode(), ui);
    return true;
}

std::vector<std::string> SplitHistoryLine(std::string_view line)
{
    // Text after a NUL is not part of the line, as with a C string.
    line = line.substr(0, line.find('\0'));
    const size_t n = line.size();
    auto blank = [&](size_t i) {
        return i < n && static_cast<unsigned char>(line[i]) >= 1 &&
               static_cast<unsigned char>(line[i]) <= 32;
    };
    std::vector<std::string> fields;
    size_t p = 0;
    while (blank(p)) ++p;
    while (p < n) {
        std::string field;
        if (line[p] == '"') {
            ++p;
            while (p < n) {
                if (line[p] == '"') {
                    if (p + 1 < n && line[p + 1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += line[p++];
            }
        } else {
            const size_t start = p;
            while (p < n && static_cast<unsigned char>(line[p]) > 32 && line[p] != ',') ++p;
            field.assign(line.substr(start, p - start));
        }
        fields.push_back(std::move(field));
        while (blank(p)) ++p;
        if (p < n && line[p] == ',') {
            if (p + 1 == n) fields.emplace_back();
            do {
                ++p;
            } while (blank(p));
        }
    }
    return fields;
}

bool FormatHistoryLine(std::string_view path, const HistoryRecord& record, std::string& line)
{
    if (HasLineBreak(path) || path.find('\0') != std::string_view::npos) return false;
    line.clear();
    line += '"';
    for (const char c : path) {
        if (c == '"') line += '"';
        line += c;
    }
    line += "\",";
    line += std::to_string(record.Size);
    line += ",\"";
    line += DateTimeToText(record.FileTime);
    line += "\",\"";
    line += DateTimeToText(record.RegisteredAt);
    line += "\",";
    AppendCodeField(line, record.Md5);
    line += ',';
    AppendCodeField(line, record.Crc);
    return true;
}

bool ReadHistoryText(HashHistory& store, const std::string& path,
                     const HistoryReadOptions& options, WorkHooks& ui)
{
    HistoryMerge merge(store, options, ui.Now());
    std::string bytes, errorText;
    if (!ReadWholeFile(path, bytes, errorText)) {
        if (ui.prompts)
            ui.prompts->Message("Quenvarlith", HistoryReadErrorText(path, errorText), Buttons::Ok, BoxIcon::Error);
        return false;
    }
    // Decoded line by line: one name that is not UTF-8 falls back to CP932 alone instead of
    // turning every other line of the file into CP932 readings of UTF-8 bytes.
    const std::vector<std::string_view> lines = SplitLines(bytes);
    const auto total = static_cast<int64_t>(lines.size());
    const std::string name = NameOf(path);
    ui.FileLabel(CountLabel(name, total));
    ui.ProgressMax(total);
    ui.ProgressPos(0);
    ui.RefreshAtOnce();

    bool result = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!RefreshReading(ui, name, static_cast<int64_t>(i), total)) {
            result = false;
            break;
        }
        const std::string line = DecodeOutsideText(lines[i]);
        const std::vector<std::string> fields = SplitHistoryLine(line);
        if (fields.size() != 6) {
            const Answer answer =
                ui.prompts ? ui.prompts->Message("Quenvarlith",
                                                 "Quenvarlith履歴書式の不一致を検出\r\rファイル名\t" +
                                                     path + "\r" + "読取り行" + "\t" + line,
                                                 Buttons::AbortIgnore, BoxIcon::Warning)
                           : Answer::Abort;
            // A box closed without a choice stops, as Abort does: nothing is taken unseen.
            if (answer == Answer::Ignore) continue;
            result = false;
            break;
        }
        HistoryRecord record;
        record.Size = ParseSize(fields[1]);
        if (!TextToDateTime(fields[2], record.FileTime) ||
            !TextToDateTime(fields[3], record.RegisteredAt)) {
            if (ui.prompts)
                ui.prompts->Message("Quenvarlith",
                                    "Quenvarlith履歴の日時を変換できません\r\rファイル名\t" + path +
                                        "\r" + "読取り行" + "\t" + line,
                                    Buttons::Ok, BoxIcon::Warning);
            result = false;
            break;
        }
        record.Md5 = CutToBytes(fields[4], kMd5TextLength);
        record.Crc = CutToBytes(fields[5], kCrcTextLength);
        merge.MergeRecord(fields[0], record);
    }
    merge.Finish();
    return result;
}

bool WriteHistoryText(const HashHistory& store, const std::string& path, WorkHooks& ui, int32_t* skipped)
{
    AtomicWriter writer(path);
    bool ok = writer.Open();
    std::string line;
    if (skipped) *skipped = 0;
    for (int32_t i = 0; ok && i < store.Count(); ++i) {
        if (!FormatHistoryLine(store.PathAt(i), store.RecordAt(i), line)) {
            if (skipped) ++*skipped;
            continue;
        }
        line += "\r\n";
        ok = writer.Write(line);
    }
    ok = ok && writer.Commit();
    if (!ok) return ReportWriteFailure(path, writer.ErrorCode(), ui);
    return true;
}

}  // namespace qv
