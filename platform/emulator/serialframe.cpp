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

quint32 crcStep(quint32 crc, char byte)
{
    return CrcTable[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
}

// x^(8 n) modulo the polynomial, reflected: what n zero bytes multiply the register by.
constexpr std::array<quint32, PrefixCrc::MaxStretch + 1> zeroBytePowers()
{
    std::array<quint32, PrefixCrc::MaxStretch + 1> powers{};
    powers[0] = 0x80000000; // x^0
    for (size_t n = 1; n < powers.size(); ++n)
        powers[n] = CrcTable[powers[n - 1] & 0xFF] ^ (powers[n - 1] >> 8);
    return powers;
}

constexpr std::array<quint32, PrefixCrc::MaxStretch + 1> ZeroBytePowers = zeroBytePowers();

// a times b modulo the polynomial, both reflected; a is not 0.
quint32 multiplyModPolynomial(quint32 a, quint32 b)
{
    quint32 product = 0;
    for (quint32 bit = 0x80000000;; bit >>= 1) {
        if (a & bit) {
            product ^= b;
            if ((a & (bit - 1)) == 0)
                return product;
        }
        b = (b & 1) ? (b >> 1) ^ ReflectedPolynomial : b >> 1;
    }
}

} // namespace

namespace SerialFrame {

quint32 crc32(const char *data, int size)
{
    quint32 crc = 0xFFFFFFFF;
    for (int i = 0; i < size; ++i)
        crc = crcStep(crc, data[i]);
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

void PrefixCrc::append(const char *data, int size)
{
    const int end = m_registers.size();
    m_registers.resize(end + size);
    quint32 *registers = m_registers.data() + end;
    quint32 crc = registers[-1];
    for (int i = 0; i < size; ++i)
        registers[i] = crc = crcStep(crc, data[i]);
}

// Started at r, the register after a stretch of n bytes is r times x^(8 n)
// plus what the stretch alone leaves from 0; and that is the register after
// the stretch less the one before it times x^(8 n). Plus and less are xor.
quint32 PrefixCrc::crc32(int from, int to) const
{
    Q_ASSERT(from <= to && to - from <= MaxStretch && to < m_registers.size());
    const quint32 shifted =
        multiplyModPolynomial(ZeroBytePowers[size_t(to - from)], 0xFFFFFFFF ^ m_registers[from]);
    return ~(shifted ^ m_registers[to]);
}

void PrefixCrc::removeFirst(int count)
{
    m_registers.remove(0, count);
}

void PrefixCrc::clear()
{
    m_registers = {0};
}

using namespace SerialFrame;

void FrameDecoder::feed(const QByteArray &bytes, qint64 nowMs)
{
    if (bytes.isEmpty())
        return;
    expire(nowMs);
    m_lastByteMs = nowMs;
    m_buffer += bytes;
    m_crc.append(bytes.constData(), bytes.size());
    decode();
}

void FrameDecoder::expire(qint64 nowMs)
{
    if (!underWay() || nowMs - m_lastByteMs <= StallMs)
        return;
    reject(FrameEvent::Stalled);
    decode();
}

qint64 FrameDecoder::msUntilStall(qint64 nowMs) const
{
    if (!underWay())
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
    m_crc.clear();
    m_start = 0;
    m_leftoverEnd = 0;
    m_events.clear();
}

void FrameDecoder::decode()
{
    while (skipToStx()) {
        // Leftovers end where the buffer ends: they are decoded before new bytes come.
        const bool inLeftovers = m_start < m_leftoverEnd;
        const int available = m_buffer.size() - m_start;
        if (available < HeaderSize) {
            if (!inLeftovers)
                break;
            ++m_start;
            continue;
        }
        const int size = payloadSize();
        if (size > MaxPayload) {
            reject(FrameEvent::BadFrame);
            continue;
        }
        const int frameSize = HeaderSize + size + CrcSize;
        if (available < frameSize) {
            if (!inLeftovers)
                break;
            ++m_start;
            continue;
        }
        if (!crcMatches(frameSize)) {
            reject(FrameEvent::BadFrame);
            continue;
        }
        emitEvent(FrameEvent::Frame, quint8(m_buffer[m_start + 1]),
                  m_buffer.mid(m_start + HeaderSize, size));
        m_start += frameSize;
    }
    compact();
}

bool FrameDecoder::skipToStx()
{
    for (; m_start < m_buffer.size(); ++m_start) {
        const char byte = m_buffer[m_start];
        if (byte == Stx)
            return true;
        if (m_start < m_leftoverEnd)
            continue;
        if (byte == Ack)
            emitEvent(FrameEvent::Ack);
        else if (byte == Nak && (m_events.isEmpty() || m_events.last().kind != FrameEvent::Nak))
            emitEvent(FrameEvent::Nak);
    }
    return false;
}

int FrameDecoder::payloadSize() const
{
    return (quint8(m_buffer[m_start + 2]) << 8) | quint8(m_buffer[m_start + 3]);
}

bool FrameDecoder::crcMatches(int frameSize) const
{
    const int crcOffset = m_start + frameSize - CrcSize;
    quint32 sent = 0;
    for (int i = crcOffset; i < crcOffset + CrcSize; ++i)
        sent = (sent << 8) | quint8(m_buffer[i]);
    return m_crc.crc32(m_start + 1, crcOffset) == sent;
}

void FrameDecoder::reject(FrameEvent::Kind kind)
{
    if (m_start >= m_leftoverEnd) {
        emitEvent(kind);
        m_leftoverEnd = m_buffer.size();
    }
    ++m_start;
}

void FrameDecoder::compact()
{
    if (!underWay()) {
        m_buffer.clear();
        m_crc.clear();
        m_start = 0;
        m_leftoverEnd = 0;
    } else if (m_start > 0 && m_start >= m_buffer.size() - m_start) {
        m_buffer.remove(0, m_start);
        m_crc.removeFirst(m_start);
        m_leftoverEnd = qMax(0, m_leftoverEnd - m_start);
        m_start = 0;
    }
}

void FrameDecoder::emitEvent(FrameEvent::Kind kind, quint8 seq, const QByteArray &payload)
{
    m_events.enqueue(FrameEvent{kind, seq, payload});
}
