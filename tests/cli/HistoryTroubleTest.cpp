// What the terminal mode says when the history file was damaged or could not be saved.
#include <gtest/gtest.h>

#include "cli/TerminalMode.h"
#include "history/HistoryPersistence.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "support/Processes.h"
#include "support/TempDir.h"

namespace qv {
namespace {

TEST(HeadlessHistory, DamagedFileIsNamedAndAFailedSaveFailsTheRun)
{
    TempDir home, files;
    files.WriteFile("a.txt", "abc");
    files.WriteFile("b.txt", "abcd");
    const std::string history = home.WriteFile("Quenvarlith.dat", std::string(4, '\xFF'));   // count -1
    const ManualClock clock(EncodeDateTime({2024, 6, 1, 12, 0, 0}), 0);
    std::string err;
    HeadlessEnv env;
    env.out = [](std::string_view) {};
    env.err = [&](std::string_view text) { err += text; };
    env.dataFolder = home.path();
    env.cwd = files.path();
    env.clock = &clock;
    EXPECT_EQ(RunHeadless({"--no-gui", "a.txt"}, env), 0) << err;
    EXPECT_EQ(err, KeptDamagedHistoryText(history, home.Path("Quenvarlith-20240601_001.dat")) + "\n");
    EXPECT_EQ(TempDir::ReadFile(home.Path("Quenvarlith-20240601_001.dat")), std::string(4, '\xFF'));

    err.clear();
    const int code = [&] {
        const FileSizeLimit full(64);   // the new history file does not fit
        return RunHeadless({"--no-gui", "b.txt"}, env);
    }();
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.find(history + "\nError code = 27 (File too large)"), std::string::npos) << err;
}

}  // namespace
}  // namespace qv
