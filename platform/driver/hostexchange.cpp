#include "hostexchange.h"

#include "framelink.h"

#include <QDebug>
#include <QRandomGenerator>

#include <atomic>
#include <optional>

namespace {

constexpr int LargestFrame =
    SerialFrame::HeaderSize + SerialFrame::MaxPayload + SerialFrame::CrcSize;

// One sequence for the whole process, from a random start, so that a line
// opened anew does not reuse the SEQ of a recent exchange: a late answer from
// an earlier connection is never taken for a new one, nor a new request for a
// repeat of the register's last.
quint8 nextSeq()
{
    static std::atomic<quint32> seq{QRandomGenerator::global()->generate()};
    return quint8(++seq);
}

} // namespace

HostExchange::HostExchange(FrameLink &link) : m_link(link) {}

// ACK and NAK carry no SEQ, so one that arrives late is taken for the current
// request's. Every wrong guess only sends the request again, which the register
// answers from what it answered before, never executing it twice.
bool HostExchange::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    if (request.size() > SerialFrame::MaxPayload) {
        qDebug() << "HostExchange: request of" << request.size() << "bytes does not fit a frame";
        return false;
    }
    // Whatever is there belongs to earlier exchanges.
    m_link.discardInput();
    const quint8 seq = nextSeq();
    PendingFrame pending(m_link, seq, request);
    bool acknowledged = false;
    std::optional<QDeadlineTimer> answerDeadline; // from the first ACK
    int damagedAnswers = 0;
    // After a damaged answer the register resends at once on the NAK, or
    // within its ACK timeout when the NAK was lost, and the resend takes its
    // time on the wire. Quiet for longer means it gave up.
    const int resendWindowMs = m_link.ackTimeoutMs(LargestFrame) + FrameLink::AckTimeoutMs;
    QDeadlineTimer resendWindow(QDeadlineTimer::Forever);
    // The register gave up sending its answer: ask again.
    const auto askAgain = [&] {
        pending.restart();
        acknowledged = false;
        damagedAnswers = 0;
        resendWindow = QDeadlineTimer(QDeadlineTimer::Forever);
    };
    for (;;) {
        const QDeadlineTimer deadline =
            acknowledged ? qMin(*answerDeadline, resendWindow) : pending.ackDeadline();
        FrameEvent event;
        if (!m_link.receive(event, deadline)) {
            if (!acknowledged) {
                if (!pending.resend())
                    return false;
            } else if (damagedAnswers > 0 && !answerDeadline->hasExpired()) {
                askAgain();
            } else {
                return false;
            }
            continue;
        }
        switch (event.kind) {
        case FrameEvent::Ack:
            if (!answerDeadline)
                answerDeadline = QDeadlineTimer(qMax(0, timeoutMs));
            acknowledged = true;
            break;
        case FrameEvent::Nak:
            if (!pending.resend())
                return false;
            acknowledged = false;
            break;
        case FrameEvent::BadFrame:
            m_link.reject();
            [[fallthrough]];
        case FrameEvent::Stalled:
            // Before the ACK, the ACK timeout sends the request again anyway.
            if (!acknowledged)
                break;
            if (++damagedAnswers == FrameLink::MaxSends)
                askAgain();
            else
                resendWindow = QDeadlineTimer(resendWindowMs);
            break;
        case FrameEvent::Frame:
            // The answer; it also acknowledges the request.
            if (event.seq == seq) {
                m_link.acknowledge();
                answer = event.payload;
                return true;
            }
            // A late copy of an earlier answer, which the register sends right
            // after acknowledging a late copy of the earlier request.
            acknowledged = false;
            break;
        }
    }
}
