#include "platform/DataFolder.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace qv {
namespace {

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DataFolder, ExecutableFolderHoldsTheTestProgram)
{
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_TRUE(FileExists(JoinPath(folder, "platform_tests")));
}

TEST(DataFolder, EnvironmentOverrideIsCreated)
{
    TempDir dir;
    const std::string wanted = dir.Path("portable/set");
    ScopedEnv env("QUENVARLITH_HOME", wanted.c_str());
    EXPECT_EQ(DataFolder(), wanted);
    EXPECT_TRUE(FolderExists(wanted));
}

TEST(DataFolder, EnvironmentOverrideIsMadeAbsolute)
{
    TempDir dir;
    const std::string cwd = CurrentDirectory();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    std::string folder;
    {
        ScopedEnv env("QUENVARLITH_HOME", "./rel/../home");
        folder = DataFolder();
    }
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(folder, dir.Path("home"));
}

TEST(DataFolder, WritableExecutableFolderWithoutOverride)
{
    ScopedEnv env("QUENVARLITH_HOME", nullptr);
    if (access(ExecutableFolder().c_str(), W_OK) != 0) GTEST_SKIP() << "build folder not writable";
    EXPECT_EQ(DataFolder(), ExecutableFolder());
}

TEST(DataFolder, ShippedDataFallsBackToTheExecutableFolder)
{
    const std::string exe = ExecutableFolder();
    const std::string shipped = ShippedDataFolder();
    const bool installed = FolderExists(ExpandLongPath(JoinPath(exe, "../share/quenvarlith")));
    const bool local = FolderExists(JoinPath(exe, "data"));
    if (installed) EXPECT_EQ(shipped, ExpandLongPath(JoinPath(exe, "../share/quenvarlith")));
    else if (local) EXPECT_EQ(shipped, JoinPath(exe, "data"));
    else EXPECT_EQ(shipped, exe);
}

TEST(ChooseDataFolder, OverrideThenExecutableThenConfigFolder)
{
    EXPECT_EQ(ChooseDataFolder("/opt/qv//x/", "/usr/bin", true, "/cfg", "/home/u"), "/opt/qv/x");
    EXPECT_EQ(ChooseDataFolder("", "/apps/qv", true, "/cfg", "/home/u"), "/apps/qv");
    EXPECT_EQ(ChooseDataFolder(nullptr, "/usr/bin", false, "/cfg", "/home/u"), "/cfg/Quenvarlith");
    EXPECT_EQ(ChooseDataFolder(nullptr, "/usr/bin", false, nullptr, "/home/u"),
              "/home/u/.config/Quenvarlith");
    EXPECT_EQ(ChooseDataFolder(nullptr, "/usr/bin", false, "", "/home/u"),
              "/home/u/.config/Quenvarlith");
    EXPECT_EQ(ChooseDataFolder(nullptr, "/usr/bin", false, "relative", "/home/u"),
              "/home/u/.config/Quenvarlith");
    EXPECT_EQ(ChooseDataFolder(nullptr, "/usr/bin", false, nullptr, nullptr), "/tmp/Quenvarlith");
}

}  // namespace
}  // namespace qv
