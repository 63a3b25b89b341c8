#include "registerresponder.h"

#include "registerprotocol.h"

#include <utility>

RegisterResponder::RegisterResponder(FrameLink &link, Handler handler)
    : m_link(link), m_handler(std::move(handler))
{
}

void RegisterResponder::serveNext()
{
    const QDeadlineTimer deadline =
        m_pending ? m_pending->ackDeadline() : QDeadlineTimer(QDeadlineTimer::Forever);
    FrameEvent event;
    if (!m_link.receive(event, deadline)) {
        if (deadline.hasExpired())
            resendOrGiveUp();
        return;
    }
    switch (event.kind) {
    case FrameEvent::Ack:
        m_pending.reset();
        break;
    case FrameEvent::Nak:
        resendOrGiveUp();
        break;
    case FrameEvent::BadFrame:
        m_link.reject();
        break;
    case FrameEvent::Stalled:
        break;
    case FrameEvent::Frame:
        // A new request also tells that the host has the previous answer.
        answer(event);
        break;
    }
}

void RegisterResponder::answer(const FrameEvent &request)
{
    const bool identification =
        !request.payload.isEmpty() && quint8(request.payload[0]) == RegisterProtocol::Identify;
    const bool answered = !identification && m_answered[request.seq] == request.payload;
    if (answered && request.seq != m_lastSeq) {
        m_link.acknowledge();
        return;
    }
    if (answered) {
        ++m_repeated;
    } else {
        if (identification)
            m_answered.fill(std::nullopt);
        m_lastAnswer = m_handler(request.payload);
        remember(request);
        ++m_executed;
        if (!request.payload.isEmpty())
            ++m_executedCommands[quint8(request.payload[0])];
    }
    // The register answers at once, so the ACK of the request goes with the answer.
    m_pending.emplace(m_link, request.seq, m_lastAnswer, true);
}

// The host takes each new SEQ from a counter, so the half of the SEQs ahead of
// this one are to come and are forgotten: a late copy is told from a new
// request as long as fewer than half the SEQs have gone by since.
void RegisterResponder::remember(const FrameEvent &request)
{
    const int seqCount = int(m_answered.size());
    for (int ahead = 1; ahead <= seqCount / 2; ++ahead)
        m_answered[(request.seq + ahead) % seqCount].reset();
    m_answered[request.seq] = request.payload;
    m_lastSeq = request.seq;
}

void RegisterResponder::resendOrGiveUp()
{
    if (m_pending && !m_pending->resend())
        m_pending.reset();
}
