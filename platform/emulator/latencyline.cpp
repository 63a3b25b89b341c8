#include "latencyline.h"

#include <limits>

namespace {

constexpr qint64 Forever = std::numeric_limits<qint64>::max();

} // namespace

LatencyLine::LatencyLine(ByteLine &line, int latencyMs) : m_line(line), m_latencyMs(latencyMs)
{
    m_clock.start();
}

bool LatencyLine::write(const QByteArray &bytes)
{
    m_outgoing.enqueue({bytes, m_clock.elapsed() + m_latencyMs});
    return sendDue();
}

QByteArray LatencyLine::read(int timeoutMs)
{
    const qint64 deadlineMs = timeoutMs < 0 ? Forever : m_clock.elapsed() + timeoutMs;
    for (;;) {
        sendDue();
        takeIn(m_line.read(0));
        const qint64 nowMs = m_clock.elapsed();
        QByteArray due;
        while (!m_incoming.isEmpty() && m_incoming.head().dueMs <= nowMs)
            due += m_incoming.dequeue().bytes;
        if (!due.isEmpty())
            return due;
        qint64 wakeMs = deadlineMs;
        if (!m_incoming.isEmpty())
            wakeMs = qMin(wakeMs, m_incoming.head().dueMs);
        if (!m_outgoing.isEmpty())
            wakeMs = qMin(wakeMs, m_outgoing.head().dueMs);
        if (wakeMs <= nowMs)
            return QByteArray();
        const int waitMs = wakeMs == Forever ? -1 : int(wakeMs - nowMs);
        const QByteArray bytes = m_line.read(waitMs);
        takeIn(bytes);
        // The line's wait ends early with nothing only when interrupted.
        if (bytes.isEmpty() && (waitMs < 0 || m_clock.elapsed() < nowMs + waitMs))
            return QByteArray();
    }
}

bool LatencyLine::sendDue()
{
    const qint64 nowMs = m_clock.elapsed();
    bool written = true;
    while (!m_outgoing.isEmpty() && m_outgoing.head().dueMs <= nowMs)
        written = m_line.write(m_outgoing.dequeue().bytes) && written;
    return written;
}

void LatencyLine::takeIn(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        m_incoming.enqueue({bytes, m_clock.elapsed() + m_latencyMs});
}
