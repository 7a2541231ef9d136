#pragma once
#include <string>

namespace qv {

// Folder of the running executable (from /proc/self/exe).
std::string ExecutableFolder();
// Where Quenvarlith.ini and Quenvarlith.dat live: $QUENVARLITH_HOME, else the executable's
// folder when it is writable and not an installed prefix's bin (one with
// ../share/quenvarlith), else $XDG_CONFIG_HOME/Quenvarlith (~/.config/Quenvarlith); created.
std::string DataFolder();
// The rule DataFolder follows, with its inputs passed in (null or empty for an unset
// variable); creates nothing. useExeFolder: the executable's folder may hold the data.
std::string ChooseDataFolder(const char* quenvarlithHome, const std::string& exeFolder,
                             bool useExeFolder, const char* xdgConfigHome,
                             const char* userHome);
// <exe folder>/../share/quenvarlith: where an installed program's shipped data lies.
std::string InstalledDataFolder(const std::string& exeFolder);
// Shipped data (holds Media/*.WAV), the stand-in for %systemroot%: <exe>/../share/quenvarlith
// when installed, else <exe folder>/data when that exists, else the executable's folder.
std::string ShippedDataFolder();
// The manual's start page inside the shipped data.
inline constexpr const char* kManualFile = "manual/index.html";

}  // namespace qv
