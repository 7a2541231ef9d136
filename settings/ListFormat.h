#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

inline constexpr size_t kListFormatCount = 5;
inline constexpr size_t kListFormatTextBytes = 64;   // Name, header texts, Strings
inline constexpr size_t kListFormatExtensionBytes = 8;

// What a field of a list line holds (the Codes of a ListFormat).
enum FieldCode : int32_t {
    kFieldFileName = 0,
    kFieldMd5 = 1,
    kFieldCrc = 2,
    kFieldFileSize = 3,
    kFieldTimeStamp = 4,
    kFieldNone = 5,
};

// One user-defined list format. Texts are UTF-8 without the brackets of their stored form.
// A line is Strings[0], field(Codes[0]), Strings[1], field(Codes[1]), ... Strings[4], field(Codes[4]).
struct ListFormat {
    std::string Name;
    std::string HeaderText1;
    std::string HeaderText2;
    bool PathHeader = false;
    std::array<std::string, 5> Strings;      // String1 .. String5
    std::array<int32_t, 5> Codes{kFieldMd5, kFieldFileName, kFieldNone, kFieldNone, kFieldNone};  // Code1 .. Code5
    int32_t NameFormat = 0;   // 0 as is, 1 upper case, 2 lower case, 3 full path
    int32_t Md5Format = 0;    // 0 upper case, 1 lower case
    int32_t CrcFormat = 0;    // 0 upper case, 1 lower case
    int32_t SizeFormat = 0;   // 0 with thousands separators, 1 plain digits
    int32_t TimeFormat = 0;   // index into TimestampFormats
    std::string Extension = ".MD5";   // with its dot; ".*" when none was chosen
    bool TailBlankLine = false;

    bool operator==(const ListFormat&) const = default;
};

using ListFormatTable = std::array<ListFormat, kListFormatCount>;

// The five formats a settings file without section Format gives.
ListFormatTable DefaultListFormats();
// One pattern, "yyyy/mm/dd hh:mm:ss".
std::vector<std::string> DefaultTimestampFormats();

}  // namespace qv
