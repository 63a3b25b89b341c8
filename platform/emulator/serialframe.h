#pragma once

#include <QByteArray>
#include <QQueue>
#include <QVector>

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

// CRC-32s of stretches of a byte string that grows at its end and is cut at its
// start, each in constant time however the stretches overlap. It keeps the CRC
// register after every prefix; a stretch's CRC follows from the registers at
// its two ends, since the CRC is linear in its input.
class PrefixCrc
{
public:
    // The longest stretch: SEQ, LEN and the largest payload.
    static constexpr int MaxStretch = 3 + SerialFrame::MaxPayload;

    void append(const char *data, int size);
    // The CRC-32 of the bytes from index from up to index to (at most
    // MaxStretch further), counting from the first byte not removed.
    quint32 crc32(int from, int to) const;
    void removeFirst(int count);
    void clear();

private:
    // The register from 0 on, without the final inversion, after each prefix.
    QVector<quint32> m_registers{0};
};

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
// the same resend. Times are milliseconds of any monotonic clock. The work is
// linear in the bytes fed, whatever they are: a bad LEN fails at once, a CRC
// is checked only once its frame is complete, and in constant time.
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
    // Moves m_start to the next STX, taking the ACKs and NAKs on the way;
    // false when there is none.
    bool skipToStx();
    bool underWay() const { return m_start < m_buffer.size(); }
    int payloadSize() const;
    bool crcMatches(int frameSize) const;
    void reject(FrameEvent::Kind kind);
    // Forgets decoded bytes, at most as many as it keeps, so that the work stays linear.
    void compact();
    void emitEvent(FrameEvent::Kind kind, quint8 seq = 0, const QByteArray &payload = {});

    QByteArray m_buffer;
    PrefixCrc m_crc; // of m_buffer
    // The STX of the frame under way; m_buffer's size between frames.
    int m_start = 0;
    // The bytes of m_buffer before this index are leftovers.
    int m_leftoverEnd = 0;
    qint64 m_lastByteMs = 0;
    QQueue<FrameEvent> m_events;
};
