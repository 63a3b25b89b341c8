#pragma once

#include "byteline.h"

#include <QElapsedTimer>
#include <QQueue>

// A line that delays what crosses it by the same time each way, as the
// network between a far register and the host does. Bytes written go out
// once due, during the next write or read; bytes received are handed up once
// due. Nothing blocks for the delay, so that the delays of both directions
// overlap as they would on the network.
class LatencyLine : public ByteLine
{
public:
    LatencyLine(ByteLine &line, int latencyMs);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

private:
    struct Delayed
    {
        QByteArray bytes;
        qint64 dueMs = 0;
    };

    bool sendDue();
    void takeIn(const QByteArray &bytes);

    ByteLine &m_line;
    int m_latencyMs;
    QElapsedTimer m_clock;
    QQueue<Delayed> m_outgoing;
    QQueue<Delayed> m_incoming;
};
