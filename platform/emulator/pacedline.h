#pragma once

#include "byteline.h"

#include <QQueue>

// A line at the pace of a serial wire of a given baud rate, 8N1 (ten bits a
// byte), over a line that has none (a pseudo-terminal). Bytes written reach the
// peer no earlier than the wire would deliver them, and a write returns once
// its last byte is out, as after a drain. Bytes the peer sends are taken as
// crossing the wire at the same rate and are handed up only once they would
// have arrived. Times are absolute, so that wake-up delays never add up. Used
// on the thread that makes it, whose timer slack it narrows.
class PacedLine : public ByteLine
{
public:
    PacedLine(ByteLine &line, int baud);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

private:
    // Received bytes and when the last of them arrives.
    struct Arrival
    {
        QByteArray bytes;
        qint64 dueNs = 0;
    };

    // How long the wire takes for that many bytes.
    qint64 wireNs(qint64 bytes) const;
    void takeIn(const QByteArray &bytes);
    QByteArray takeArrived(qint64 nowNs);
    bool waitUntil(qint64 wakeNs);

    ByteLine &m_line;
    qint64 m_baud;
    int m_pieceBytes;
    qint64 m_receiveFreeNs = 0;
    QQueue<Arrival> m_arriving;
};
