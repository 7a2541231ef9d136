#pragma once
#include <string>

namespace qv {

// Folder of the running executable (from /proc/self/exe).
std::string ExecutableFolder();
// Where Quenvarlith.ini and Quenvarlith.dat live: $QUENVARLITH_HOME, else the executable's
// folder when writable, else $XDG_CONFIG_HOME/Quenvarlith (~/.config/Quenvarlith); created.
std::string DataFolder();
// The rule DataFolder follows, with its inputs passed in (null or empty for an unset
// variable); creates nothing.
std::string ChooseDataFolder(const char* quenvarlithHome, const std::string& exeFolder,
                             bool exeFolderWritable, const char* xdgConfigHome,
                             const char* userHome);
// Shipped data (holds Media/*.WAV), the stand-in for %systemroot%: <exe>/../share/quenvarlith
// when installed, else <exe folder>/data when that exists, else the executable's folder.
std::string ShippedDataFolder();

}  // namespace qv
