#pragma once

#include <QByteArray>
#include <QString>

// Stateless conversions between the register's byte forms and numbers.
// Each returns ERR_OK or ERR_INVALID_DATA.
class DataConverter
{
public:
    static int BCD2LL(qint64 &value, const QByteArray &bytes);
    static int Bin2LL_BE(qint64 &value, const QByteArray &bytes);
    static int StringToCurr(QString text, qint64 &kopecks);
    static int CurrToString(qint64 kopecks, QString &text);
};
