#pragma once
// The three list commands as the window and the terminal mode run them: a list in one of the
// user's formats or an SFV file for chosen files, and a list of a whole folder tree. Each
// makes sure the history holds codes for its files first (hashing through the caller), then
// builds the list from the history and writes it. Results carry the status line texts.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "listout/ListWriter.h"

namespace qv {

class HashHistory;

// Hashes the given files into the history: the window runs its processing driver over them
// (quietly, without recalculation), the terminal mode the per-file job. False when the user
// cancelled or a failure stopped the batch.
using HashFilesStep = std::function<bool(const std::vector<std::string>& paths)>;

// Where the codes come from. A file is handed to hash when the history holds no record for
// it, or one that no longer matches its size and time stamp (a list must not carry codes of
// an older state of the file), or always when verification is on.
struct CodeSource {
    HashHistory& history;
    HashFilesStep hash;
    bool verification = false;   // "再計算し履歴と照合(&R)"
};

enum class ListOutcome {
    Written,
    NothingToList,   // no files given, no accepted file in the tree, or no record under it
    Cancelled,
    MissingCodes,    // a file still has no record after hashing; nothing was written
    WriteFailed,
};

struct ListResult {
    ListOutcome outcome = ListOutcome::NothingToList;
    std::string status;   // for the status line; "" leaves it as it is
    std::string error;    // WriteFailed: the file and the system's reason, joined by "\r"
    size_t entries = 0;   // lines written (files of the list)
    size_t leftOut = 0;   // files whose name holds a line break: no line can carry them
};

// A list of the given files in the given style (the header names the first file's folder).
ListResult MakeSelectionList(const std::vector<std::string>& paths, const ListStyle& style,
                             const std::string& target, CodeSource& codes);
// An SFV file of the given files; now is the moment of writing.
ListResult MakeSfvList(const std::vector<std::string>& paths, const std::string& target,
                       CodeSource& codes, double now);

struct TreeListRequest {
    std::string folder;        // "/" lists the whole file system
    std::string target;
    uint32_t folderMask = 0;   // the attribute masks of the folder walk
    uint32_t fileMask = 0;
    ListStyle style;
};
// Progress texts of the tree list; during the walk false stops the command.
using ListStatusStep = std::function<bool(const std::string& text)>;
// Every accepted file of the tree is brought into the history, then every record under the
// folder is listed, grouped by the folder that holds it, each group with its header and tail.
// The target itself is left out: a list cannot hold its own codes.
ListResult MakeTreeList(const TreeListRequest& request, CodeSource& codes,
                        const ListStatusStep& status = {});
// The tree list's text from the history alone: every record under folder but leaveOut,
// grouped by the folder that holds it; count gets the number of records listed, leftOut
// (when given) the number of paths with a line break, which are not listed.
std::string TreeListText(const HashHistory& history, const std::string& folder,
                         const ListStyle& style, size_t& count, const std::string& leaveOut = {},
                         size_t* leftOut = nullptr);

// The files the save dialogs propose, and their filters.
// folder + "/" + its last component + the extension (".*" gives ".MD5").
std::string SelectionListFileName(const std::string& folder, const ListFormat& format);
// folder + "/" + its last component + ".sfv".
std::string SfvFileName(const std::string& folder);
// folder + "/" + its last component + the extension (none for ".*").
std::string TreeListFileName(const std::string& folder, const ListFormat& format);

struct SaveFilter {
    std::string description;   // "MD5 FileName(*.MD5)"
    std::string pattern;       // "*.MD5"
};
std::vector<SaveFilter> SelectionListFilters(const ListFormatTable& formats);
std::vector<SaveFilter> TreeListFilters(const ListFormatTable& formats);   // "リスト書式-1 ..."
SaveFilter SfvFilter();

}  // namespace qv
