#include "cli/StopSignals.h"

#include <csignal>
#include <iterator>

namespace qv {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
volatile std::sig_atomic_t g_caught = 0;
struct sigaction g_earlier[sizeof kStopSignals / sizeof kStopSignals[0]];

extern "C" void OnStopSignal(int signo)
{
    if (g_caught == 0) g_caught = signo;
}

}  // namespace

StopSignals::StopSignals()
{
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    // Restarted calls: a signal must not turn into a read error of the file being hashed.
    sa.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], nullptr, &g_earlier[i]);
        // One ignored on purpose (nohup, a background job) stays ignored.
        if (g_earlier[i].sa_handler != SIG_IGN) ::sigaction(kStopSignals[i], &sa, nullptr);
    }
}

StopSignals::~StopSignals()
{
    for (size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &g_earlier[i], nullptr);
}

int StopSignals::Caught() { return g_caught; }

void StopSignals::EndAsCaught()
{
    const int signo = g_caught;
    if (signo == 0) return;
    std::signal(signo, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signo);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signo);
}

}  // namespace qv
