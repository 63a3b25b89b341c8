#include "framelink.h"

#include "byteline.h"

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit

} // namespace

FrameLink::FrameLink(ByteLine &line, int baudRate) : m_line(line), m_baudRate(baudRate)
{
    m_clock.start();
}

int FrameLink::sendFrame(quint8 seq, const QByteArray &payload, bool acknowledgeFirst)
{
    const QByteArray frame = SerialFrame::encode(seq, payload);
    const QByteArray bytes = acknowledgeFirst ? SerialFrame::Ack + frame : frame;
    m_line.write(bytes);
    return bytes.size();
}

int FrameLink::ackTimeoutMs(int bytesWritten) const
{
    if (m_baudRate <= 0)
        return AckTimeoutMs + m_roundTripMs;
    const qint64 wireMs = (qint64(bytesWritten) * BitsPerByte * 1000 + m_baudRate - 1) / m_baudRate;
    return AckTimeoutMs + m_roundTripMs + int(wireMs);
}

void FrameLink::acknowledge()
{
    m_line.write(QByteArray(1, SerialFrame::Ack));
}

void FrameLink::reject()
{
    m_line.write(QByteArray(1, SerialFrame::Nak));
}

bool FrameLink::receive(FrameEvent &event, const QDeadlineTimer &deadline)
{
    for (;;) {
        if (m_decoder.takeEvent(event))
            return true;
        // Wake up when the frame under way stalls, to report it.
        const qint64 untilStall = m_decoder.msUntilStall(m_clock.elapsed());
        const qint64 remaining = deadline.remainingTime();
        const bool waitForStall = untilStall >= 0 && (remaining < 0 || untilStall < remaining);
        const QByteArray bytes = m_line.read(int(waitForStall ? untilStall : remaining));
        if (!bytes.isEmpty()) {
            m_decoder.feed(bytes, m_clock.elapsed());
            continue;
        }
        if (!waitForStall)
            return false;
        m_decoder.expire(m_clock.elapsed());
    }
}

void FrameLink::discardInput()
{
    while (!m_line.read(0).isEmpty()) {
    }
    m_decoder.reset();
}

PendingFrame::PendingFrame(FrameLink &link, quint8 seq, const QByteArray &payload,
                           bool acknowledgeFirst)
    : m_link(link), m_seq(seq), m_payload(payload)
{
    send(acknowledgeFirst);
}

bool PendingFrame::resend()
{
    if (m_sends >= FrameLink::MaxSends)
        return false;
    send();
    return true;
}

void PendingFrame::restart()
{
    m_sends = 0;
    send();
}

void PendingFrame::send(bool acknowledgeFirst)
{
    const int written = m_link.sendFrame(m_seq, m_payload, acknowledgeFirst);
    ++m_sends;
    m_ackDeadline.setRemainingTime(m_link.ackTimeoutMs(written));
}
