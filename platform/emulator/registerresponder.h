#pragma once

#include "framelink.h"

#include <array>
#include <functional>
#include <optional>

// The register's end of the line: acknowledges each good request frame,
// answers it in a frame with the request's SEQ and resends the answer until the
// host acknowledges it. Within a connection each SEQ is executed once: a
// request that repeats the last one (same SEQ, same bytes) gets the same answer
// again, so a lost ACK never reads a dump block twice or applies a write twice,
// and a late copy of an earlier one is acknowledged and ignored, since its
// answer is gone and executing it again would undo what came after. The
// identification request starts a connection: it is always executed and the
// SEQs answered before are forgotten, so a new host whose first SEQs happen to
// be those of the last connection is neither answered from it nor ignored.
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
    // Requests executed with this command byte.
    int executedCommands(quint8 command) const { return m_executedCommands[command]; }

private:
    void answer(const FrameEvent &request);
    void remember(const FrameEvent &request);
    void resendOrGiveUp();

    FrameLink &m_link;
    Handler m_handler;
    std::optional<PendingFrame> m_pending;
    // The request answered in this connection under each SEQ.
    std::array<std::optional<QByteArray>, 256> m_answered;
    int m_lastSeq = -1;
    QByteArray m_lastAnswer;
    int m_executed = 0;
    int m_repeated = 0;
    std::array<int, 256> m_executedCommands{};
};
