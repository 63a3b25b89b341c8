#include "streamintscanner.h"

#include <limits>

namespace {

constexpr qint64 largestPositive = std::numeric_limits<int>::max();
constexpr qint64 largestNegative = -qint64(std::numeric_limits<int>::min());

// The value of ch as a digit of base; -1 when it is none. Decimal numbers take
// any Unicode decimal digit, prefixed ones ASCII digits only, as the stream
// does.
int digitValue(QChar ch, int base)
{
    if (base == 10)
        return ch.isDigit() ? ch.digitValue() : -1;
    const ushort code = ch.toLower().unicode();
    int digit = -1;
    if (code >= '0' && code <= '9')
        digit = code - '0';
    else if (code >= 'a' && code <= 'f')
        digit = code - 'a' + 10;
    return digit < base ? digit : -1;
}

} // namespace

bool StreamIntScanner::readInt(int &value)
{
    value = 0;
    while (m_position < m_text.size() && m_text.at(m_position).isSpace())
        ++m_position;
    if (!startsNumber())
        return true;
    const bool negative = m_text.at(m_position) == QLatin1Char('-');
    qint64 magnitude = 0;
    if (!readMagnitude(negative ? largestNegative : largestPositive, magnitude))
        return false;
    if (m_position < m_text.size()) {
        if (m_text.at(m_position) != QLatin1Char('\t'))
            return false;
        ++m_position;
    }
    value = int(negative ? -magnitude : magnitude);
    return true;
}

bool StreamIntScanner::startsNumber() const
{
    if (m_position >= m_text.size())
        return false;
    const QChar first = m_text.at(m_position);
    return first.isDigit() || first == QLatin1Char('-') || first == QLatin1Char('+');
}

// The digits after a sign or a base prefix; false when there are none, or
// when they make more than limit.
bool StreamIntScanner::readMagnitude(qint64 limit, qint64 &magnitude)
{
    const int base = skipBasePrefix();
    int digits = 0;
    for (; m_position < m_text.size(); ++m_position, ++digits) {
        const int digit = digitValue(m_text.at(m_position), base);
        if (digit < 0)
            break;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    return digits > 0;
}

// Only a decimal number takes a sign; a lone 0, or 0 before 8 or 9, is
// decimal too.
int StreamIntScanner::skipBasePrefix()
{
    const QChar first = m_text.at(m_position);
    if (first == QLatin1Char('-') || first == QLatin1Char('+')) {
        ++m_position;
        return 10;
    }
    if (first != QLatin1Char('0') || m_position + 1 >= m_text.size())
        return 10;
    const QChar mark = m_text.at(m_position + 1).toLower();
    if (mark == QLatin1Char('x') || mark == QLatin1Char('b')) {
        m_position += 2;
        return mark == QLatin1Char('x') ? 16 : 2;
    }
    if (mark >= QLatin1Char('0') && mark <= QLatin1Char('7')) {
        ++m_position;
        return 8;
    }
    return 10;
}
