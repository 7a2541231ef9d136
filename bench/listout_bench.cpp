// Figures for the folder-tree list of a cached tree: 100,000 files in 1,000 folders whose
// codes are all in the history, end to end (walk, history look-ups, grouping, writing).
// Usage: listout_bench [files] [folders]   (the tree goes to a fresh folder under /tmp and is removed)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "BenchTiming.h"
#include "history/HashHistory.h"
#include "listout/ListCommands.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"

using namespace qv;

namespace {

using namespace qv::bench;

// Times one tree list; the hashing step must never be needed.
void Run(const char* label, HashHistory& history, const TreeListRequest& request)
{
    size_t handed = 0;
    CodeSource codes{history, [&](const std::vector<std::string>& paths) {
                         handed += paths.size();
                         return true;
                     }};
    const Stamp start;
    const ListResult result = MakeTreeList(request, codes);
    std::printf("%-34s %s  %zu lines, %ld bytes%s\n", label, Seconds(start).c_str(), result.entries,
                FileBytes(request.target), handed ? "  (files were handed to hashing!)" : "");
    if (result.outcome != ListOutcome::Written) std::printf("  not written: %s\n", result.error.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = std::max(1, argc > 2 ? std::atoi(argv[2]) : 1000);
    char folder[] = "/tmp/qv-listout-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string root = folder;
    const std::string tree = root + "/Tree";

    Stamp start;
    MakeFileTree(tree, files, folders, 0);
    std::printf("%d files in %d folders created          %s\n", files, folders, Seconds(start).c_str());

    // Every file recorded with its current stamp, inserted in key order so setup stays linear.
    start = Stamp();
    std::vector<std::pair<std::string, FoundEntry>> found;
    WalkFolderTree(tree, 49, 33, [&](const std::string& path, const FoundEntry& e) { found.emplace_back(path, e); });
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return ComparePathKeys(a.first, b.first) < 0; });
    HashHistory history;
    for (const auto& [path, e] : found)
        history.Insert(path, HistoryRecord{e.size, e.stamp, 45000.0, "0123456789ABCDEF0123456789ABCDEF", "89ABCDEF"});
    std::printf("history of %d records                  %s\n", history.Count(), Seconds(start).c_str());

    TreeListRequest request{tree, root + "/Tree.MD5", 49, 33, {DefaultListFormats()[0], DefaultTimestampFormats()}};
    Run("tree list, format 1 (first run)", history, request);
    Run("tree list, format 1", history, request);
    ListFormat& full = request.style.format;
    full.HeaderText1 = "; ";
    full.PathHeader = true;
    full.TailBlankLine = true;
    full.NameFormat = 3;
    full.Codes = {kFieldFileName, kFieldFileSize, kFieldTimeStamp, kFieldCrc, kFieldMd5};
    full.Strings = {"", "\t", "\t", "\t", "\t"};
    Run("tree list, path/size/time/CRC/MD5", history, request);

    RemoveTree(root);
    return 0;
}
