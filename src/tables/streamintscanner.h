#pragma once

#include <QString>

// Takes integers from the start of a line the way QTextStream's >> for int
// does with automatic base detection: leading white space skipped, an
// optional sign, 0x for hexadecimal, 0b for binary, 0 and a digit for octal,
// the value cut to 32 bits, and 0 where no number stands. What the scan
// leaves, rest() returns, down to the characters QTextStream puts back.
class StreamIntScanner
{
public:
    explicit StreamIntScanner(const QString &line) : m_text(line) {}

    int readInt();
    QString rest() const { return m_text.mid(m_position); }
    // The rest without the one TAB that separates a cell text from the numbers.
    QString restAfterTab() const;

private:
    enum class Outcome
    {
        Ok,
        NoNumber
    };

    Outcome scanNumber(quint64 &value);
    int detectBase();
    Outcome scanPrefixed(int base, quint64 &value);
    Outcome scanDecimal(quint64 &value);
    bool getChar(QChar &ch);
    void ungetChar(QChar ch);

    QString m_text;
    int m_position = 0;
};
