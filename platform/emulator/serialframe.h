#pragma once

#include <QByteArray>
#include <QQueue>

// The framing on the serial line between host and register. A frame is STX,
// SEQ, LEN (2 bytes, high first), LEN bytes of payload and a CRC-32 (4 bytes,
// high first) over SEQ, LEN and payload. ACK and NAK travel as single bytes
// between frames.
namespace SerialFrame {

constexpr char Stx = 0x02;
constexpr char Ack = 0x06;
constexpr char Nak = 0x15;
constexpr int MaxPayload = 1024;
constexpr int HeaderSize = 4; // STX, SEQ, LEN
constexpr int CrcSize = 4;
// A frame whose next byte is later than this is dropped.
constexpr int StallMs = 50;

// The CRC-32 of zlib's crc32(): IEEE polynomial, reflected, initial and final
// value 0xFFFFFFFF. A 16-bit CRC let about one in 65,536 damaged frames through,
// too many for a whole goods table read on a noisy line.
quint32 crc32(const char *data, int size);
// payload holds at most MaxPayload bytes.
QByteArray encode(quint8 seq, const QByteArray &payload);

} // namespace SerialFrame

// What the receiving side of a line makes of the bytes it gets.
struct FrameEvent
{
    enum Kind
    {
        Ack,
        Nak,
        Frame,    // a good frame: seq and payload
        BadFrame, // a frame with a wrong CRC or length, to be answered by NAK
        Stalled,  // a frame dropped because its bytes stopped coming
    };

    Kind kind = Ack;
    quint8 seq = 0;
    QByteArray payload;
};

// Turns received bytes into events, however the bytes are split. Bytes outside
// a frame other than STX, ACK and NAK are skipped. A frame that fails (bad
// length or CRC) or stalls is dropped, and decoding resumes at the next STX
// after the one it began with, since a real frame may start inside it. The
// bytes received up to then are leftovers: there only an STX counts, and a
// frame begun there must also end there (the peer sends nothing new before it
// has our answer); one that fails is dropped quietly, as it was never sent.
// NAKs that arrive before the first is taken make one event: they all ask for
// the same resend. Times are milliseconds of any monotonic clock.
class FrameDecoder
{
public:
    void feed(const QByteArray &bytes, qint64 nowMs);
    // Drops the frame under way if it has stalled by nowMs.
    void expire(qint64 nowMs);
    // Milliseconds from nowMs until the frame under way stalls; -1 when none is under way.
    qint64 msUntilStall(qint64 nowMs) const;
    bool takeEvent(FrameEvent &event);
    // Forgets the frame under way and the events not taken.
    void reset();

private:
    void decode();
    void skipToStx();
    int payloadSize() const;
    void reject(FrameEvent::Kind kind);
    void drop(int count);
    void emitEvent(FrameEvent::Kind kind, quint8 seq = 0, const QByteArray &payload = {});

    QByteArray m_buffer; // from the STX of the frame under way; empty between frames
    int m_leftover = 0;  // leading bytes of m_buffer that are leftovers
    qint64 m_lastByteMs = 0;
    QQueue<FrameEvent> m_events;
};
