#include "dataconverter.h"
#include "errorcode.h"
#include "logcapture.h"

#include <QtTest>

class TestDataConverter : public QObject
{
    Q_OBJECT
private slots:
    void bcd_data();
    void bcd();
    void binary_data();
    void binary();
    void moneyParse_data();
    void moneyParse();
    void moneyText_data();
    void moneyText();
};

void TestDataConverter::bcd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("failure");

    QTest::newRow("digit order") << QByteArray::fromHex("1234") << 0 << qint64(1234) << "";
    QTest::newRow("nibble order") << QByteArray::fromHex("0102") << 0 << qint64(102) << "";
    QTest::newRow("zero") << QByteArray::fromHex("0000") << 0 << qint64(0) << "";
    QTest::newRow("empty") << QByteArray() << 0 << qint64(0) << "";
    QTest::newRow("eighteen digits") << QByteArray(9, char(0x99)) << 0
                                     << qint64(999999999999999999LL) << "";
    QTest::newRow("low half bad") << QByteArray::fromHex("1A") << int(ERR_INVALID_DATA) << qint64(-1)
                                  << "Invalid character in BCD field";
    QTest::newRow("high half bad") << QByteArray::fromHex("A1") << int(ERR_INVALID_DATA)
                                   << qint64(-1) << "Invalid character in BCD field";
    QTest::newRow("ten bytes") << QByteArray(10, 0) << int(ERR_INVALID_DATA) << qint64(-1)
                               << "Length of BCD field > 9";
}

void TestDataConverter::bcd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, result);
    QFETCH(qint64, value);
    QFETCH(QString, failure);

    LogCapture log;
    qint64 decoded = -42;
    QCOMPARE(DataConverter::BCD2LL(decoded, bytes), result);
    if (result == ERR_OK)
        QCOMPARE(decoded, value);
    QCOMPARE(log.lines().value(0), QStringLiteral("DataConverter::BCD2LL"));
    if (!failure.isEmpty())
        QCOMPARE(log.lines().value(1), "DataConverter::BCD2LL " + failure);
}

void TestDataConverter::binary_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("value");

    QTest::newRow("big-endian") << QByteArray::fromHex("0100") << 0 << qint64(256);
    QTest::newRow("one byte unsigned") << QByteArray::fromHex("FF") << 0 << qint64(255);
    QTest::newRow("three bytes unsigned") << QByteArray::fromHex("FFFFFF") << 0 << qint64(16777215);
    QTest::newRow("int32 max") << QByteArray::fromHex("7FFFFFFF") << 0 << qint64(2147483647);
    QTest::newRow("four bytes signed") << QByteArray::fromHex("FFFFFFFF") << 0 << qint64(-1);
    QTest::newRow("int32 min") << QByteArray::fromHex("80000000") << 0 << qint64(-2147483648LL);
    QTest::newRow("five bytes") << QByteArray::fromHex("0000000100") << 0 << qint64(256);
    QTest::newRow("five bytes large") << QByteArray::fromHex("0100000000") << 0
                                      << qint64(4294967296LL);
    QTest::newRow("six bytes minus one") << QByteArray::fromHex("FFFFFFFFFFFF") << 0 << qint64(-1);
    QTest::newRow("eight bytes") << QByteArray::fromHex("8000000000000000") << 0
                                 << std::numeric_limits<qint64>::min();
    QTest::newRow("empty") << QByteArray() << 0 << qint64(0);
    QTest::newRow("nine bytes") << QByteArray(9, 0) << int(ERR_INVALID_DATA) << qint64(0);
}

void TestDataConverter::binary()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, result);
    QFETCH(qint64, value);

    LogCapture log;
    qint64 decoded = -42;
    QCOMPARE(DataConverter::Bin2LL_BE(decoded, bytes), result);
    if (result == ERR_OK)
        QCOMPARE(decoded, value);
    else
        QVERIFY(log.contains("DataConverter::Bin2LL_BE Length of BIN field > 4"));
    QCOMPARE(log.lines().value(0), QStringLiteral("DataConverter::Bin2LL_BE"));
}

void TestDataConverter::moneyParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("kopecks");
    QTest::addColumn<bool>("logged");

    QTest::newRow("one decimal") << "12.5" << 0 << qint64(1250) << false;
    QTest::newRow("two decimals") << "19.99" << 0 << qint64(1999) << false;
    QTest::newRow("negative") << "-0.01" << 0 << qint64(-1) << false;
    QTest::newRow("exponent") << "1e2" << 0 << qint64(10000) << false;
    QTest::newRow("upper bound") << "21474836.47" << 0 << qint64(2147483647) << false;
    QTest::newRow("lower bound") << "-21474836.48" << 0 << qint64(-2147483648LL) << false;
    QTest::newRow("three decimals") << "12.345" << int(ERR_INVALID_DATA) << qint64(0) << false;
    QTest::newRow("half kopeck") << "0.005" << int(ERR_INVALID_DATA) << qint64(0) << false;
    QTest::newRow("above range") << "21474836.48" << int(ERR_INVALID_DATA) << qint64(0) << false;
    QTest::newRow("huge") << "1e30" << int(ERR_INVALID_DATA) << qint64(0) << false;
    QTest::newRow("comma") << "12,50" << int(ERR_INVALID_DATA) << qint64(0) << true;
    QTest::newRow("empty") << "" << int(ERR_INVALID_DATA) << qint64(0) << true;
    QTest::newRow("infinity") << "inf" << int(ERR_INVALID_DATA) << qint64(0) << true;
}

void TestDataConverter::moneyParse()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(qint64, kopecks);
    QFETCH(bool, logged);

    LogCapture log;
    qint64 parsed = 0;
    QCOMPARE(DataConverter::StringToCurr(text, parsed), result);
    if (result == ERR_OK)
        QCOMPARE(parsed, kopecks);
    QCOMPARE(log.lines(), logged ? QStringList{"DataConverter::StringToCurr Error executing value.toInt"}
                                 : QStringList());
}

void TestDataConverter::moneyText_data()
{
    QTest::addColumn<qint64>("kopecks");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << qint64(1250) << "12.50";
    QTest::newRow("kopecks only") << qint64(5) << "0.05";
    QTest::newRow("negative") << qint64(-150) << "-1.50";
    QTest::newRow("negative kopecks") << qint64(-5) << "-0.05";
    QTest::newRow("zero") << qint64(0) << "0.00";
    QTest::newRow("sixteen digits") << qint64(9999999999999999LL) << "99999999999999.99";
}

void TestDataConverter::moneyText()
{
    QFETCH(qint64, kopecks);
    QFETCH(QString, text);

    QString formatted;
    QCOMPARE(DataConverter::CurrToString(kopecks, formatted), 0);
    QCOMPARE(formatted, text);
}

QTEST_APPLESS_MAIN(TestDataConverter)
#include "tst_dataconverter.moc"
