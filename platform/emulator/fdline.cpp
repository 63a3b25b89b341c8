#include "fdline.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// A peer that takes nothing for this long is not there; the bytes are lost
// as on a cable with nobody at its end.
constexpr int WriteTimeoutMs = 1000;
constexpr int ReadChunk = 4096;

} // namespace

FdLine::FdLine(int fd, int wakeFd) : m_fd(fd), m_wakeFd(wakeFd) {}

bool FdLine::write(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written > 0) {
            m_written += written;
            data += written;
            left -= written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return false;
        pollfd writable{m_fd, POLLOUT, 0};
        if (::poll(&writable, 1, WriteTimeoutMs) <= 0)
            return false;
    }
    return true;
}

QByteArray FdLine::read(int timeoutMs)
{
    // poll() skips a negative descriptor, so no wake descriptor needs no case of its own.
    pollfd fds[] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready <= 0 || !(fds[0].revents & POLLIN))
        return QByteArray();
    QByteArray bytes(ReadChunk, Qt::Uninitialized);
    const ssize_t got = ::read(m_fd, bytes.data(), size_t(bytes.size()));
    bytes.resize(got > 0 ? int(got) : 0);
    m_read += bytes.size();
    return bytes;
}
