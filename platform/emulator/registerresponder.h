#pragma once

#include "framelink.h"

#include <functional>
#include <optional>

// The register's end of the line: acknowledges each good request frame,
// answers it in a frame with the request's SEQ and resends the answer until the
// host acknowledges it. A request that repeats the last one (same SEQ, same
// bytes) gets the same answer again without being executed twice, so a lost
// ACK never reads a dump block twice or applies a write twice. A late copy of
// the request before it is acknowledged and ignored: its answer is gone, and
// executing it again would undo what the last one did.
class RegisterResponder
{
public:
    using Handler = std::function<QByteArray(const QByteArray &request)>;

    RegisterResponder(FrameLink &link, Handler handler);

    // Handles the next event, waiting for it at most until the pending
    // answer's ACK is due, or, with no answer pending, until the line is
    // interrupted.
    void serveNext();

    int executedRequests() const { return m_executed; }
    int repeatedRequests() const { return m_repeated; }

private:
    void answer(const FrameEvent &request);
    void resendOrGiveUp();

    FrameLink &m_link;
    Handler m_handler;
    std::optional<PendingFrame> m_pending;
    std::optional<FrameEvent> m_lastRequest;
    std::optional<FrameEvent> m_requestBefore; // the one before the last
    QByteArray m_lastAnswer;
    int m_executed = 0;
    int m_repeated = 0;
};
