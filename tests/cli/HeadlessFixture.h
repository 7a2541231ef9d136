#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "cli/TerminalMode.h"
#include "history/HistoryFileContents.h"
#include "support/FailingSource.h"
#include "support/TempDir.h"

namespace qv {

// The codes of "abc" as a hashing line starts them.
inline const std::string kAbcLine = "352441C2  900150983CD24FB0D6963F7D28E17F72  ";

// Runs the terminal mode in this process over a fresh data folder (home) and working folder
// (files), catching what it prints; the reader counts its opens and fails files named failName.
class HeadlessFixture : public ::testing::Test {
protected:
    HeadlessFixture() { home.WriteFile("Quenvarlith.ini", "[Buffering]\r\nI/O TimeOut=300\r\n"); }

    // quenvarlith --no-gui args...
    int Run(const std::vector<std::string>& args)
    {
        out.clear(), err.clear();
        HeadlessEnv env;
        env.out = [this](std::string_view t) { out += t; };
        env.err = [this](std::string_view t) { err += t; };
        env.dataFolder = home.path();
        env.cwd = files.path();
        env.shippedFolder = home.Path("shipped");   // no manual: --help does not depend on the build
        env.errIsTerminal = terminal;
        env.clock = clock;
        env.inputFd = inputFd;
        env.fileSource = [this] { return std::make_unique<FailingSource>(failName, &opens); };
        env.interrupted = [this] {
            return stopAfterLines > 0 && std::count(out.begin(), out.end(), '\n') >= stopAfterLines;
        };
        return RunHeadless(args, env);
    }
    std::vector<std::string> Saved() const { return KeysIn(home.Path("Quenvarlith.dat")); }

    TempDir home;    // data folder: settings and history
    TempDir files;   // where the files are
    std::string out, err, failName;
    std::atomic<int> opens{0};
    bool terminal = false;
    int inputFd = 0;
    const Clock* clock = nullptr;
    long stopAfterLines = 0;   // play an interrupt (Ctrl+C) once this many lines are out
};

}  // namespace qv
