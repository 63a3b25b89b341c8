#include "pacedline.h"

#include <cerrno>
#include <ctime>
#include <limits>
#include <sys/prctl.h>

namespace {

constexpr qint64 NsPerMs = 1000000;
constexpr qint64 NsPerSecond = 1000000000;
constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr qint64 Forever = std::numeric_limits<qint64>::max();
// Bytes cross in pieces of about this long, as a USB adapter hands them on;
// byte by byte would wake the peer thousands of times a second.
constexpr qint64 PieceNs = NsPerMs;
// poll() counts whole milliseconds; a wait shorter than this is slept to the
// microsecond instead.
constexpr qint64 FineWaitNs = 2 * NsPerMs;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * NsPerSecond + now.tv_nsec;
}

void sleepUntil(qint64 ns)
{
    const timespec until{time_t(ns / NsPerSecond), long(ns % NsPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

} // namespace

PacedLine::PacedLine(ByteLine &line, int baud)
    : m_line(line), m_baud(baud),
      m_pieceBytes(int(qMax<qint64>(1, PieceNs * baud / (BitsPerByte * NsPerSecond))))
{
    // The system may otherwise wake a sleeper up to 50 us late, which at
    // 115200 baud costs about 1 % of the line's time.
    prctl(PR_SET_TIMERSLACK, 1UL);
}

// Rounded up: never earlier than the wire.
qint64 PacedLine::wireNs(qint64 bytes) const
{
    return (bytes * BitsPerByte * NsPerSecond + m_baud - 1) / m_baud;
}

bool PacedLine::write(const QByteArray &bytes)
{
    const qint64 startNs = monotonicNs();
    for (int offset = 0; offset < bytes.size(); offset += m_pieceBytes) {
        const int size = qMin(m_pieceBytes, bytes.size() - offset);
        sleepUntil(startNs + wireNs(offset + size));
        if (!m_line.write(bytes.mid(offset, size)))
            return false;
    }
    return true;
}

QByteArray PacedLine::read(int timeoutMs)
{
    const qint64 deadlineNs = timeoutMs < 0 ? Forever : monotonicNs() + timeoutMs * NsPerMs;
    takeIn(m_line.read(0));
    for (;;) {
        const qint64 nowNs = monotonicNs();
        if (!m_arriving.isEmpty() && m_arriving.head().dueNs <= nowNs)
            return takeArrived(nowNs);
        const qint64 wakeNs =
            m_arriving.isEmpty() ? deadlineNs : qMin(deadlineNs, m_arriving.head().dueNs);
        if (wakeNs <= nowNs || !waitUntil(wakeNs))
            return QByteArray();
    }
}

// The bytes start across the wire when they come, or when the bytes before
// them are through.
void PacedLine::takeIn(const QByteArray &bytes)
{
    const qint64 startNs = qMax(monotonicNs(), m_receiveFreeNs);
    for (int offset = 0; offset < bytes.size(); offset += m_pieceBytes) {
        const int size = qMin(m_pieceBytes, bytes.size() - offset);
        m_arriving.enqueue({bytes.mid(offset, size), startNs + wireNs(offset + size)});
    }
    if (!bytes.isEmpty())
        m_receiveFreeNs = startNs + wireNs(bytes.size());
}

QByteArray PacedLine::takeArrived(qint64 nowNs)
{
    QByteArray bytes;
    while (!m_arriving.isEmpty() && m_arriving.head().dueNs <= nowNs)
        bytes += m_arriving.dequeue().bytes;
    return bytes;
}

// Waits for the wire until wakeNs, taking in what the line brings meanwhile.
// False when the wait was interrupted or the line failed.
bool PacedLine::waitUntil(qint64 wakeNs)
{
    const qint64 startNs = monotonicNs();
    if (wakeNs - startNs < FineWaitNs) {
        sleepUntil(wakeNs);
        return true;
    }
    const int waitMs = wakeNs == Forever ? -1 : int((wakeNs - startNs) / NsPerMs) - 1;
    const QByteArray bytes = m_line.read(waitMs);
    if (!bytes.isEmpty()) {
        takeIn(bytes);
        return true;
    }
    // The line's wait ends early only when interrupted.
    return waitMs >= 0 && monotonicNs() >= startNs + waitMs * NsPerMs;
}
