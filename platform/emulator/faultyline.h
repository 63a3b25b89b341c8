#pragma once

#include "byteline.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QString>
#include <QVector>

// Shares of bytes, each 0 to 1 and together at most 1, that a FaultyLine
// spoils. A delayed byte comes delayMs late, and so do the bytes after it.
struct FaultRates
{
    double drop = 0;
    double corrupt = 0;
    double duplicate = 0;
    double delay = 0;
    int delayMs = 0;
    quint32 seed = 1;
};

// A line with faults, for tests: passes bytes through in both directions and
// drops, corrupts (one bit flipped), duplicates or delays some of them,
// chosen by a seeded generator so that a run can be repeated.
class FaultyLine : public ByteLine
{
public:
    FaultyLine(ByteLine &line, const FaultRates &rates);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

    // "dropped N, corrupted N, duplicated N, delayed N"
    QString summary() const;

private:
    // Bytes that follow a pause.
    struct Piece
    {
        int pauseMs = 0;
        QByteArray bytes;
    };

    QVector<Piece> distort(const QByteArray &bytes);

    ByteLine &m_line;
    FaultRates m_rates;
    QRandomGenerator m_random;
    QVector<Piece> m_received; // received and distorted, not yet read
    QDeadlineTimer m_nextReceived;
    int m_dropped = 0;
    int m_corrupted = 0;
    int m_duplicated = 0;
    int m_delayed = 0;
};
