#pragma once

#include <QByteArray>

class FrameLink;

// The host's end of the line: one request, one answer, stop-and-wait. The
// request goes out in a frame with a new SEQ and is resent on NAK or a late
// ACK; the answer is the first good frame with that SEQ. Every good frame is
// acknowledged; one with another SEQ is a late copy and is ignored. When the
// register gives up resending a damaged answer, the request goes out again,
// at most three times, at least 100 ms apart and only while there is time for
// the answer: the register answers a repeat from what it answered before.
// A request that failed and is sent again as the next one keeps its SEQ, so
// that a register which executed it answers from what it answered and one
// which did not executes it now: no retry ever executes a request twice.
class HostExchange
{
public:
    explicit HostExchange(FrameLink &link);

    // False when the register did not acknowledge the request after all
    // sends, or no good answer came within timeoutMs of the first ACK, or
    // the register gave up on the answer once more than the host may ask again.
    bool exchange(const QByteArray &request, QByteArray &answer, int timeoutMs);

private:
    bool exchange(quint8 seq, const QByteArray &request, QByteArray &answer, int timeoutMs);

    FrameLink &m_link;
    // The last request, its SEQ, and whether its exchange failed.
    QByteArray m_lastRequest;
    quint8 m_lastSeq = 0;
    bool m_lastFailed = false;
};
