#pragma once

#include "serialframe.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

class ByteLine;

// Frames and acknowledgements over a byte line: sends them and turns what
// arrives into FrameEvents. Used by both ends of the line.
class FrameLink
{
public:
    // A sender resends a frame when no ACK comes within this time.
    static constexpr int AckTimeoutMs = 100;
    static constexpr int MaxSends = 3;

    // baudRate is the rate of the wire behind a line whose writes return
    // before the bytes are out (a serial port's buffer); 0 for a line that
    // returns only then, or has no wire.
    explicit FrameLink(ByteLine &line, int baudRate = 0);

    // With acknowledgeFirst an ACK goes ahead of the frame in the same write,
    // which spares the peer a wake-up for the ACK alone. Returns the bytes written.
    int sendFrame(quint8 seq, const QByteArray &payload, bool acknowledgeFirst = false);
    // How long to wait for the ACK of that many bytes just written: their
    // time on the wire, which at a low rate is longer than AckTimeoutMs
    // itself, the round trip of a line through a network, and then AckTimeoutMs.
    int ackTimeoutMs(int bytesWritten) const;
    // The time a line through a network takes there and back; 0 by default.
    void setRoundTripMs(int ms) { m_roundTripMs = ms; }
    int roundTripMs() const { return m_roundTripMs; }
    void acknowledge();
    void reject();
    // The next event, waiting until deadline for it. False when none came:
    // the deadline passed, or the line failed or was interrupted.
    bool receive(FrameEvent &event, const QDeadlineTimer &deadline);
    // Drops whatever has arrived and not been taken yet.
    void discardInput();

private:
    ByteLine &m_line;
    int m_baudRate;
    int m_roundTripMs = 0;
    FrameDecoder m_decoder;
    QElapsedTimer m_clock;
};

// A frame sent and waiting for its ACK: resent on NAK or when the ACK is late,
// at most FrameLink::MaxSends times in all.
class PendingFrame
{
public:
    // Sends the frame, the first time behind an ACK when acknowledgeFirst.
    PendingFrame(FrameLink &link, quint8 seq, const QByteArray &payload,
                 bool acknowledgeFirst = false);

    // Sends it again; false, sending nothing, once all sends are used.
    bool resend();
    // Sends it again with all sends available.
    void restart();
    QDeadlineTimer ackDeadline() const { return m_ackDeadline; }

private:
    void send(bool acknowledgeFirst = false);

    FrameLink &m_link;
    quint8 m_seq;
    QByteArray m_payload;
    int m_sends = 0;
    QDeadlineTimer m_ackDeadline;
};
