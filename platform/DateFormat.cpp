#include "platform/DateFormat.h"

#include "platform/DateTime.h"

#include <cstdio>

namespace qv {
namespace {

// The fixed Japanese conventions.
constexpr char kDateSeparator = '/';
constexpr char kTimeSeparator = ':';
constexpr std::string_view kShortDate = "yyyy/mm/dd";
constexpr std::string_view kLongDate = "yyyy\xE5\xB9\xB4m\xE6\x9C\x88" "d\xE6\x97\xA5";   // yyyy年m月d日
constexpr std::string_view kShortTime = "h:nn";
constexpr std::string_view kLongTime = "h:nn:ss";
const char* const kAm = "\xE5\x8D\x88\xE5\x89\x8D";   // 午前
const char* const kPm = "\xE5\x8D\x88\xE5\xBE\x8C";   // 午後
const char* const kShortDays[7] = {"\xE6\x97\xA5", "\xE6\x9C\x88", "\xE7\x81\xAB", "\xE6\xB0\xB4",
                                   "\xE6\x9C\xA8", "\xE9\x87\x91", "\xE5\x9C\x9F"};   // 日..土
const char* const kDaySuffix = "\xE6\x9B\x9C\xE6\x97\xA5";                              // 曜日
const char* const kMonthSuffix = "\xE6\x9C\x88";                                        // 月

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool StartsFolded(std::string_view text, size_t at, std::string_view word)
{
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Upper(text[at + i]) != word[i]) return false;
    return true;
}

void AppendNumber(std::string& out, int value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    out += buffer;
}

// True when an am/pm marker appears after `from`, outside quotes.
bool TwelveHourAhead(std::string_view pattern, size_t from)
{
    char quote = 0;
    for (size_t i = from; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if ((c == 'a' || c == 'A') &&
                   (StartsFolded(pattern, i, "AM/PM") || StartsFolded(pattern, i, "A/P") ||
                    StartsFolded(pattern, i, "AMPM"))) {
            return true;
        }
    }
    return false;
}

void Format(std::string& out, std::string_view pattern, const CalendarFields& f, double value,
            int depth)
{
    char lastLetter = 0;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        char token = Upper(c);
        size_t count = 1;
        while (i + count < pattern.size() && Upper(pattern[i + count]) == token &&
               token >= 'A' && token <= 'Z')
            ++count;
        if (token >= 'A' && token <= 'Z') {
            // After an hour token the next m/mm is the minute, even across separators.
            if (token == 'M' && lastLetter == 'H') token = 'N';
            lastLetter = token;
        }
        switch (token) {
        case 'Y':
            if (count <= 2) AppendNumber(out, f.year % 100, 2);
            else AppendNumber(out, f.year, 4);
            i += count;
            break;
        case 'M':
            if (count <= 2) {
                AppendNumber(out, f.month, static_cast<int>(count));
            } else {
                out += std::to_string(f.month);   // short and long names are alike: 1月
                out += kMonthSuffix;
            }
            i += count;
            break;
        case 'D':
            if (count <= 2) {
                AppendNumber(out, f.day, static_cast<int>(count));
            } else if (count <= 4) {
                out += kShortDays[DayOfWeek(value) - 1];
                if (count == 4) out += kDaySuffix;
            } else if (depth < 2) {
                Format(out, count == 5 ? kShortDate : kLongDate, f, value, depth + 1);
            }
            i += count;
            break;
        case 'H': {
            int hour = f.hour;
            if (TwelveHourAhead(pattern, i + count)) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            AppendNumber(out, hour, count >= 2 ? 2 : 1);
            i += count;
            break;
        }
        case 'N':
            AppendNumber(out, f.minute, count >= 2 ? 2 : 1);
            i += count;
            break;
        case 'S':
            AppendNumber(out, f.second, count >= 2 ? 2 : 1);
            i += count;
            break;
        case 'Z':
            AppendNumber(out, f.millisecond, count >= 3 ? 3 : static_cast<int>(count));
            i += count;
            break;
        case 'T':
            if (depth < 2) Format(out, count == 1 ? kShortTime : kLongTime, f, value, depth + 1);
            i += count;
            break;
        case 'C':
            if (depth < 2) {
                Format(out, kShortDate, f, value, depth + 1);
                if (f.hour != 0 || f.minute != 0 || f.second != 0) {
                    out += ' ';
                    Format(out, kLongTime, f, value, depth + 1);
                }
            }
            i += count;   // a run of c's writes the date once
            break;
        case 'A':
            if (StartsFolded(pattern, i, "AM/PM")) {
                // The marker keeps the pattern's own letter case.
                out.append(pattern.substr(f.hour >= 12 ? i + 3 : i, 2));
                i += 5;
            } else if (StartsFolded(pattern, i, "A/P")) {
                out += pattern[f.hour >= 12 ? i + 2 : i];
                i += 3;
            } else if (StartsFolded(pattern, i, "AMPM")) {
                out += f.hour >= 12 ? kPm : kAm;
                i += 4;
            } else {
                out += c;
                i += 1;
            }
            break;
        case '/':
            out += kDateSeparator;
            ++i;
            break;
        case ':':
            out += kTimeSeparator;
            ++i;
            break;
        case '"':
        case '\'': {
            const size_t close = pattern.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            break;
        }
        default:
            out.append(pattern.substr(i, count));
            i += count;
            break;
        }
    }
}

bool ReadNumber(std::string_view text, size_t& at, int minDigits, int maxDigits, int& out)
{
    int digits = 0;
    out = 0;
    while (at < text.size() && digits < maxDigits && text[at] >= '0' && text[at] <= '9') {
        out = out * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    return digits >= minDigits;
}

bool Expect(std::string_view text, size_t& at, char c)
{
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, double value)
{
    std::string out;
    const CalendarFields f = DecodeDateTime(value);
    Format(out, pattern, f, value, 0);
    return out;
}

std::string DateToText(double value)
{
    return FormatDateTime(kShortDate, value);
}

std::string DateTimeToText(double value)
{
    return FormatDateTime("c", value);
}

bool TextToDateTime(std::string_view text, double& out)
{
    size_t at = 0;
    CalendarFields f;
    if (!ReadNumber(text, at, 4, 4, f.year) || !Expect(text, at, kDateSeparator) ||
        !ReadNumber(text, at, 1, 2, f.month) || !Expect(text, at, kDateSeparator) ||
        !ReadNumber(text, at, 1, 2, f.day))
        return false;
    if (at < text.size()) {
        if (!Expect(text, at, ' ') || !ReadNumber(text, at, 1, 2, f.hour) ||
            !Expect(text, at, kTimeSeparator) || !ReadNumber(text, at, 2, 2, f.minute))
            return false;
        if (at < text.size() &&
            (!Expect(text, at, kTimeSeparator) || !ReadNumber(text, at, 2, 2, f.second)))
            return false;
        if (at != text.size()) return false;
    }
    return TryEncodeDateTime(f, out);
}

}  // namespace qv
