// Figures for the folder-tree list of a cached tree: 100,000 files in 1,000 folders whose
// codes are all in the history, end to end (walk, history look-ups, grouping, writing).
// Usage: listout_bench [files] [folders]   (the tree goes to a fresh folder under /tmp and is removed)
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "history/HashHistory.h"
#include "listout/ListCommands.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"

using namespace qv;

namespace {

using Wall = std::chrono::steady_clock;

double CpuNow()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct Stamp {
    Wall::time_point wall = Wall::now();
    double cpu = CpuNow();
};

std::string Seconds(const Stamp& since)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%7.3f s cpu (%7.3f s wall)", CpuNow() - since.cpu,
                  std::chrono::duration<double>(Wall::now() - since.wall).count());
    return buf;
}

int RemoveOne(const char* path, const struct stat*, int type, struct FTW*)
{
    return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
}

long FileBytes(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

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
    ::mkdir(tree.c_str(), 0777);

    Stamp start;
    for (int d = 0; d < folders; ++d) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %04d", d);
        ::mkdir((tree + name).c_str(), 0777);
    }
    for (int n = 0; n < files; ++n) {
        char name[96];
        std::snprintf(name, sizeof name, "/Folder %04d/Data file %07d.bin", n % folders, n);
        const int fd = ::open((tree + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) ::close(fd);
    }
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

    ::nftw(root.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
    return 0;
}
