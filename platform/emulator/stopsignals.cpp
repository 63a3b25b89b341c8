#include "stopsignals.h"

#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

StopSignals::StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    m_fd = signalfd(-1, &signals, SFD_CLOEXEC);
}

StopSignals::~StopSignals()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool StopSignals::received() const
{
    pollfd pending{m_fd, POLLIN, 0};
    return ::poll(&pending, 1, 0) > 0;
}
