#include "faultyline.h"

#include <QThread>

FaultyLine::FaultyLine(ByteLine &line, const FaultRates &rates)
    : m_line(line), m_rates(rates), m_random(rates.seed)
{
}

bool FaultyLine::write(const QByteArray &bytes)
{
    const QVector<Piece> pieces = distort(bytes);
    for (const Piece &piece : pieces) {
        if (piece.pauseMs > 0)
            QThread::msleep(ulong(piece.pauseMs));
        if (!m_line.write(piece.bytes))
            return false;
    }
    return true;
}

QByteArray FaultyLine::read(int timeoutMs)
{
    if (m_received.isEmpty()) {
        m_received = distort(m_line.read(timeoutMs));
        if (m_received.isEmpty())
            return QByteArray();
        m_nextReceived.setRemainingTime(m_received.first().pauseMs);
    }
    const qint64 pause = m_nextReceived.remainingTime();
    if (timeoutMs >= 0 && pause > timeoutMs) {
        QThread::msleep(ulong(timeoutMs));
        return QByteArray();
    }
    if (pause > 0)
        QThread::msleep(ulong(pause));
    const QByteArray bytes = m_received.takeFirst().bytes;
    if (!m_received.isEmpty())
        m_nextReceived.setRemainingTime(m_received.first().pauseMs);
    return bytes;
}

QString FaultyLine::summary() const
{
    return QStringLiteral("dropped %1, corrupted %2, duplicated %3, delayed %4")
        .arg(m_dropped)
        .arg(m_corrupted)
        .arg(m_duplicated)
        .arg(m_delayed);
}

QVector<FaultyLine::Piece> FaultyLine::distort(const QByteArray &bytes)
{
    QVector<Piece> pieces;
    Piece piece;
    for (char byte : bytes) {
        double draw = m_random.generateDouble();
        if ((draw -= m_rates.drop) < 0) {
            ++m_dropped;
            continue;
        }
        if ((draw -= m_rates.corrupt) < 0) {
            byte = char(byte ^ (1 << m_random.bounded(8)));
            ++m_corrupted;
        } else if ((draw -= m_rates.duplicate) < 0) {
            piece.bytes.append(byte);
            ++m_duplicated;
        } else if ((draw -= m_rates.delay) < 0) {
            if (!piece.bytes.isEmpty())
                pieces.append(piece);
            piece = Piece{m_rates.delayMs, QByteArray()};
            ++m_delayed;
        }
        piece.bytes.append(byte);
    }
    if (!piece.bytes.isEmpty())
        pieces.append(piece);
    return pieces;
}
