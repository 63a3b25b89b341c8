#include "serialframe.h"

namespace SerialFrame {

quint16 crc16(const char *data, int size)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < size; ++i) {
        crc ^= quint16(quint8(data[i]) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
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
    const quint16 crc = crc16(frame.constData() + 1, frame.size() - 1);
    frame.append(char(crc >> 8));
    frame.append(char(crc & 0xFF));
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
        const quint16 crc =
            quint16((quint8(m_buffer[crcOffset]) << 8) | quint8(m_buffer[crcOffset + 1]));
        if (crc16(m_buffer.constData() + 1, crcOffset - 1) != crc) {
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
