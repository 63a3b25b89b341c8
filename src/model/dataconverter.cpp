#include "dataconverter.h"

#include "errorcode.h"

#include <QDebug>

#include <cmath>
#include <limits>

int DataConverter::BCD2LL(qint64 &value, const QByteArray &bytes)
{
    qDebug() << "DataConverter::BCD2LL";
    value = 0;
    if (bytes.size() > 9) {
        qDebug() << "DataConverter::BCD2LL"
                 << "Length of BCD field > 9";
        return ERR_INVALID_DATA;
    }
    qint64 multiplier = 1;
    for (int i = bytes.size() - 1; i >= 0; --i) {
        const auto byte = static_cast<quint8>(bytes.at(i));
        const int low = byte & 0x0F;
        const int high = byte >> 4;
        if (low > 9) {
            qDebug() << "DataConverter::BCD2LL"
                     << "Invalid character in BCD field";
            return ERR_INVALID_DATA;
        }
        value += low * multiplier;
        multiplier *= 10;
        if (high > 9) {
            qDebug() << "DataConverter::BCD2LL"
                     << "Invalid character in BCD field";
            return ERR_INVALID_DATA;
        }
        value += high * multiplier;
        multiplier *= 10;
    }
    return ERR_OK;
}

int DataConverter::Bin2LL_BE(qint64 &value, const QByteArray &bytes)
{
    qDebug() << "DataConverter::Bin2LL_BE";
    value = 0;
    if (bytes.size() > 8) {
        qDebug() << "DataConverter::Bin2LL_BE"
                 << "Length of BIN field > 4";
        return ERR_INVALID_DATA;
    }
    quint64 raw = 0;
    for (const char byte : bytes)
        raw = (raw << 8) | static_cast<quint8>(byte);
    const int bits = 8 * bytes.size();
    // Up to three bytes are unsigned; from four bytes on the value is the
    // two's complement of its width, so what the binary encoding writes reads
    // back as the same number.
    if (bytes.size() >= 4 && bits < 64 && (raw >> (bits - 1)) != 0)
        raw |= ~quint64(0) << bits;
    value = static_cast<qint64>(raw);
    return ERR_OK;
}

int DataConverter::StringToCurr(QString text, qint64 &kopecks)
{
    bool ok = false;
    const double amount = text.toDouble(&ok);
    if (!ok || !std::isfinite(amount)) {
        qDebug() << "DataConverter::StringToCurr"
                 << "Error executing value.toInt";
        return ERR_INVALID_DATA;
    }
    const double product = amount * 100.0;
    const double rounded = std::round(product); // half away from zero
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max())
        return ERR_INVALID_DATA;
    kopecks = static_cast<qint32>(rounded);
    if (std::fabs(rounded - product) > 0.0001)
        return ERR_INVALID_DATA;
    return ERR_OK;
}

int DataConverter::CurrToString(qint64 kopecks, QString &text)
{
    // Formatted from the integer, so that amounts beyond a double's exact range
    // keep every digit and a read value written back stays the same.
    const quint64 magnitude =
        kopecks < 0 ? 0 - static_cast<quint64>(kopecks) : static_cast<quint64>(kopecks);
    text = QStringLiteral("%1%2.%3")
               .arg(kopecks < 0 ? QStringLiteral("-") : QString())
               .arg(magnitude / 100)
               .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return ERR_OK;
}
