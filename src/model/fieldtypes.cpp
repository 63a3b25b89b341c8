#include "fieldtypes.h"

#include "codepage.h"
#include "dataconverter.h"
#include "errorcode.h"

#include <QDebug>

#include <limits>

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Shared by every decimal type: the value through the type's own toInt64.
int decimalText(FieldInterface &field, QString &text)
{
    qint64 value = 0;
    const int result = field.toInt64(value);
    if (result != ERR_OK)
        return result;
    text = QString::number(value, 10);
    return ERR_OK;
}

int moneyText(FieldInterface &field, QString &text)
{
    qint64 kopecks = 0;
    const int result = field.toInt64(kopecks);
    if (result != ERR_OK)
        return result;
    return DataConverter::CurrToString(kopecks, text);
}

// A text is taken only where the field can show its value again: at widths
// past what the readers take (BCD beyond 9 bytes, binary beyond 8) the
// encoding still writes bytes, but a cell holding them could never be shown.
// Up to 8 bytes every encoding reads back, so the common fields are not read
// again: each read logs a line, and a price list or a paste parses thousands.
int fromShowableInt64(FieldBase &field, qint64 value)
{
    constexpr int alwaysShownWidth = 8;
    const QByteArray before = field.rawData();
    const int result = field.fromInt64(value);
    qint64 shown = 0;
    if (result == ERR_OK && field.width() > alwaysShownWidth && field.toInt64(shown) != ERR_OK) {
        field.setRawData(before);
        return ERR_INVALID_DATA;
    }
    return result;
}

int decimalParse(FieldBase &field, const QString &text, const char *logName)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) {
        qDebug() << logName << "Error executing new_value.toInt";
        return ERR_INVALID_DATA;
    }
    return fromShowableInt64(field, value);
}

int moneyParse(FieldBase &field, const QString &text)
{
    qint64 kopecks = 0;
    const int result = DataConverter::StringToCurr(text, kopecks);
    if (result != ERR_OK)
        return result;
    return fromShowableInt64(field, kopecks);
}

// The range checks compare integers: a double cannot hold every 64-bit value,
// and 9999999999999999 would round up to 10^16 and be refused.

// Refuses a value that does not fit an unsigned field of fewer than four bytes.
bool fitsNarrowBinary(qint64 value, int width)
{
    return width >= 4 || value < (qint64(1) << (8 * qMax(width, 0)));
}

// Whether value is below 100 to the power width; from ten bytes on, every
// 64-bit value is.
bool fitsBcd(qint64 value, int width)
{
    qint64 limit = 1;
    for (int i = 0; i < width; ++i) {
        if (limit > std::numeric_limits<qint64>::max() / 100)
            return true;
        limit *= 100;
    }
    return value < limit;
}

QByteArray bigEndian(qint64 value, int width)
{
    QByteArray bytes;
    for (int i = 0; i < width; ++i) {
        bytes.prepend(static_cast<char>(value & 0xFF));
        value >>= 8;
    }
    return bytes;
}

enum class TextScheme
{
    General,
    Mixed,
    Capitals
};

struct StringLayout
{
    TextScheme scheme;
    char padding;
};

StringLayout stringLayoutOf(int table, int field)
{
    if (table == 1 && field == 1)
        return {TextScheme::Capitals, ' '};
    const bool gsmText =
        table == 11 && (field == 1 || field == 2 || field == 3 || field == 5 || field == 6);
    const bool ofdText = table == 12 && (field == 1 || field == 8);
    if (gsmText || ofdText)
        return {TextScheme::Mixed, '\0'};
    return {TextScheme::General, ' '};
}

} // namespace

// ---- FieldBCD and its subclasses

int FieldBCD::type()
{
    return FIELD_BCD;
}
QString FieldBCD::typeDescription()
{
    return QStringLiteral("BCD");
}
int FieldBCD::toInt64(qint64 &value)
{
    return DataConverter::BCD2LL(value, m_raw);
}
int FieldBCD::toString(QString &text)
{
    return decimalText(*this, text);
}
int FieldBCD::fromString(QString text)
{
    return decimalParse(*this, text, "FieldBCD::fromString");
}

int FieldBCD::fromInt64(qint64 value)
{
    if (!fitsBcd(value, m_width)) {
        qDebug() << "FieldBCD::fromInt64"
                 << "BCD value too big";
        return ERR_INVALID_DATA;
    }
    if (value < 0) {
        qDebug() << "FieldBCD::fromInt64"
                 << "Negative BCD value";
        return ERR_INVALID_DATA;
    }
    QByteArray bytes;
    for (int i = 0; i < m_width; ++i) {
        const int pair = static_cast<int>(value % 100);
        bytes.prepend(static_cast<char>((pair / 10) * 16 + pair % 10));
        value /= 100;
    }
    m_raw = bytes;
    return ERR_OK;
}

int FieldCURRENCY_BCD::type()
{
    return FIELD_CURRENCY_BCD;
}
QString FieldCURRENCY_BCD::typeDescription()
{
    return text("Денежный");
}
int FieldCURRENCY_BCD::toString(QString &text)
{
    return moneyText(*this, text);
}
int FieldCURRENCY_BCD::fromString(QString text)
{
    return moneyParse(*this, text);
}

int FieldDATE::type()
{
    return FIELD_DATE;
}
QString FieldDATE::typeDescription()
{
    return text("Дата");
}

int FieldBCD_LEADING_ZEROES::type()
{
    return FIELD_BCD_LEADING_ZEROES;
}

int FieldBCD_LEADING_ZEROES::toString(QString &text)
{
    QString digits;
    const int result = FieldBCD::toString(digits);
    if (result != ERR_OK)
        return result;
    text = digits.rightJustified(2 * m_width, QLatin1Char('0'));
    return ERR_OK;
}

// ---- FieldBIN and FieldCURRENCY_BIN

int FieldBIN::type()
{
    return FIELD_BIN;
}
QString FieldBIN::typeDescription()
{
    return QStringLiteral("BIN");
}
int FieldBIN::toInt64(qint64 &value)
{
    return DataConverter::Bin2LL_BE(value, m_raw);
}
int FieldBIN::toString(QString &text)
{
    return decimalText(*this, text);
}
int FieldBIN::fromString(QString text)
{
    return decimalParse(*this, text, "FieldBIN::fromString");
}

int FieldBIN::fromInt64(qint64 value)
{
    if (!fitsNarrowBinary(value, m_width)) {
        qDebug() << "FieldBIN::fromInt64"
                 << "Bin value too big";
        return ERR_INVALID_DATA;
    }
    m_raw = bigEndian(value, m_width);
    return ERR_OK;
}

int FieldCURRENCY_BIN::type()
{
    return FIELD_CURRENCY_BIN;
}
QString FieldCURRENCY_BIN::typeDescription()
{
    return text("Денежный");
}
int FieldCURRENCY_BIN::toString(QString &text)
{
    return moneyText(*this, text);
}
int FieldCURRENCY_BIN::fromString(QString text)
{
    return moneyParse(*this, text);
}

// ---- FieldBINFirstOf32

int FieldBINFirstOf32::type()
{
    return FIELD_BIN_FIRST_OF_32;
}
QString FieldBINFirstOf32::typeDescription()
{
    return QStringLiteral("DT_FIRST_OF_32");
}

int FieldBINFirstOf32::toInt64(qint64 &value)
{
    return DataConverter::Bin2LL_BE(value, m_raw.left(1));
}

int FieldBINFirstOf32::toString(QString &text)
{
    return decimalText(*this, text);
}

int FieldBINFirstOf32::fromString(QString text)
{
    return decimalParse(*this, text, "FieldBINFirstOf32::fromString");
}

int FieldBINFirstOf32::fromInt64(qint64 value)
{
    if (!fitsNarrowBinary(value, m_width)) {
        qDebug() << "FieldBINFirstOf32::fromInt64"
                 << "Bin value too big";
        return ERR_INVALID_DATA;
    }
    if (value > 0xFF) {
        qDebug() << "FieldBINFirstOf32::fromInt64"
                 << "1 BIN value > 0xFF";
        return ERR_INVALID_DATA;
    }
    QByteArray bytes(1, static_cast<char>(value & 0xFF));
    bytes.append(31, ' ');
    m_raw = bytes;
    return ERR_OK;
}

// ---- FieldSTR

int FieldSTR::type()
{
    return FIELD_STR;
}
QString FieldSTR::typeDescription()
{
    return text("Строка");
}

int FieldSTR::toInt64(qint64 &)
{
    qDebug() << "FieldSTR::toInt64"
             << "Str to Int is not implemented";
    return ERR_NOT_SUPPORTED;
}

int FieldSTR::fromInt64(qint64)
{
    qDebug() << "FieldSTR::fromInt64"
             << "Str from Int is not implemented";
    return ERR_NOT_SUPPORTED;
}

int FieldSTR::toString(QString &text)
{
    const StringLayout layout = stringLayoutOf(m_table, m_field);
    QString decoded;
    if (layout.scheme == TextScheme::General)
        deviceToTextGeneral(m_raw.constData(), m_raw.size(), decoded);
    else
        deviceToTextMixed(m_raw.constData(), m_raw.size(), decoded,
                          layout.scheme == TextScheme::Capitals);
    int end = decoded.size();
    while (end > 0 && decoded.at(end - 1).isSpace())
        --end;
    decoded.truncate(end);
    text = decoded;
    return ERR_OK;
}

int FieldSTR::fromString(QString text)
{
    int trimmedLength = text.size();
    while (trimmedLength > 0 && text.at(trimmedLength - 1).isSpace())
        --trimmedLength;
    if (trimmedLength > m_width) {
        qDebug() << "FieldSTR::fromString"
                 << "String value too long";
        return ERR_INVALID_DATA;
    }
    const StringLayout layout = stringLayoutOf(m_table, m_field);
    QByteArray bytes(qMax(m_width, 0), layout.padding);
    if (layout.scheme == TextScheme::General)
        textToDeviceGeneral(text, bytes.data(), bytes.size());
    else
        textToDeviceMixed(text, bytes.data(), bytes.size(), layout.scheme == TextScheme::Capitals);
    m_raw = bytes;
    return ERR_OK;
}
