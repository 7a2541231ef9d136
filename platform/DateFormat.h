#pragma once
#include <string>
#include <string_view>

namespace qv {

// The date-time pattern language (letters matched without regard to case) with the fixed
// Japanese conventions: "yyyy/mm/dd hh:mm:ss" -> "2024/01/31 09:05:07".
std::string FormatDateTime(std::string_view pattern, double value);

// Short date "yyyy/mm/dd", then a space and long time "h:nn:ss" unless exactly midnight.
std::string DateTimeToText(double value);
std::string DateToText(double value);         // "yyyy/mm/dd"
// Reads what DateTimeToText writes (time part optional). False on anything else.
bool TextToDateTime(std::string_view text, double& out);

}  // namespace qv
