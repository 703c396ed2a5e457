#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};
std::atomic<int> pending{0};

// Only async-signal-safe calls here: the real work happens in the event loop.
void onSignal(int sig)
{
    if (pending.fetch_add(1) > 0) {
        // Asked again before the program could close: stop now.
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    const int saved = errno;
    const unsigned char b = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = write(pipeFds[1], &b, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (pipeFds[0] >= 0 || pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    notifier_->setEnabled(false);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        sigaction(sig, &sa, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    for (int sig : kSignals)
        signal(sig, SIG_DFL);
    delete notifier_;
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
    pending = 0;
}

void TerminationSignals::start()
{
    if (notifier_)
        notifier_->setEnabled(true);
}

void TerminationSignals::readPipe()
{
    unsigned char b = 0;
    while (read(pipeFds[0], &b, 1) == 1)
        emit received(int(b));
}
