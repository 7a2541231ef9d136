#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Number formats of the status texts and lists: "0," (thousands separators), "0,.#" (at most one
// decimal), "0,.0" (exactly one), "0,.000" (exactly three), "0.0%"-style formats with literal
// text around the digits ("履歴データ検査中 0.0%" keeps its text and '%' literally; the value
// is not multiplied). Rounding is half away from zero.
std::string FormatNumber(double value, std::string_view format);
// Integer with thousands separators, e.g. 1234567 -> "1,234,567".
std::string FormatGrouped(int64_t value);
// printf-style "%15d": right-aligned in width characters (never cut).
std::string PadLeft(std::string_view text, size_t width);

}  // namespace qv
