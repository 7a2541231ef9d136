#pragma once
// What the list-format dialog decides, without its widgets: the quoted form of the texts, the
// load and store of one format, the checks after every edit, and the texts that show a
// format's name elsewhere (its entry in the dialog's list and the two menu captions).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ListFormat.h"

namespace qv {

// The dialog's controls as values: texts as the edits hold them, positions of the radio
// groups and lists (-1 when nothing is selected).
struct FormatForm {
    std::string name;                       // AssignName, quoted form
    std::string header1;                    // HeaderText1, quoted form
    std::string header2;                    // HeaderText2, quoted form
    bool pathHeader = false;                // PathHeader
    std::string extension;                  // ExtEdit: the extension without its dot, not quoted
    std::array<std::string, 5> strings;     // Edit1 .. Edit5, quoted form
    std::array<int32_t, 5> codes{-1, -1, -1, -1, -1};   // CodeGroup1 .. CodeGroup5
    int32_t nameFormat = -1;                // ComboName
    int32_t md5Format = -1;                 // ComboMd5
    int32_t crcFormat = -1;                 // ComboCrc
    int32_t sizeFormat = -1;                // ComboSize
    int32_t timeFormat = -1;                // ComboTime
    bool tailBlankLine = false;             // CkInsertCR

    bool operator==(const FormatForm&) const = default;
};

// "text" with every inner double quote doubled; "" for the empty text.
std::string QuotedForm(std::string_view text);
// At least two characters, a double quote at each end, an even number of them in all.
bool IsProperlyQuoted(std::string_view text);
// The stored text of a properly quoted edit: up to the closing quote, doubled quotes made
// single, cut to 64 bytes. When that gives nothing although the edit is not exactly "", the
// edit is taken whole, quotes and all.
std::string DecodeQuoted(std::string_view text);

// The controls showing format `format`; a stored position outside its list selects nothing.
FormatForm LoadFormatForm(const ListFormat& format, size_t timestampCount);
// "1番の設定を読み込みました"; number is 1 to 5.
std::string LoadedMessage(size_t number);

struct StoreOutcome {
    bool stored = false;
    std::string message;   // for the status bar
};
// The store button: checks the quotes in order and, when all pass, writes the form into
// formats[selected] (selected 0 to 4; -1 when no entry is selected). After a store the
// dialog loads the stored format again but keeps this message.
StoreOutcome StoreFormatForm(const FormatForm& form, int selected, ListFormatTable& formats);

// After an edit of strings 2 to 5 or a click in a code group: after the first "無し" among
// codes 2 to 4 every later code becomes "無し" and the strings after the next one are
// emptied; returns the warning for the status bar ("" clears it). Warnings never stop a store.
std::string CheckCodes(FormatForm& form);
// Removing the tick of "PATH名" empties the second header text.
void PathHeaderChanged(FormatForm& form);

// "(1)MD5 FileName": the format's entry in the dialog's list; number is 1 to 5.
std::string FormatListEntry(size_t number, std::string_view name);
// "(&1)MD5 FileName..." (the selection's list menu) and "リスト作成(&1)-MD5 FileName..." (the
// folder-tree list menu). An '&' of the name is doubled so the menu shows it as typed.
std::string SelectionMenuCaption(size_t number, std::string_view name);
std::string TreeMenuCaption(size_t number, std::string_view name);

}  // namespace qv
