#include "platform/DataFolder.h"

#include "platform/DirSearch.h"
#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace qv {
namespace {

// mkdir -p; true when the folder exists afterwards.
bool MakeFolders(const std::string& path)
{
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    const std::string parent = FolderOf(path);
    if (!parent.empty() && parent != path && !MakeFolders(parent)) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

}  // namespace

std::string ExecutableFolder()
{
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return CurrentDirectory();
        if (static_cast<size_t>(n) < buf.size()) return FolderOf(std::string(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

std::string ChooseDataFolder(const char* quenvarlithHome, const std::string& exeFolder,
                             bool useExeFolder, const char* xdgConfigHome,
                             const char* userHome)
{
    if (quenvarlithHome && *quenvarlithHome) return ExpandLongPath(quenvarlithHome);
    if (useExeFolder) return exeFolder;
    std::string config;
    // The XDG rules ignore a relative value.
    if (xdgConfigHome && *xdgConfigHome == '/') config = ExpandLongPath(xdgConfigHome);
    else if (userHome && *userHome) config = JoinPath(ExpandLongPath(userHome), ".config");
    else config = "/tmp";
    return JoinPath(config, "Quenvarlith");
}

std::string DataFolder()
{
    const std::string exe = ExecutableFolder();
    // A copy installed into a prefix the user owns (~/.local) keeps its files with the
    // user's other settings, not among the programs in the prefix's bin.
    const bool useExe = ::access(exe.c_str(), W_OK) == 0 && !FolderExists(InstalledDataFolder(exe));
    const std::string folder = ChooseDataFolder(std::getenv("QUENVARLITH_HOME"), exe, useExe,
                                                std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    MakeFolders(folder);
    return folder;
}

std::string InstalledDataFolder(const std::string& exeFolder)
{
    return ExpandLongPath(JoinPath(exeFolder, "../share/quenvarlith"));
}

std::string ShippedDataFolder()
{
    const std::string exe = ExecutableFolder();
    const std::string installed = InstalledDataFolder(exe);
    if (FolderExists(installed)) return installed;
    const std::string local = JoinPath(exe, "data");
    if (FolderExists(local)) return local;
    return exe;
}

}  // namespace qv
