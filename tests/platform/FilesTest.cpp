#include "platform/Files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "support/Bytes.h"
#include "support/TempDir.h"

namespace qv {
namespace {

TEST(PlatformErrorText, PlainReasonWithoutTrailingPunctuation)
{
    for (int code = 1; code < 140; ++code) {
        const std::string text = PlatformErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_EQ(std::string(". \r\n").find(text.back()), std::string::npos) << code;
    }
}

// Every byte, or the reason; a FIFO without a writer or an endless device must not hang it.
TEST(ReadWholeFile, EveryByteOrTheReason)
{
    TempDir dir;
    const std::string data = testing::Pattern(200000);
    std::string bytes, error = "stale";
    for (const std::string& content : {data, std::string()}) {
        ASSERT_TRUE(ReadWholeFile(dir.WriteFile("file", content), bytes, error));
        EXPECT_EQ(bytes + "|" + error, content + "|");
    }
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0644), 0);
    const std::pair<std::string, const char*> failures[] = {
        {dir.Path("missing"), "No such file or directory"}, {dir.path(), "Is a directory"},
        {dir.Path("fifo"), "Invalid argument"}, {"/dev/zero", "Invalid argument"}};
    for (const auto& [path, reason] : failures) {
        bytes = "stale";
        EXPECT_FALSE(ReadWholeFile(path, bytes, error)) << path;
        EXPECT_EQ(bytes + "|" + error, std::string("|") + reason) << path;
    }
}

TEST(WriteFileAtomically, CreatesAndReplacesLeavingNothingBeside)
{
    TempDir dir;
    const std::string path = dir.Path("out.txt");
    const mode_t mask = ::umask(022);
    std::string error = "stale";
    for (const char* content : {"first\r\n", "second", ""}) {
        ASSERT_TRUE(WriteFileAtomically(path, content, error));
        EXPECT_EQ(TempDir::ReadFile(path) + "|" + error, content + std::string("|"));
    }
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);   // the usual permissions of a new file
    const std::string longest(255, 'n');
    ASSERT_TRUE(WriteFileAtomically(dir.Path(longest), "long", error)) << error;
    EXPECT_EQ(TempDir::ReadFile(dir.Path(longest)), "long");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{longest, "out.txt"}));
}

// A failure never leaves a half-written file in place of a good one, nor a temporary beside it.
TEST(WriteFileAtomically, FailuresKeepTheTargetAndRemoveTheTemporary)
{
    TempDir dir;
    std::string error;
    EXPECT_EQ(WriteFileAtomically(dir.Path("no/such/out.txt"), "data", error) ? "written" : error,
              "No such file or directory");
    const std::string folder = dir.MakeFolder("target");
    dir.WriteFile("target/inside.txt", "keep");
    EXPECT_FALSE(WriteFileAtomically(folder, "data", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempDir::ReadFile(folder + "/inside.txt"), "keep");
    // A file-size limit makes the write itself fail, even for root.
    const std::string target = dir.WriteFile("keep.txt", "old contents");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(target, std::string(4096, 'n'), error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(written ? "written" : error, "File too large");
    EXPECT_EQ(TempDir::ReadFile(target), "old contents");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"keep.txt", "target"}));
}

// Links are written through and stay links; what is no regular file is written into, never
// replaced; a FIFO without a reader is refused at once rather than waited for.
TEST(WriteFileAtomically, LinksAndSpecialFilesAreWrittenThroughNeverReplaced)
{
    TempDir dir;
    dir.MakeFolder("real");
    const std::string real = dir.WriteFile("real/list.sfv", "old");
    ASSERT_EQ(::symlink("real/list.sfv", dir.Path("link.sfv").c_str()), 0);
    ASSERT_EQ(::symlink("real/new.sfv", dir.Path("dangling.sfv").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.Path("loop").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.Path("read").c_str(), 0600), 0);
    const int reader = ::open(dir.Path("read").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string error;
    const struct { std::string path, outcome; } cases[] = {
        {dir.Path("link.sfv"), ""}, {dir.Path("dangling.sfv"), ""}, {dir.Path("read"), ""},
        {dir.Path("loop"), "Too many levels of symbolic links"}, {dir.Path("fifo"), "No such device or address"}};
    for (const auto& c : cases) {
        struct stat before {}, after {};
        ASSERT_EQ(::lstat(c.path.c_str(), &before), 0);
        EXPECT_EQ(WriteFileAtomically(c.path, "new", error) ? "" : error, c.outcome) << c.path;
        ASSERT_EQ(::lstat(c.path.c_str(), &after), 0);
        EXPECT_EQ(std::pair(after.st_mode & S_IFMT, after.st_ino), std::pair(before.st_mode & S_IFMT, before.st_ino));
    }
    char piped[8] = {};
    EXPECT_EQ(::read(reader, piped, sizeof piped), 3);
    ::close(reader);
    EXPECT_EQ(TempDir::ReadFile(real) + TempDir::ReadFile(dir.Path("real/new.sfv")) + piped, "newnewnew");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"dangling.sfv", "fifo", "link.sfv", "loop", "read", "real"}));
}

}  // namespace
}  // namespace qv
