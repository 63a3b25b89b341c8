#include "dataconverter.h"
#include "errorcode.h"
#include "logcapture.h"
#include "testdata.h"

class TestDataConverter : public QObject
{
    Q_OBJECT
private slots:
    // BCD2LL and Bin2LL_BE: the value, or the refusal with its log line.
    void decode_data()
    {
        columns<QString, QByteArray, int, qint64, QString>("converter", "bytes", "result", "value",
                                                           "failure");
        const auto row = [](const char *name, const char *converter, const QByteArray &hex,
                            qint64 value, const char *failure = "") {
            QTest::newRow(name) << QString(converter) << QByteArray::fromHex(hex)
                                << (*failure ? int(ERR_INVALID_DATA) : 0) << value
                                << QString(failure);
        };
        const char *badDigit = "Invalid character in BCD field";
        row("BCD digit order", "BCD2LL", "1234", 1234);
        row("BCD nibble order", "BCD2LL", "0102", 102);
        row("BCD zero", "BCD2LL", "0000", 0);
        row("BCD empty", "BCD2LL", "", 0);
        row("BCD eighteen digits", "BCD2LL", QByteArray(18, '9'), 999999999999999999LL);
        row("BCD low half bad", "BCD2LL", "1A", -1, badDigit);
        row("BCD high half bad", "BCD2LL", "A1", -1, badDigit);
        row("BCD ten bytes", "BCD2LL", QByteArray(20, '0'), -1, "Length of BCD field > 9");
        row("big-endian", "Bin2LL_BE", "0100", 256);
        row("one byte unsigned", "Bin2LL_BE", "FF", 255);
        row("three bytes unsigned", "Bin2LL_BE", "FFFFFF", 16777215);
        row("int32 max", "Bin2LL_BE", "7FFFFFFF", 2147483647);
        row("four bytes signed", "Bin2LL_BE", "FFFFFFFF", -1);
        row("int32 min", "Bin2LL_BE", "80000000", -2147483648LL);
        row("five bytes", "Bin2LL_BE", "0000000100", 256);
        row("five bytes large", "Bin2LL_BE", "0100000000", 4294967296LL);
        row("six bytes minus one", "Bin2LL_BE", "FFFFFFFFFFFF", -1);
        row("eight bytes", "Bin2LL_BE", "8000000000000000", std::numeric_limits<qint64>::min());
        row("binary empty", "Bin2LL_BE", "", 0);
        row("nine bytes", "Bin2LL_BE", QByteArray(18, '0'), 0, "Length of BIN field > 4");
    }

    void decode()
    {
        const auto [converter, bytes, result, value, failure] =
            fetch<QString, QByteArray, int, qint64, QString>("converter", "bytes", "result",
                                                             "value", "failure");
        LogCapture log;
        qint64 decoded = -42;
        QCOMPARE(converter == "BCD2LL" ? DataConverter::BCD2LL(decoded, bytes)
                                       : DataConverter::Bin2LL_BE(decoded, bytes),
                 result);
        if (result == ERR_OK)
            QCOMPARE(decoded, value);
        QCOMPARE(log.lines().value(0), "DataConverter::" + converter);
        if (!failure.isEmpty())
            QCOMPARE(log.lines().value(1), "DataConverter::" + converter + ' ' + failure);
    }

    void moneyParse_data()
    {
        columns<QString, int, qint64, bool>("text", "result", "kopecks", "logged");
        const int refused = ERR_INVALID_DATA;
        QTest::newRow("one decimal") << "12.5" << 0 << qint64(1250) << false;
        QTest::newRow("two decimals") << "19.99" << 0 << qint64(1999) << false;
        QTest::newRow("negative") << "-0.01" << 0 << qint64(-1) << false;
        QTest::newRow("exponent") << "1e2" << 0 << qint64(10000) << false;
        QTest::newRow("upper bound") << "21474836.47" << 0 << qint64(2147483647) << false;
        QTest::newRow("lower bound") << "-21474836.48" << 0 << qint64(-2147483648LL) << false;
        QTest::newRow("three decimals") << "12.345" << refused << qint64(0) << false;
        QTest::newRow("half kopeck") << "0.005" << refused << qint64(0) << false;
        QTest::newRow("above range") << "21474836.48" << refused << qint64(0) << false;
        QTest::newRow("huge") << "1e30" << refused << qint64(0) << false;
        QTest::newRow("comma") << "12,50" << refused << qint64(0) << true;
        QTest::newRow("empty") << "" << refused << qint64(0) << true;
        QTest::newRow("infinity") << "inf" << refused << qint64(0) << true;
    }

    void moneyParse()
    {
        const auto [text, result, kopecks, logged] =
            fetch<QString, int, qint64, bool>("text", "result", "kopecks", "logged");
        LogCapture log;
        qint64 parsed = 0;
        QCOMPARE(DataConverter::StringToCurr(text, parsed), result);
        if (result == ERR_OK)
            QCOMPARE(parsed, kopecks);
        QCOMPARE(log.lines(), logged ? QStringList{"DataConverter::StringToCurr Error executing "
                                                   "value.toInt"}
                                     : QStringList());
    }

    void moneyText_data()
    {
        columns<qint64, QString>("kopecks", "text");
        QTest::newRow("whole") << qint64(1250) << "12.50";
        QTest::newRow("kopecks only") << qint64(5) << "0.05";
        QTest::newRow("negative") << qint64(-150) << "-1.50";
        QTest::newRow("negative kopecks") << qint64(-5) << "-0.05";
        QTest::newRow("zero") << qint64(0) << "0.00";
        QTest::newRow("sixteen digits") << qint64(9999999999999999LL) << "99999999999999.99";
    }

    void moneyText()
    {
        const auto [kopecks, text] = fetch<qint64, QString>("kopecks", "text");
        QString formatted;
        QCOMPARE(DataConverter::CurrToString(kopecks, formatted), 0);
        QCOMPARE(formatted, text);
    }
};

QTEST_APPLESS_MAIN(TestDataConverter)
#include "tst_dataconverter.moc"
