#include "serialframe.h"

#include <array>

namespace {

constexpr quint32 ReflectedPolynomial = 0xEDB88320;

// The register after one byte, for each value of its low byte xor the data byte.
constexpr std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 index = 0; index < 256; ++index) {
        quint32 crc = index;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ ReflectedPolynomial : crc >> 1;
        table[index] = crc;
    }
    return table;
}

constexpr std::array<quint32, 256> CrcTable = crcTable();

} // namespace

namespace SerialFrame {

quint32 crc32(const char *data, int size)
{
    quint32 crc = 0xFFFFFFFF;
    for (int i = 0; i < size; ++i)
        crc = CrcTable[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray encode(quint8 seq, const QByteArray &payload)
{
    Q_ASSERT(payload.size() <= MaxPayload);
    QByteArray frame;
    frame.reserve(HeaderSize + payload.size() + CrcSize);
    frame.append(Stx);
    frame.append(char(seq));
    frame.append(char(payload.size() >> 8));
    frame.append(char(payload.size() & 0xFF));
    frame.append(payload);
    const quint32 crc = crc32(frame.constData() + 1, frame.size() - 1);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(char(crc >> shift));
    return frame;
}

} // namespace SerialFrame

using namespace SerialFrame;

void FrameDecoder::feed(const QByteArray &bytes, qint64 nowMs)
{
    if (bytes.isEmpty())
        return;
    expire(nowMs);
    m_lastByteMs = nowMs;
    m_buffer += bytes;
    decode();
}

void FrameDecoder::expire(qint64 nowMs)
{
    if (m_buffer.isEmpty() || nowMs - m_lastByteMs <= StallMs)
        return;
    reject(FrameEvent::Stalled);
    decode();
}

qint64 FrameDecoder::msUntilStall(qint64 nowMs) const
{
    if (m_buffer.isEmpty())
        return -1;
    return qMax<qint64>(0, m_lastByteMs + StallMs + 1 - nowMs);
}

bool FrameDecoder::takeEvent(FrameEvent &event)
{
    if (m_events.isEmpty())
        return false;
    event = m_events.dequeue();
    return true;
}

void FrameDecoder::reset()
{
    m_buffer.clear();
    m_leftover = 0;
    m_events.clear();
}

void FrameDecoder::decode()
{
    for (;;) {
        skipToStx();
        const int needed =
            m_buffer.size() < HeaderSize ? HeaderSize : HeaderSize + payloadSize() + CrcSize;
        if (m_leftover > 0 && needed > m_leftover) {
            drop(1);
            continue;
        }
        if (m_buffer.size() < HeaderSize)
            return;
        if (payloadSize() > MaxPayload) {
            reject(FrameEvent::BadFrame);
            continue;
        }
        if (m_buffer.size() < needed)
            return;
        const int crcOffset = needed - CrcSize;
        quint32 crc = 0;
        for (int i = crcOffset; i < needed; ++i)
            crc = (crc << 8) | quint8(m_buffer[i]);
        if (crc32(m_buffer.constData() + 1, crcOffset - 1) != crc) {
            reject(FrameEvent::BadFrame);
            continue;
        }
        emitEvent(FrameEvent::Frame, quint8(m_buffer[1]),
                  m_buffer.mid(HeaderSize, crcOffset - HeaderSize));
        drop(needed);
    }
}

void FrameDecoder::skipToStx()
{
    int skipped = 0;
    for (; skipped < m_buffer.size() && m_buffer[skipped] != Stx; ++skipped) {
        if (skipped < m_leftover)
            continue;
        if (m_buffer[skipped] == Ack)
            emitEvent(FrameEvent::Ack);
        else if (m_buffer[skipped] == Nak &&
                 (m_events.isEmpty() || m_events.last().kind != FrameEvent::Nak))
            emitEvent(FrameEvent::Nak);
    }
    drop(skipped);
}

int FrameDecoder::payloadSize() const
{
    return (quint8(m_buffer[2]) << 8) | quint8(m_buffer[3]);
}

void FrameDecoder::reject(FrameEvent::Kind kind)
{
    if (m_leftover == 0) {
        emitEvent(kind);
        m_leftover = m_buffer.size();
    }
    drop(1);
}

void FrameDecoder::drop(int count)
{
    m_buffer.remove(0, count);
    m_leftover = qMax(0, m_leftover - count);
}

void FrameDecoder::emitEvent(FrameEvent::Kind kind, quint8 seq, const QByteArray &payload)
{
    m_events.enqueue(FrameEvent{kind, seq, payload});
}
