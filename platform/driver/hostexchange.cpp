#include "hostexchange.h"

#include "framelink.h"

#include <QDebug>
#include <QRandomGenerator>

#include <atomic>
#include <optional>

namespace {

constexpr int LargestFrame =
    SerialFrame::HeaderSize + SerialFrame::MaxPayload + SerialFrame::CrcSize;
// When the register gives up sending an answer, the host asks again at most
// this many times, each at least this long after it last asked, so that a
// line that spoils every answer is never flooded with requests.
constexpr int MaxAsksAgain = 3;
constexpr int MinAskGapMs = 100;

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

bool HostExchange::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    const bool retry = m_lastFailed && request == m_lastRequest;
    const quint8 seq = retry ? m_lastSeq : nextSeq();
    if (retry)
        qDebug() << "HostExchange: the failed request again, with its SEQ" << seq;
    const bool answered = exchange(seq, request, answer, timeoutMs);
    m_lastRequest = request;
    m_lastSeq = seq;
    m_lastFailed = !answered;
    return answered;
}

// ACK and NAK carry no SEQ, so one that arrives late is taken for the current
// request's. Every wrong guess only sends the request again, which the register
// answers from what it answered before, never executing it twice.
bool HostExchange::exchange(quint8 seq, const QByteArray &request, QByteArray &answer,
                            int timeoutMs)
{
    if (request.size() > SerialFrame::MaxPayload) {
        qDebug() << "HostExchange: request of" << request.size() << "bytes does not fit a frame";
        return false;
    }
    // Whatever is there belongs to earlier exchanges.
    m_link.discardInput();
    PendingFrame pending(m_link, seq, request);
    QDeadlineTimer nextAsk(MinAskGapMs);
    int asksLeft = MaxAsksAgain;
    enum class Stage
    {
        Acknowledgement, // the request is out, its ACK awaited
        Answer,          // acknowledged, the answer awaited
        AskAgain,        // the register gave up sending the answer; asking again when allowed
    } stage = Stage::Acknowledgement;
    std::optional<QDeadlineTimer> answerDeadline; // from the first ACK
    int damagedAnswers = 0;
    // After a damaged answer the register resends at once on the NAK, or
    // within its ACK timeout when the NAK was lost, and the resend takes its
    // time on the wire. Quiet for longer means it gave up.
    const int resendWindowMs = m_link.ackTimeoutMs(LargestFrame) + FrameLink::AckTimeoutMs;
    QDeadlineTimer resendWindow(QDeadlineTimer::Forever);
    // False when asking again is not allowed: none left, or too late.
    const auto registerGaveUp = [&] {
        if (asksLeft == 0 || nextAsk >= *answerDeadline)
            return false;
        stage = Stage::AskAgain;
        return true;
    };
    for (;;) {
        QDeadlineTimer deadline = pending.ackDeadline();
        if (stage == Stage::Answer)
            deadline = qMin(*answerDeadline, resendWindow);
        else if (stage == Stage::AskAgain)
            deadline = nextAsk;
        FrameEvent event;
        if (!m_link.receive(event, deadline)) {
            if (stage == Stage::Acknowledgement) {
                if (!pending.resend())
                    return false;
            } else if (stage == Stage::Answer) {
                if (damagedAnswers == 0 || answerDeadline->hasExpired() || !registerGaveUp())
                    return false;
            } else {
                --asksLeft;
                pending.restart();
                nextAsk = QDeadlineTimer(MinAskGapMs);
                stage = Stage::Acknowledgement;
                damagedAnswers = 0;
                resendWindow = QDeadlineTimer(QDeadlineTimer::Forever);
            }
            continue;
        }
        switch (event.kind) {
        case FrameEvent::Ack:
            if (stage != Stage::Acknowledgement)
                break;
            if (!answerDeadline)
                answerDeadline = QDeadlineTimer(qMax(0, timeoutMs));
            stage = Stage::Answer;
            break;
        case FrameEvent::Nak:
            // Asked for again, the request goes out once the gap is over.
            if (stage == Stage::AskAgain)
                break;
            if (!pending.resend())
                return false;
            stage = Stage::Acknowledgement;
            break;
        case FrameEvent::BadFrame:
            m_link.reject();
            [[fallthrough]];
        case FrameEvent::Stalled:
            // Before the ACK, the ACK timeout sends the request again anyway.
            if (stage != Stage::Answer)
                break;
            if (++damagedAnswers < FrameLink::MaxSends)
                resendWindow = QDeadlineTimer(resendWindowMs);
            else if (!registerGaveUp())
                return false;
            break;
        case FrameEvent::Frame:
            // Acknowledged whatever its SEQ, so that the register stops sending it.
            m_link.acknowledge();
            if (event.seq == seq) {
                answer = event.payload;
                return true;
            }
            // A late copy of an earlier answer, which the register sends right
            // after acknowledging a late copy of the earlier request: the ACK
            // taken for this request's may have been that one.
            if (stage == Stage::Answer)
                stage = Stage::Acknowledgement;
            break;
        }
    }
}
