#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
#include "logcapture.h"

#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<FieldBase> field(int type, int width, int table = 3, int fieldNumber = 1)
{
    return std::unique_ptr<FieldBase>(createField(table, 1, fieldNumber, type, width));
}

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

} // namespace

class TestFieldTypes : public QObject
{
    Q_OBJECT
private slots:
    void factory_data();
    void factory();
    void unknownTypeCodeThrows_data();
    void unknownTypeCodeThrows();
    void fromInt64_data();
    void fromInt64();
    void fromString_data();
    void fromString();
    void toString_data();
    void toString();
    void stringPadding_data();
    void stringPadding();
    void unsupportedOperations();
};

void TestFieldTypes::factory_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("description");

    QTest::newRow("BCD") << 1 << "BCD";
    QTest::newRow("BIN") << 2 << "BIN";
    QTest::newRow("CURRENCY_BIN") << 3 << u("Денежный");
    QTest::newRow("CURRENCY_BCD") << 4 << u("Денежный");
    QTest::newRow("DATE") << 5 << u("Дата");
    QTest::newRow("STR") << 6 << u("Строка");
    QTest::newRow("BCD_LEADING_ZEROES") << 7 << "BCD";
    QTest::newRow("BINFirstOf32") << 8 << "DT_FIRST_OF_32";
}

void TestFieldTypes::factory()
{
    QFETCH(int, type);
    QFETCH(QString, description);
    std::unique_ptr<FieldBase> value(createField(12, 345, 6, type, 7));
    QCOMPARE(value->type(), type);
    QCOMPARE(value->typeDescription(), description);
    QCOMPARE(value->tableNumber(), 12);
    QCOMPARE(value->rowNumber(), 345);
    QCOMPARE(value->fieldNumber(), 6);
    QCOMPARE(value->width(), 7);
    QVERIFY(value->rawData().isEmpty());
}

void TestFieldTypes::unknownTypeCodeThrows_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("zero") << 0;
    QTest::newRow("nine") << 9;
    QTest::newRow("negative") << -1;
}

void TestFieldTypes::unknownTypeCodeThrows()
{
    QFETCH(int, type);
    try {
        createField(1, 1, 1, type, 1);
        QFAIL("no exception");
    } catch (ErrorCode code) {
        QCOMPARE(int(code), int(ERR_DEVICE_WRONG_FIELD));
    }
}

// Encoding a number: the bytes produced, or the refusal with its log line and
// the previous bytes kept.
void TestFieldTypes::fromInt64_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::addColumn<QString>("log");
    QTest::addColumn<qint64>("readBack");

    const QByteArray refused;
    QTest::newRow("BCD fits") << 1 << 2 << qint64(9999) << QByteArray::fromHex("9999") << ""
                              << qint64(9999);
    QTest::newRow("BCD pads") << 1 << 3 << qint64(1234) << QByteArray::fromHex("001234") << ""
                              << qint64(1234);
    QTest::newRow("BCD too big") << 1 << 2 << qint64(10000) << refused
                                 << "FieldBCD::fromInt64 BCD value too big" << qint64(0);
    QTest::newRow("BCD negative") << 1 << 2 << qint64(-1) << refused
                                  << "FieldBCD::fromInt64 Negative BCD value" << qint64(0);
    QTest::newRow("BCD width 0") << 1 << 0 << qint64(1) << refused
                                 << "FieldBCD::fromInt64 BCD value too big" << qint64(0);
    QTest::newRow("DATE logs as BCD") << 5 << 1 << qint64(100) << refused
                                      << "FieldBCD::fromInt64 BCD value too big" << qint64(0);
    QTest::newRow("BIN 1 max") << 2 << 1 << qint64(255) << QByteArray::fromHex("FF") << ""
                               << qint64(255);
    QTest::newRow("BIN 1 too big") << 2 << 1 << qint64(256) << refused
                                   << "FieldBIN::fromInt64 Bin value too big" << qint64(0);
    QTest::newRow("BIN minus one") << 2 << 1 << qint64(-1) << QByteArray::fromHex("FF") << ""
                                   << qint64(255);
    QTest::newRow("BIN 2 minus one") << 2 << 2 << qint64(-1) << QByteArray::fromHex("FFFF") << ""
                                     << qint64(65535);
    QTest::newRow("BIN 4 unsigned max") << 2 << 4 << qint64(4294967295LL)
                                        << QByteArray::fromHex("FFFFFFFF") << "" << qint64(-1);
    QTest::newRow("BIN 4 cut") << 2 << 4 << qint64(4294967296LL) << QByteArray::fromHex("00000000")
                               << "" << qint64(0);
    QTest::newRow("BIN 6 negative") << 2 << 6 << qint64(-2) << QByteArray::fromHex("FFFFFFFFFFFE")
                                    << "" << qint64(-2);
    QTest::newRow("BIN 9 sign bytes") << 2 << 9 << qint64(-1) << QByteArray(9, char(0xFF)) << ""
                                      << qint64(0);
    QTest::newRow("CURRENCY_BIN logs as BIN") << 3 << 2 << qint64(65536) << refused
                                              << "FieldBIN::fromInt64 Bin value too big" << qint64(0);
    QTest::newRow("FirstOf32") << 8 << 32 << qint64(7)
                               << (QByteArray::fromHex("07") + QByteArray(31, ' ')) << ""
                               << qint64(7);
    QTest::newRow("FirstOf32 narrow") << 8 << 1 << qint64(200)
                                      << (QByteArray::fromHex("C8") + QByteArray(31, ' ')) << ""
                                      << qint64(200);
    QTest::newRow("FirstOf32 above byte") << 8 << 32 << qint64(300) << refused
                                          << "FieldBINFirstOf32::fromInt64 1 BIN value > 0xFF"
                                          << qint64(0);
    QTest::newRow("FirstOf32 narrow range") << 8 << 1 << qint64(256) << refused
                                            << "FieldBINFirstOf32::fromInt64 Bin value too big"
                                            << qint64(0);
}

void TestFieldTypes::fromInt64()
{
    QFETCH(int, type);
    QFETCH(int, width);
    QFETCH(qint64, value);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, log);
    QFETCH(qint64, readBack);

    auto f = field(type, width);
    const QByteArray previous = QByteArray::fromHex("0102");
    f->setRawData(previous);
    LogCapture capture;
    const int result = f->fromInt64(value);
    if (bytes.isEmpty()) {
        QCOMPARE(result, int(ERR_INVALID_DATA));
        QCOMPARE(f->rawData(), previous);
        QCOMPARE(capture.lines(), QStringList{log});
        return;
    }
    QCOMPARE(result, 0);
    QCOMPARE(f->rawData().toHex(), bytes.toHex());
    qint64 decoded = 0;
    const int readResult = f->toInt64(decoded);
    if (width <= 8) {
        QCOMPARE(readResult, 0);
        QCOMPARE(decoded, readBack);
    }
}

// Parsing a text: the bytes produced or the refusal, with the previous bytes kept.
void TestFieldTypes::fromString_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::addColumn<QString>("log");

    const QByteArray refused;
    QTest::newRow("BCD") << 1 << 2 << "42" << QByteArray::fromHex("0042") << "";
    QTest::newRow("BCD empty") << 1 << 2 << "" << refused
                               << "FieldBCD::fromString Error executing new_value.toInt";
    QTest::newRow("BCD decimal point") << 1 << 2 << "1.5" << refused
                                       << "FieldBCD::fromString Error executing new_value.toInt";
    QTest::newRow("LEADING_ZEROES logs as BCD") << 7 << 2 << "x" << refused
                                                << "FieldBCD::fromString Error executing new_value.toInt";
    QTest::newRow("DATE") << 5 << 3 << "10521" << QByteArray::fromHex("010521") << "";
    QTest::newRow("BIN") << 2 << 2 << "-2" << QByteArray::fromHex("FFFE") << "";
    QTest::newRow("BIN hex refused") << 2 << 2 << "0x10" << refused
                                     << "FieldBIN::fromString Error executing new_value.toInt";
    QTest::newRow("FirstOf32 text") << 8 << 32 << "a" << refused
                                    << "FieldBINFirstOf32::fromString Error executing new_value.toInt";
    QTest::newRow("money BCD") << 4 << 5 << "12.5" << QByteArray::fromHex("0000001250") << "";
    QTest::newRow("money BCD comma") << 4 << 5 << "12,50" << refused
                                     << "DataConverter::StringToCurr Error executing value.toInt";
    QTest::newRow("money BCD half kopeck") << 4 << 5 << "0.005" << refused << "";
    QTest::newRow("money BCD negative") << 4 << 5 << "-1.00" << refused
                                        << "FieldBCD::fromInt64 Negative BCD value";
    QTest::newRow("money BIN") << 3 << 4 << "-0.01" << QByteArray::fromHex("FFFFFFFF") << "";
    QTest::newRow("string trailing blanks") << 6 << 5 << "ABC   " << QByteArray("ABC  ") << "";
    QTest::newRow("string too long") << 6 << 5 << "ABCDEF" << refused
                                     << "FieldSTR::fromString String value too long";
}

void TestFieldTypes::fromString()
{
    QFETCH(int, type);
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, log);

    auto f = field(type, width);
    const QByteArray previous = QByteArray::fromHex("0102");
    f->setRawData(previous);
    LogCapture capture;
    const int result = f->fromString(text);
    if (!bytes.isEmpty()) {
        QCOMPARE(result, 0);
        QCOMPARE(f->rawData().toHex(), bytes.toHex());
        return;
    }
    QCOMPARE(result, int(ERR_INVALID_DATA));
    QCOMPARE(f->rawData(), previous);
    if (log.isEmpty())
        QVERIFY(!capture.lines().join('\n').contains("StringToCurr"));
    else
        QVERIFY2(capture.contains(log), qPrintable(capture.lines().join(" | ")));
}

void TestFieldTypes::toString_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("fieldNumber");
    QTest::addColumn<QString>("text");

    QTest::newRow("BCD empty") << 1 << 2 << QByteArray() << 3 << 1 << "0";
    QTest::newRow("money empty") << 4 << 2 << QByteArray() << 1 << 3 << "0.00";
    QTest::newRow("string empty") << 6 << 2 << QByteArray() << 5 << 1 << "";
    QTest::newRow("leading zeroes empty") << 7 << 3 << QByteArray() << 3 << 1 << "000000";
    QTest::newRow("leading zeroes") << 7 << 3 << QByteArray::fromHex("000123") << 3 << 1 << "000123";
    QTest::newRow("leading zeroes overlong") << 7 << 1 << QByteArray::fromHex("1234") << 3 << 1
                                             << "1234";
    QTest::newRow("date loses its zero") << 5 << 3 << QByteArray::fromHex("010521") << 3 << 1
                                         << "10521";
    QTest::newRow("money BCD") << 4 << 5 << QByteArray::fromHex("0000001250") << 1 << 3 << "12.50";
    QTest::newRow("money BIN unsigned") << 3 << 2 << QByteArray::fromHex("FF6A") << 1 << 3
                                        << "653.86";
    QTest::newRow("money BIN negative") << 3 << 4 << QByteArray::fromHex("FFFFFF6A") << 1 << 3
                                        << "-1.50";
    QTest::newRow("BIN four bytes") << 2 << 4 << QByteArray::fromHex("FFFFFFFE") << 1 << 4 << "-2";
    QTest::newRow("FirstOf32 first byte only")
        << 8 << 32 << (QByteArray::fromHex("07") + QByteArray(31, ' ')) << 11 << 4 << "7";
    QTest::newRow("general text trimmed at end")
        << 6 << 6 << QByteArray::fromHex("20000180207F") << 5 << 1 << u(" АБа");
    QTest::newRow("goods name capitals") << 6 << 4 << QByteArray::fromHex("61A02020") << 1 << 1
                                         << u("AА");
    QTest::newRow("gsm text mixed") << 6 << 4 << QByteArray::fromHex("61A00000") << 11 << 2
                                    << u("aа");
    QTest::newRow("ofd address mixed") << 6 << 3 << QByteArray::fromHex("610000") << 12 << 1 << "a";
    QTest::newRow("ofd other string general") << 6 << 2 << QByteArray::fromHex("6100") << 12 << 6
                                              << u("aА");
}

void TestFieldTypes::toString()
{
    QFETCH(int, type);
    QFETCH(int, width);
    QFETCH(QByteArray, raw);
    QFETCH(int, table);
    QFETCH(int, fieldNumber);
    QFETCH(QString, text);

    auto f = field(type, width, table, fieldNumber);
    f->setRawData(raw);
    QString shown = QStringLiteral("stale");
    QCOMPARE(f->toString(shown), 0);
    QCOMPARE(shown, text);
}

void TestFieldTypes::stringPadding_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("fieldNumber");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("gsm pads with zero") << 11 << 1 << u("жa") << QByteArray::fromHex("8661000000000000");
    QTest::newRow("gsm password") << 11 << 3 << "ab" << QByteArray::fromHex("6162000000000000");
    QTest::newRow("ofd site") << 12 << 8 << "ab" << QByteArray::fromHex("6162000000000000");
    QTest::newRow("receipt text pads with blank")
        << 5 << 1 << u("жa") << QByteArray::fromHex("A661202020202020");
    QTest::newRow("goods name capitals") << 1 << 1 << u("жa") << QByteArray::fromHex("8641202020202020");
}

void TestFieldTypes::stringPadding()
{
    QFETCH(int, table);
    QFETCH(int, fieldNumber);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    auto f = field(FIELD_STR, 8, table, fieldNumber);
    QCOMPARE(f->fromString(text), 0);
    QCOMPARE(f->rawData().toHex(), bytes.toHex());
}

void TestFieldTypes::unsupportedOperations()
{
    LogCapture capture;
    FieldBase base(1, 1, 1, 1);
    qint64 value = 0;
    QString text;
    QCOMPARE(base.type(), 0);
    QCOMPARE(base.typeDescription(), QString());
    QCOMPARE(base.toInt64(value), int(ERR_NOT_SUPPORTED));
    QCOMPARE(base.toString(text), int(ERR_NOT_SUPPORTED));
    QCOMPARE(base.fromInt64(1), int(ERR_NOT_SUPPORTED));
    QCOMPARE(base.fromString("1"), int(ERR_NOT_SUPPORTED));

    auto str = field(FIELD_STR, 4);
    QCOMPARE(str->toInt64(value), int(ERR_NOT_SUPPORTED));
    QCOMPARE(str->fromInt64(1), int(ERR_NOT_SUPPORTED));
    QCOMPARE(capture.lines(),
             (QStringList{"FieldBase::type", "FieldBase::typeDescription", "FieldBase::toInt64",
                          "FieldBase::toString", "FieldBase::fromInt64", "FieldBase::fromString",
                          "FieldSTR::toInt64 Str to Int is not implemented",
                          "FieldSTR::fromInt64 Str from Int is not implemented"}));
}

QTEST_APPLESS_MAIN(TestFieldTypes)
#include "tst_fieldtypes.moc"
