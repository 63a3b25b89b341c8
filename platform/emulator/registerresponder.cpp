#include "registerresponder.h"

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
    const auto isCopyOf = [&request](const std::optional<FrameEvent> &earlier) {
        return earlier && earlier->seq == request.seq && earlier->payload == request.payload;
    };
    if (isCopyOf(m_requestBefore)) {
        m_link.acknowledge();
        return;
    }
    if (isCopyOf(m_lastRequest)) {
        ++m_repeated;
    } else {
        m_lastAnswer = m_handler(request.payload);
        m_requestBefore = std::exchange(m_lastRequest, request);
        ++m_executed;
    }
    // The register answers at once, so the ACK of the request goes with the answer.
    m_pending.emplace(m_link, request.seq, m_lastAnswer, true);
}

void RegisterResponder::resendOrGiveUp()
{
    if (m_pending && !m_pending->resend())
        m_pending.reset();
}
