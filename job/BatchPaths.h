#pragma once
// What a batch is made of: the files a named path gives (a file found with the file mask, or
// the files directly inside a folder found with the folder mask, in listing order), and the
// reason a name gives nothing. The window's drops and command line and the terminal mode all
// collect through here.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DirSearch.h"

namespace qv {

struct PathMasks {
    uint32_t file = 0;     // the file-attribute mask
    uint32_t folder = 0;   // the folder-attribute mask
};

enum class PathProblem {
    None,
    Empty,        // an empty argument
    Missing,      // not found (error holds the reason)
    Special,      // a FIFO, socket or device that the file mask leaves out
    Masked,       // left out by the attribute masks (a dot-file, say)
    Unreadable,   // a folder that could not be listed (error holds the reason)
    Folder,       // a folder where only files are taken (the list commands)
};

// One named path and what it gives.
struct PathItem {
    std::string path;                 // as collected (expanded for a command-line argument)
    PathProblem problem = PathProblem::None;
    int error = 0;                    // errno of Missing and Unreadable
    bool folder = false;              // a folder, expanded one level
    std::vector<std::string> files;   // the file itself, or the files inside the folder
    FoundEntry found;                 // the search result of a named file
};

// A path as it stands (a dropped item).
PathItem CollectPath(const std::string& path, const PathMasks& masks);
// A command-line argument: empty is a problem, anything else is expanded against cwd
// ("" : the current directory) first.
PathItem CollectArgument(const std::string& argument, const PathMasks& masks,
                         const std::string& cwd = {});

// Everything a drop or the window's command line gives, taken from the last item to the first.
struct CollectedPaths {
    std::vector<std::string> files;
    std::vector<PathItem> rejected;   // in the order they were met
    int folders = 0;
    std::string lastFolder;           // the last expanded folder
};
CollectedPaths CollectDropped(const std::vector<std::string>& items, const PathMasks& masks);
CollectedPaths CollectArguments(const std::vector<std::string>& arguments, const PathMasks& masks,
                                const std::string& cwd = {});

// Why the item gives nothing, e.g. "通常のファイルではありません".
std::string ProblemText(const PathItem& item);
// "パラメータエラー" + the path as shown + the reason:
// パラメータエラー/tmp/fifo　（通常のファイルではありません）
std::string ParameterErrorText(const std::string& shownPath, const PathItem& item);

}  // namespace qv
