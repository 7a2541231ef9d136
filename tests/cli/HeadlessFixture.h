#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/TerminalMode.h"
#include "support/TempDir.h"

namespace qv {

// Runs the terminal mode in this process over a fresh data folder (home) and working folder
// (files), catching what it prints.
class HeadlessFixture : public ::testing::Test {
protected:
    // quenvarlith --no-gui args...
    int Run(const std::vector<std::string>& args)
    {
        out.clear();
        err.clear();
        HeadlessEnv env;
        env.out = [this](std::string_view t) { out += t; };
        env.err = [this](std::string_view t) { err += t; };
        env.dataFolder = home.path();
        env.cwd = files.path();
        env.shippedFolder = home.Path("shipped");   // no manual: --help does not depend on the build
        Prepare(env);
        return RunHeadless(args, env);
    }
    // Sets more of the environment (clock, reader, stop requests) for a test.
    virtual void Prepare(HeadlessEnv&) {}

    TempDir home;    // data folder: settings and history
    TempDir files;   // where the files are
    std::string out, err;
};

}  // namespace qv
