#pragma once
// The window-less mode: `quenvarlith --no-gui FILE...` hashes the named files (and the files
// directly inside named folders) through the same job and history as the window and prints
// "CRC  MD5  path" per file; `--analyze FILE` prints the PAR report; `--compare LIST FILE...`
// matches each file against a checksum list or PAR set; `--help` and `--version` describe the
// program. Qt-free, so it runs where no display is.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class Clock;
class FileSource;

// True when the command line asks for the headless mode (--no-gui, --help, --version or a
// command option such as --analyze), or when there is no display and at least one file is named.
bool WantsHeadless(int argc, char* argv[], bool hasDisplay);

// The program entry of the headless mode. Exit codes: 0 every file hashed (or report built; with
// --compare, every file also found in the list), 1 otherwise, 2 a usage error or an unreadable
// list; stopped by SIGINT, SIGTERM, SIGHUP or SIGPIPE, it ends by that signal once the lines
// are out and the history is saved.
int RunHeadless(int argc, char* argv[]);

// What the headless run talks to; tests replace every piece.
struct HeadlessEnv {
    std::function<void(std::string_view)> out;   // standard output
    std::function<void(std::string_view)> err;   // standard error
    bool errIsTerminal = false;                  // one-line progress only on a terminal
    std::string dataFolder;                      // "" : DataFolder()
    std::string cwd;                             // "" : the current directory
    std::string shippedFolder;                   // "" : ShippedDataFolder(), where the manual is
    const Clock* clock = nullptr;                // nullptr: the system clock
    std::function<std::unique_ptr<FileSource>()> fileSource;   // test seam of the reader
    int inputFd = 0;                             // standard input (a list named "-")
    // Called before a command that polls `interrupted` starts: the real entry catches the
    // termination signals from then on.
    std::function<void()> catchStops;
    // Polled between files and at progress refreshes; true stops the run (a signal came).
    std::function<bool()> interrupted;
};

// args: the arguments after the program name.
int RunHeadless(const std::vector<std::string>& args, HeadlessEnv& env);

// manualFile: the manual's start page, named at the end when it exists.
std::string HeadlessHelpText(const std::string& manualFile);

}  // namespace qv
