#include "platform/DataFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "support/TempDir.h"

namespace qv {
namespace {

TEST(DataFolder, OverrideThenExecutableFolderThenConfigFolder)
{
    const struct {
        const char* home;
        bool exeWritable;
        const char *xdg, *userHome, *folder;
    } cases[] = {{"/opt/qv//x/", true, "/cfg", "/home/u", "/opt/qv/x"},
                 {"", true, "/cfg", "/home/u", "/apps/qv"},
                 {nullptr, false, "/cfg", "/home/u", "/cfg/Quenvarlith"},
                 {nullptr, false, nullptr, "/home/u", "/home/u/.config/Quenvarlith"},
                 {nullptr, false, "", "/home/u", "/home/u/.config/Quenvarlith"},
                 {nullptr, false, "relative", "/home/u", "/home/u/.config/Quenvarlith"},
                 {nullptr, false, nullptr, nullptr, "/tmp/Quenvarlith"}};
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDataFolder(c.home, "/apps/qv", c.exeWritable, c.xdg, c.userHome), c.folder) << c.folder;
}

// The real inputs: the environment, /proc/self/exe and the build folder (writable here).
TEST(DataFolder, FromTheEnvironmentMadeAbsoluteAndCreated)
{
    const std::string exe = ExecutableFolder();
    EXPECT_TRUE(FileExists(JoinPath(exe, "platform_tests")));
    const char* old = std::getenv("QUENVARLITH_HOME");
    const std::string saved = old ? old : "";
    TempDir dir;
    const std::string cwd = CurrentDirectory();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    ::setenv("QUENVARLITH_HOME", "./rel/../portable/set", 1);
    const std::string overridden = DataFolder();
    ::unsetenv("QUENVARLITH_HOME");
    const std::string plain = DataFolder();
    if (old) ::setenv("QUENVARLITH_HOME", saved.c_str(), 1);
    ASSERT_EQ(::chdir(cwd.c_str()), 0);
    EXPECT_EQ(overridden, dir.Path("portable/set"));
    EXPECT_TRUE(FolderExists(overridden));
    EXPECT_TRUE(::access(exe.c_str(), W_OK) != 0 || plain == exe) << plain;
}

}  // namespace
}  // namespace qv
