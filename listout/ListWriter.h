#pragma once
// The text of checksum lists in a user-defined list format and of SFV files, and their
// writers. Every text is UTF-8 with CR LF line ends; a file is replaced only when the new one
// is complete, so a failed write leaves the old file as it was.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ListFormat.h"

namespace qv {

struct HistoryRecord;

// One file of a list: its full path and the history record its codes come from.
struct ListEntry {
    std::string path;
    const HistoryRecord* record = nullptr;
};

// A list format with the timestamp patterns its TimeFormat indexes.
struct ListStyle {
    ListFormat format;
    std::vector<std::string> timestampFormats;
};

// The text of one field of a line. A code outside 0 to 5, a NameFormat, Md5Format, CrcFormat
// or SizeFormat outside its list, or a TimeFormat without a pattern gives an empty field.
std::string ListField(const ListStyle& style, int32_t code, const std::string& path,
                      const HistoryRecord& record);
// String1, field 1, String2, field 2, ... String5, field 5; no line end.
std::string ListLine(const ListStyle& style, const std::string& path, const HistoryRecord& record);
// HeaderText1 (+ folder when PathHeader is on) + HeaderText2; "" means no header line.
std::string ListHeader(const ListFormat& format, const std::string& folder);

// The header for the folder of the first entry, a line per entry, the optional empty line.
std::string FormatListText(const std::vector<ListEntry>& entries, const ListStyle& style);
// Two lines of comment, the size and time of every entry as comment lines, then every name
// with its CRC; now is the moment of writing.
std::string SfvText(const std::vector<ListEntry>& entries, double now);

// Replaces path with text. False with errorText naming the file and the system's reason
// (lines joined by "\r", as the message boxes show them).
bool WriteListFile(const std::string& path, const std::string& text, std::string& errorText);

// Nothing is written (nor any file removed) when entries is empty.
bool WriteFormatList(const std::string& path, const std::vector<ListEntry>& entries,
                     const ListStyle& style, std::string& errorText);
bool WriteSfvFile(const std::string& path, const std::vector<ListEntry>& entries, double now,
                  std::string& errorText);

}  // namespace qv
