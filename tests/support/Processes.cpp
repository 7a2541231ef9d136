#include "support/Processes.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace qv {

std::vector<int> RunInChildren(int count, const std::function<int(int)>& body, unsigned seconds)
{
    int gate[2];
    if (::pipe(gate) != 0) return std::vector<int>(static_cast<size_t>(count), -1);
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(seconds);
            ::close(gate[1]);
            char c = 0;
            while (::read(gate[0], &c, 1) < 0 && errno == EINTR) {
            }
            ::_exit(body(i));
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);   // every child's read returns now: they start together
    std::vector<int> codes;
    for (const pid_t pid : children) {
        int status = 0;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
            codes.push_back(-1);
            continue;
        }
        codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    return codes;
}

}  // namespace qv
