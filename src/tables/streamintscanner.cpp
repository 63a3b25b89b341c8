#include "streamintscanner.h"

namespace {

// The digit value of a character in the given base; -1 when it is none.
// Prefixed forms take ASCII digits only.
int prefixedDigit(QChar ch, int base)
{
    const ushort code = ch.toLower().unicode();
    int digit = -1;
    if (code >= '0' && code <= '9')
        digit = code - '0';
    else if (code >= 'a' && code <= 'f')
        digit = code - 'a' + 10;
    return digit < base ? digit : -1;
}

} // namespace

int StreamIntScanner::readInt()
{
    quint64 value = 0;
    if (scanNumber(value) == Outcome::NoNumber)
        return 0;
    // The stream stores its 64-bit result into the int, keeping the low 32 bits.
    return static_cast<int>(static_cast<quint32>(value));
}

QString StreamIntScanner::restAfterTab() const
{
    QString text = rest();
    if (text.startsWith(QLatin1Char('\t')))
        text.remove(0, 1);
    return text;
}

StreamIntScanner::Outcome StreamIntScanner::scanNumber(quint64 &value)
{
    while (m_position < m_text.size() && m_text.at(m_position).isSpace())
        ++m_position;
    const int base = detectBase();
    if (base == 0)
        return Outcome::NoNumber;
    if (base == 10)
        return scanDecimal(value);
    return scanPrefixed(base, value);
}

// 0 when nothing that starts a number stands here; a lone "0" at the end of the
// text is taken by the decimal scan.
int StreamIntScanner::detectBase()
{
    QChar ch;
    if (!getChar(ch))
        return 0;
    int base = 10;
    if (ch == QLatin1Char('0')) {
        QChar second;
        if (getChar(second)) {
            // The stream puts the second character back lower-cased.
            second = second.toLower();
            if (second == QLatin1Char('x'))
                base = 16;
            else if (second == QLatin1Char('b'))
                base = 2;
            else if (second.isDigit() && second.digitValue() <= 7)
                base = 8;
            ungetChar(second);
        }
    } else if (ch != QLatin1Char('-') && ch != QLatin1Char('+') && !ch.isDigit()) {
        ungetChar(ch);
        return 0;
    }
    ungetChar(ch);
    return base;
}

StreamIntScanner::Outcome StreamIntScanner::scanPrefixed(int base, quint64 &value)
{
    QChar zero;
    QChar mark;
    getChar(zero);
    if (base != 8)
        getChar(mark);
    int digits = 0;
    quint64 result = 0;
    QChar ch;
    while (getChar(ch)) {
        const int digit = prefixedDigit(ch, base);
        if (digit < 0) {
            ungetChar(ch);
            break;
        }
        result = result * quint64(base) + quint64(digit);
        ++digits;
    }
    if (digits == 0) {
        // Binary and octal put their prefix back; hexadecimal does not.
        if (base == 2)
            ungetChar(mark);
        if (base != 16)
            ungetChar(zero);
        return Outcome::NoNumber;
    }
    value = result;
    return Outcome::Ok;
}

StreamIntScanner::Outcome StreamIntScanner::scanDecimal(quint64 &value)
{
    QChar sign;
    if (!getChar(sign))
        return Outcome::NoNumber;
    int digits = 0;
    quint64 result = 0;
    const bool hasSign = sign == QLatin1Char('-') || sign == QLatin1Char('+');
    if (!hasSign) {
        if (!sign.isDigit()) {
            ungetChar(sign);
            return Outcome::NoNumber;
        }
        result = quint64(sign.digitValue());
        ++digits;
    }
    QChar ch;
    while (getChar(ch)) {
        if (!ch.isDigit()) {
            ungetChar(ch);
            break;
        }
        result = result * 10 + quint64(ch.digitValue());
        ++digits;
    }
    // A sign without digits stays consumed.
    if (digits == 0)
        return Outcome::NoNumber;
    if (sign == QLatin1Char('-')) {
        qint64 negative = qint64(result);
        if (negative > 0)
            negative = -negative;
        result = quint64(negative);
    }
    value = result;
    return Outcome::Ok;
}

bool StreamIntScanner::getChar(QChar &ch)
{
    if (m_position >= m_text.size())
        return false;
    ch = m_text.at(m_position++);
    return true;
}

void StreamIntScanner::ungetChar(QChar ch)
{
    if (m_position == 0)
        m_text.prepend(ch);
    else
        m_text[--m_position] = ch;
}
