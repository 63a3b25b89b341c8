#pragma once

#include <QString>

// Takes the numbers from the start of a table file line in the forms
// QTextStream's >> reads with automatic base detection: leading white space
// skipped, an optional sign, 0x for hexadecimal, 0b for binary, 0 and a digit
// for octal, and 0 where no number stands. Unlike the stream, it refuses a
// number that does not fit an int or does not end where its field ends, at a
// TAB or the line's end, rather than cut it or read half of it.
class StreamIntScanner
{
public:
    explicit StreamIntScanner(const QString &line) : m_text(line) {}

    // Reads the next number and steps over the TAB after it; false when the
    // number is malformed.
    bool readInt(int &value);
    // What follows the numbers read: the cell text.
    QString rest() const { return m_text.mid(m_position); }

private:
    bool startsNumber() const;
    bool readMagnitude(qint64 limit, qint64 &magnitude);
    int skipBasePrefix();

    QString m_text;
    int m_position = 0;
};
