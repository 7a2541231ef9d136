#include "platform/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace qv {
namespace {

// A format section split into what the writer needs.
struct Layout {
    int intPlaceholders = 0;   // '0' and '#' before the decimal point
    int minIntDigits = 0;      // placeholders from the first '0' on
    int minDecimals = 0;       // '0's after the decimal point
    int maxDecimals = 0;       // all placeholders after the decimal point
    bool grouping = false;
    bool hasPoint = false;
};

Layout Analyse(std::string_view format)
{
    Layout layout;
    bool afterPoint = false;
    int firstZero = -1;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++layout.maxDecimals;
                if (c == '0') layout.minDecimals = layout.maxDecimals;
            } else {
                if (c == '0' && firstZero < 0) firstZero = layout.intPlaceholders;
                ++layout.intPlaceholders;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            layout.hasPoint = true;
        } else if (c == ',' && !afterPoint) {
            layout.grouping = true;
        }
    }
    layout.minIntDigits = firstZero < 0 ? 0 : layout.intPlaceholders - firstZero;
    return layout;
}

// Splits |value| rounded half away from zero at `decimals` places into integer and fraction
// digits. Rounding works on the short decimal form of the double, so 2.675 rounds to 2.68 as
// a person reading it expects.
void Digits(double value, int decimals, std::string& intDigits, std::string& fracDigits)
{
    // The fewest significant digits (15 to 17) that still name this very double: 2.675 stays
    // 2.675 rather than 2.67499999..., while 2^53 + 2 keeps every digit.
    char buffer[64];
    for (int precision = 14; precision <= 16; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision, std::fabs(value));
        if (std::strtod(buffer, nullptr) == std::fabs(value)) break;
    }
    std::string mantissa;
    for (const char* p = buffer; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mantissa += *p;
    const char* e = std::strchr(buffer, 'e');
    int intCount = (e ? std::atoi(e + 1) : 0) + 1;   // digits before the point
    if (mantissa.find_first_not_of('0') == std::string::npos) intCount = 1;
    const int keep = intCount + decimals;
    std::string kept;
    if (keep <= 0) {
        // Everything lies below the rounding place; only a first kept digit of 5+ rounds up.
        if (keep == 0 && mantissa[0] >= '5') {
            kept.assign(1, '1');   // (a plain "1" trips a false -Wrestrict in gcc 12)
            ++intCount;
        }
        if (kept.empty()) intCount = 1;
    } else {
        kept = mantissa.substr(0, static_cast<size_t>(keep) < mantissa.size() ? keep : mantissa.size());
        if (static_cast<size_t>(keep) < mantissa.size() && mantissa[keep] >= '5') {
            int i = static_cast<int>(kept.size()) - 1;
            while (i >= 0 && kept[i] == '9') kept[i--] = '0';
            if (i >= 0) {
                ++kept[i];
            } else {
                kept.insert(kept.begin(), '1');
                ++intCount;
            }
        }
    }
    // Place the kept digits around the decimal point.
    const int total = intCount + decimals;
    kept.resize(total > 0 ? static_cast<size_t>(total) : 0, '0');
    if (intCount > 0) {
        intDigits = kept.substr(0, static_cast<size_t>(intCount));
        fracDigits = kept.substr(static_cast<size_t>(intCount));
    } else {
        intDigits.assign(1, '0');
        fracDigits = std::string(static_cast<size_t>(-intCount), '0') + kept;
        fracDigits.resize(static_cast<size_t>(decimals), '0');
    }
    const size_t nz = intDigits.find_first_not_of('0');
    intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
}

std::string FormatSection(double value, std::string_view format, bool withSign)
{
    const Layout layout = Analyse(format);
    std::string intDigits, fracDigits;
    Digits(value, layout.maxDecimals, intDigits, fracDigits);
    while (static_cast<int>(fracDigits.size()) > layout.minDecimals && !fracDigits.empty() &&
           fracDigits.back() == '0')
        fracDigits.pop_back();
    if (static_cast<int>(intDigits.size()) < layout.minIntDigits)
        intDigits.insert(0, static_cast<size_t>(layout.minIntDigits) - intDigits.size(), '0');
    const bool isZero = intDigits.find_first_not_of('0') == std::string::npos &&
                        fracDigits.find_first_not_of('0') == std::string::npos;
    const bool negative = withSign && value < 0 && !isZero;

    std::string out;
    const int len = static_cast<int>(intDigits.size());
    auto appendDigit = [&](int i) {
        if (layout.grouping && i > 0 && (len - i) % 3 == 0) out += ',';
        out += intDigits[static_cast<size_t>(i)];
    };
    int intLeft = layout.intPlaceholders;   // integer placeholders still to come
    int fracIndex = 0;
    bool afterPoint = false;
    bool signDone = !negative;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? format.size() : close;
            out.append(format.substr(i + 1, end - i - 1));
            i = end;
        } else if ((c == '0' || c == '#') && !afterPoint) {
            if (!signDone) {
                out += '-';
                signDone = true;
            }
            if (intLeft == layout.intPlaceholders) {
                // The first placeholder also takes the digits no placeholder stands for.
                for (int d = 0; d < len - intLeft; ++d) appendDigit(d);
            }
            const int index = len - intLeft;
            if (index >= 0) appendDigit(index);
            --intLeft;
        } else if ((c == '0' || c == '#') && afterPoint) {
            if (fracIndex < static_cast<int>(fracDigits.size())) out += fracDigits[fracIndex];
            ++fracIndex;
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            if (!signDone) {
                out += '-';
                signDone = true;
            }
            if (!fracDigits.empty()) out += '.';
        } else if (c == ',' && !afterPoint) {
            // Grouping flag only.
        } else {
            out += c;
        }
    }
    if (!signDone) out.insert(0, 1, '-');
    return out;
}

// Sections split at ';' outside quotes: positive;negative;zero.
std::vector<std::string_view> Sections(std::string_view format)
{
    std::vector<std::string_view> sections;
    size_t start = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

}  // namespace

std::string FormatNumber(double value, std::string_view format)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    const auto sections = Sections(format);
    if (sections.size() == 1) return FormatSection(value, sections[0], true);
    // A value that rounds to zero in the first section uses the zero section when there is one.
    const std::string plain = FormatSection(std::fabs(value), sections[0], false);
    bool zero = true;
    for (char c : plain)
        if (c >= '1' && c <= '9') zero = false;
    if (zero && sections.size() >= 3 && !sections[2].empty())
        return FormatSection(0.0, sections[2], false);
    if (value < 0 && !zero) {
        if (!sections[1].empty()) return FormatSection(-value, sections[1], false);
        return FormatSection(value, sections[0], true);
    }
    return plain;
}

std::string FormatGrouped(int64_t value)
{
    // Work on the unsigned magnitude so INT64_MIN does not overflow.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    if (value < 0) out += '-';
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string PadLeft(std::string_view text, size_t width)
{
    size_t chars = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    std::string out;
    if (chars < width) out.assign(width - chars, ' ');
    out.append(text);
    return out;
}

}  // namespace qv
