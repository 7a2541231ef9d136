#include "platform/Files.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

namespace qv {
namespace {

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

TEST(PlatformErrorText, PlainReasonWithoutTrailingPunctuation)
{
    EXPECT_EQ(PlatformErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(PlatformErrorText(EACCES), "Permission denied");
    for (int code = 1; code < 140; ++code) {
        const std::string text = PlatformErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        const char last = text.back();
        EXPECT_TRUE(last != '.' && last != ' ' && last != '\n' && last != '\r') << code;
    }
}

TEST(ReadWholeFile, ReadsEveryByte)
{
    TempDir dir;
    std::string data;
    for (int i = 0; i < 200000; ++i) data += static_cast<char>(i * 7);
    const std::string path = dir.WriteFile("big.bin", data);
    std::string bytes, error = "stale";
    ASSERT_TRUE(ReadWholeFile(path, bytes, error));
    EXPECT_EQ(bytes, data);
    EXPECT_EQ(error, "");
    ASSERT_TRUE(ReadWholeFile(dir.WriteFile("empty", ""), bytes, error));
    EXPECT_EQ(bytes, "");
}

TEST(ReadWholeFile, ReportsTheReason)
{
    TempDir dir;
    std::string bytes = "stale", error;
    EXPECT_FALSE(ReadWholeFile(dir.Path("missing"), bytes, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ReadWholeFile(dir.path(), bytes, error));
    EXPECT_EQ(error, "Is a directory");
    // A FIFO without a writer or an endless device must not hang the reader.
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(ReadWholeFile(fifo, bytes, error));
    EXPECT_EQ(error, "Invalid argument");
    EXPECT_FALSE(ReadWholeFile("/dev/zero", bytes, error));
    EXPECT_EQ(bytes, "");
}

TEST(WriteFileAtomically, CreatesAndReplaces)
{
    TempDir dir;
    const std::string path = dir.Path("out.txt");
    std::string error = "stale";
    ASSERT_TRUE(WriteFileAtomically(path, "first\r\n", error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(TempDir::ReadFile(path), "first\r\n");
    ASSERT_TRUE(WriteFileAtomically(path, "second", error));
    EXPECT_EQ(TempDir::ReadFile(path), "second");
    ASSERT_TRUE(WriteFileAtomically(path, "", error));
    EXPECT_EQ(TempDir::ReadFile(path), "");
    // No temporary file is left beside the target.
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(WriteFileAtomically, LongestNamesStillWork)
{
    TempDir dir;
    const std::string name(255, 'n');
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.Path(name), "long", error)) << error;
    EXPECT_EQ(TempDir::ReadFile(dir.Path(name)), "long");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{name});
}

TEST(WriteFileAtomically, NewFilesGetTheUsualPermissions)
{
    TempDir dir;
    const mode_t mask = umask(022);
    std::string error;
    const std::string path = dir.Path("perm.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "x", error));
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(WriteFileAtomically, MissingFolderFailsWithAReason)
{
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.Path("no/such/out.txt"), "data", error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{});
}

TEST(WriteFileAtomically, TargetThatIsAFolderIsLeftIntact)
{
    TempDir dir;
    const std::string target = dir.MakeFolder("target");
    dir.WriteFile("target/inside.txt", "keep");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target, "data", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempDir::ReadFile(target + "/inside.txt"), "keep");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"target"});
}

TEST(WriteFileAtomically, FailedWriteKeepsTheOldTargetAndRemovesTheTemporary)
{
    TempDir dir;
    const std::string target = dir.WriteFile("keep.txt", "old contents");
    // A file-size limit makes the write itself fail, even for root.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = WriteFileAtomically(target, std::string(4096, 'n'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(TempDir::ReadFile(target), "old contents");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"keep.txt"});
}

}  // namespace
}  // namespace qv
