#include "gui/shell/SignalBridge.h"

#include <QSocketNotifier>

#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace qv {

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void OnSignal(int signo)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    if (g_pipe[1] >= 0) (void)!::write(g_pipe[1], &byte, 1);
    errno = saved;
}
}  // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] < 0) {
        if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalBridge::Readable);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

SignalBridge::~SignalBridge()
{
    // Back to the default action: a signal after the window has gone ends the process.
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

void SignalBridge::Readable()
{
    unsigned char byte = 0;
    int last = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) last = byte;
    if (last != 0) Q_EMIT terminateRequested(last);
}

}  // namespace qv
