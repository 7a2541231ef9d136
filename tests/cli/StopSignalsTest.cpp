// The terminal mode run as a real process and stopped by real signals.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "cli/TerminalMode.h"
#include "history/HistoryFileContents.h"
#include "support/TempDir.h"
#include "support/Waits.h"

namespace qv::test {
namespace {

using qv::testing::WaitUntil;
constexpr std::chrono::seconds kLimit{20};

bool HasOpen(pid_t pid, const std::string& path)
{
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        if (std::filesystem::read_symlink(fd.path(), ec) == path) return true;
    }
    return false;
}

class SignalledRun : public ::testing::Test {
protected:
    SignalledRun()
    {
        home.WriteFile("Quenvarlith.ini", "[Buffering]\r\nRefreshRate=50\r\n");
        small1 = files.WriteFile("1.txt", "abc");
        small2 = files.WriteFile("2.txt", "abc");
        // Far more than the test will ever wait for, and no disk space: a sparse file.
        big = files.WriteFile("big.bin", "");
        EXPECT_EQ(::truncate(big.c_str(), int64_t{1} << 36), 0);
        after = files.WriteFile("3.txt", "abc");
    }
    ~SignalledRun() override { Finish(std::chrono::milliseconds(0)); }

    // The program's entry in a child whose standard output is out and standard error a file.
    void Start(int out)
    {
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ > 0) return;
        ::dup2(out, STDOUT_FILENO);
        ::dup2(::open(Err().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(s, SIG_DFL);
        ::setenv("QUENVARLITH_HOME", home.path().c_str(), 1);
        const char* argv[] = {"quenvarlith", "--no-gui", small1.c_str(), small2.c_str(),
                              big.c_str(), after.c_str(), nullptr};
        ::_exit(RunHeadless(6, const_cast<char**>(argv)));
    }
    // The status once the child has ended; one that does not end in time is killed (-1).
    int Finish(std::chrono::milliseconds limit = kLimit)
    {
        int status = -1;
        if (pid_ > 0 && !WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            status = -1;
        }
        pid_ = -1;
        return status;
    }
    std::vector<std::string> SavedHistory() const { return KeysIn(home.Path("Quenvarlith.dat")); }
    std::string Err() const { return home.Path("stderr"); }

    TempDir home, files;
    std::string small1, small2, big, after;
    pid_t pid_ = -1;
};

TEST_F(SignalledRun, TerminationSignalsKeepPrintedLinesAndTheHistoryThenEndByTheSignal)
{
    const std::string codes = "352441C2  900150983CD24FB0D6963F7D28E17F72  ";
    for (const int signo : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signo));
        ::unlink(home.Path("Quenvarlith.dat").c_str());
        const std::string outPath = home.Path("stdout");
        const std::string printed = codes + small1 + "\n" + codes + small2 + "\n";
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Start(out);
        ::close(out);
        // Two small files printed, the large one being read.
        EXPECT_TRUE(WaitUntil([&] { return TempDir::ReadFile(outPath) == printed && HasOpen(pid_, big); }, kLimit));
        ::kill(pid_, signo);
        const int status = Finish();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signo) << status;
        EXPECT_EQ(TempDir::ReadFile(outPath), printed);
        EXPECT_EQ(SavedHistory(), (std::vector<std::string>{small1, small2}));
        EXPECT_EQ(TempDir::ReadFile(Err()), "処理を中止しました\n");
    }
}

TEST_F(SignalledRun, AClosedPipeStopsTheRunAndTheHistoryIsStillSaved)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    Start(pipeEnds[1]);
    ::close(pipeEnds[1]);
    const int status = Finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
    // The first file had its codes before its line could not be written.
    EXPECT_EQ(SavedHistory(), std::vector<std::string>{small1});
}

}  // namespace
}  // namespace qv::test
