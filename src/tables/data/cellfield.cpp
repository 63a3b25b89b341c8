#include "cellfield.h"

#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"

#include <limits>

int fieldFromText(const FieldAddress &address, int width, const QString &text, FieldPtr &value)
{
    FieldPtr candidate;
    try {
        candidate.reset(
            createField(address.table, address.row, address.field, address.type, width));
    } catch (ErrorCode code) {
        return code;
    }
    const int result = candidate->fromString(text);
    if (result == ERR_OK)
        value = std::move(candidate);
    return result;
}

bool cellIsValid(const FieldAddress &address, int width, const QString &text)
{
    FieldPtr value;
    return fieldFromText(address, width, text, value) == ERR_OK;
}

bool sameStoredBytes(int type, const QByteArray &first, const QByteArray &second)
{
    if (type != FIELD_STR)
        return first == second;
    const auto withoutPadding = [](const QByteArray &bytes) {
        int end = bytes.size();
        while (end > 0 && (bytes.at(end - 1) == ' ' || bytes.at(end - 1) == '\0'))
            --end;
        return bytes.left(end);
    };
    return withoutPadding(first) == withoutPadding(second);
}

bool sameValue(const FieldAddress &address, int width, const QString &first, const QString &second)
{
    FieldPtr firstValue;
    FieldPtr secondValue;
    return fieldFromText(address, width, first, firstValue) == ERR_OK &&
           fieldFromText(address, width, second, secondValue) == ERR_OK &&
           sameStoredBytes(address.type, firstValue->rawData(), secondValue->rawData());
}

namespace {

// The Russian word for count things: one for 1, 21, ...; few for 2-4, 22-24, ...
QString plural(int count, const char *one, const char *few, const char *many)
{
    const int units = count % 10;
    const int tens = count % 100;
    if (units == 1 && tens != 11)
        return QString::fromUtf8(one);
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        return QString::fromUtf8(few);
    return QString::fromUtf8(many);
}

// Grouped by three digits for reading; kopecks shown with two decimals and a
// point, as the cell takes them.
QString shownNumber(qint64 value, bool kopecks)
{
    quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    QString fraction;
    if (kopecks) {
        fraction = QStringLiteral(".%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
        magnitude /= 100;
    }
    QString digits = QString::number(magnitude);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(' '));
    return (value < 0 ? QStringLiteral("-") : QString()) + digits + fraction;
}

struct Range
{
    qint64 low;
    qint64 high;
};

// The values a binary field reads back as written: unsigned below four bytes,
// two's complement from four on. A value beyond them wraps rather than being
// refused, so the range is what the register keeps, not what the cell refuses.
Range binaryRange(int width)
{
    if (width < 4)
        return {0, (qint64(1) << (8 * width)) - 1};
    const qint64 high =
        width >= 8 ? std::numeric_limits<qint64>::max() : (qint64(1) << (8 * width - 1)) - 1;
    return {-high - 1, high};
}

qint64 largestBcd(int width)
{
    qint64 limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 100;
    return limit - 1;
}

// A money text is read into 32-bit kopecks whatever the field's width.
Range moneyRange(Range kopecks)
{
    return {qMax<qint64>(kopecks.low, std::numeric_limits<qint32>::min()),
            qMin<qint64>(kopecks.high, std::numeric_limits<qint32>::max())};
}

QString numberRule(Range values)
{
    return QStringLiteral("Число от %1 до %2")
        .arg(shownNumber(values.low, false), shownNumber(values.high, false));
}

QString moneyRule(Range kopecks)
{
    return QStringLiteral("Сумма от %1 до %2, не более 2 знаков после точки")
        .arg(shownNumber(kopecks.low, true), shownNumber(kopecks.high, true));
}

// Which letters the field's text scheme raises to capitals, found by asking
// the field itself, since only it knows the scheme of its table and field.
QString letterNote(const FieldAddress &address)
{
    const auto keptAs = [&address](const QString &text) {
        FieldPtr field;
        QString kept;
        if (fieldFromText(address, text.size(), text, field) == ERR_OK)
            field->toString(kept);
        return kept;
    };
    const bool cyrillicRaised = keptAs(QStringLiteral("я")) == QStringLiteral("Я");
    const bool latinRaised = keptAs(QStringLiteral("z")) == QStringLiteral("Z");
    if (cyrillicRaised && latinRaised)
        return QStringLiteral("; буквы сохраняются заглавными");
    if (cyrillicRaised)
        return QStringLiteral("; русские буквы сохраняются заглавными");
    return QString();
}

} // namespace

QString fieldRule(const FieldAddress &address, int width)
{
    // Past these widths the readers take no value, so nothing can be entered.
    const bool binaryWidth = width >= 1 && width <= 8;
    const bool bcdWidth = width >= 1 && width <= 9;
    const QString digits = QString::number(2 * width);
    switch (address.type) {
    case FIELD_STR:
        return QStringLiteral("Не более %1 %2")
                   .arg(width)
                   .arg(plural(width, "символа", "символов", "символов")) +
               letterNote(address);
    case FIELD_BIN_FIRST_OF_32:
        if (width >= 1)
            return numberRule(binaryRange(1));
        break;
    case FIELD_BIN:
        if (binaryWidth)
            return numberRule(binaryRange(width));
        break;
    case FIELD_CURRENCY_BIN:
        if (binaryWidth)
            return moneyRule(moneyRange(binaryRange(width)));
        break;
    case FIELD_BCD:
        if (bcdWidth)
            return QStringLiteral("Число до %1 цифр").arg(digits);
        break;
    case FIELD_DATE:
        if (bcdWidth)
            return QStringLiteral("Дата: число до %1 цифр").arg(digits);
        break;
    case FIELD_BCD_LEADING_ZEROES:
        if (bcdWidth)
            return QStringLiteral("Число до %1 цифр, дополняется нулями слева").arg(digits);
        break;
    case FIELD_CURRENCY_BCD:
        if (bcdWidth)
            return moneyRule(moneyRange({0, largestBcd(width)}));
        break;
    default:
        return QStringLiteral("Неизвестный тип поля %1").arg(address.type);
    }
    return QStringLiteral("Поле шириной %1 %2 не принимает значений")
        .arg(width)
        .arg(plural(width, "байт", "байта", "байт"));
}
