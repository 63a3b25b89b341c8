#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
#include "logcapture.h"
#include "testdata.h"

#include <limits>
#include <memory>

namespace {

std::unique_ptr<FieldBase> field(int type, int width, int table = 3, int fieldNumber = 1)
{
    return std::unique_ptr<FieldBase>(createField(table, 1, fieldNumber, type, width));
}

// The 31 blanks after the value byte of a first-of-32 field, in hexadecimal.
const QByteArray blanks = QByteArray("20").repeated(31);

} // namespace

class TestFieldTypes : public QObject
{
    Q_OBJECT
private slots:
    // An unknown type code (no description) is refused with -260.
    void factory_data()
    {
        columns<int, QString>("type", "description");
        const QStringList descriptions = {"BCD",  "BIN",    "Денежный", "Денежный",
                                          "Дата", "Строка", "BCD",      "DT_FIRST_OF_32"};
        for (int type = 1; type <= 8; ++type)
            QTest::addRow("%d", type) << type << descriptions[type - 1];
        for (int type : {0, 9, -1})
            QTest::addRow("%d", type) << type << QString();
    }

    void factory()
    {
        const auto [type, description] = fetch<int, QString>("type", "description");
        if (description.isEmpty()) {
            try {
                createField(1, 1, 1, type, 1);
                QFAIL("no exception");
            } catch (ErrorCode code) {
                QCOMPARE(int(code), int(ERR_DEVICE_WRONG_FIELD));
            }
            return;
        }
        std::unique_ptr<FieldBase> value(createField(12, 345, 6, type, 7));
        QCOMPARE(value->type(), type);
        QCOMPARE(value->typeDescription(), description);
        QCOMPARE(value->tableNumber(), 12);
        QCOMPARE(value->rowNumber(), 345);
        QCOMPARE(value->fieldNumber(), 6);
        QCOMPARE(value->width(), 7);
        QVERIFY(value->rawData().isEmpty());
    }

    // Encoding a number: the bytes produced, or the refusal with its log line
    // and the previous bytes kept.
    void fromInt64_data()
    {
        columns<int, int, qint64, QByteArray, QString, qint64>("type", "width", "value", "bytes",
                                                               "log", "readBack");
        const auto encoded = [](const char *name, int type, int width, qint64 value,
                                const QByteArray &hex, qint64 readBack) {
            QTest::newRow(name) << type << width << value << QByteArray::fromHex(hex) << QString()
                                << readBack;
        };
        const auto refused = [](const char *name, int type, int width, qint64 value,
                                const char *log) {
            QTest::newRow(name) << type << width << value << QByteArray() << QString(log)
                                << qint64(0);
        };
        encoded("BCD fits", 1, 2, 9999, "9999", 9999);
        encoded("BCD pads", 1, 3, 1234, "001234", 1234);
        refused("BCD too big", 1, 2, 10000, "FieldBCD::fromInt64 BCD value too big");
        refused("BCD 8 too big", 1, 8, 10000000000000000LL,
                "FieldBCD::fromInt64 BCD value too big");
        encoded("BCD 10 takes any value", 1, 10, std::numeric_limits<qint64>::max(),
                "09223372036854775807", 0);
        refused("BCD negative", 1, 2, -1, "FieldBCD::fromInt64 Negative BCD value");
        refused("BCD width 0", 1, 0, 1, "FieldBCD::fromInt64 BCD value too big");
        refused("DATE logs as BCD", 5, 1, 100, "FieldBCD::fromInt64 BCD value too big");
        encoded("BIN 1 max", 2, 1, 255, "FF", 255);
        refused("BIN 1 too big", 2, 1, 256, "FieldBIN::fromInt64 Bin value too big");
        encoded("BIN minus one", 2, 1, -1, "FF", 255);
        encoded("BIN 2 minus one", 2, 2, -1, "FFFF", 65535);
        encoded("BIN 4 unsigned max", 2, 4, 4294967295LL, "FFFFFFFF", -1);
        encoded("BIN 4 cut", 2, 4, 4294967296LL, "00000000", 0);
        encoded("BIN 6 negative", 2, 6, -2, "FFFFFFFFFFFE", -2);
        encoded("BIN 9 sign bytes", 2, 9, -1, "FFFFFFFFFFFFFFFFFF", 0);
        refused("CURRENCY_BIN logs as BIN", 3, 2, 65536, "FieldBIN::fromInt64 Bin value too big");
        encoded("FirstOf32", 8, 32, 7, "07" + blanks, 7);
        encoded("FirstOf32 narrow", 8, 1, 200, "C8" + blanks, 200);
        refused("FirstOf32 above byte", 8, 32, 300,
                "FieldBINFirstOf32::fromInt64 1 BIN value > 0xFF");
        refused("FirstOf32 narrow range", 8, 1, 256,
                "FieldBINFirstOf32::fromInt64 Bin value too big");
    }

    void fromInt64()
    {
        const auto [type, width, value, bytes, log, readBack] =
            fetch<int, int, qint64, QByteArray, QString, qint64>("type", "width", "value", "bytes",
                                                                 "log", "readBack");
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

    // Bytes read from the register, shown and parsed again, give the same bytes,
    // so that a value read can be written back unchanged.
    void readValueWritesBack_data()
    {
        columns<int, QByteArray>("type", "bytes");
        const auto row = [](const char *name, int type, const QByteArray &hex) {
            QTest::newRow(name) << type << QByteArray::fromHex(hex);
        };
        row("BCD 8 sixteen nines", FIELD_BCD, QByteArray(16, '9'));
        row("BCD 9 eighteen nines", FIELD_BCD, QByteArray(18, '9'));
        row("DATE 8 sixteen nines", FIELD_DATE, QByteArray(16, '9'));
        row("LEADING_ZEROES 9", FIELD_BCD_LEADING_ZEROES, "000000000999999999");
        row("money BCD 5 upper bound", FIELD_CURRENCY_BCD, "2147483647");
        row("BIN 3 unsigned max", FIELD_BIN, "FFFFFF");
        row("BIN 4 minus one", FIELD_BIN, "FFFFFFFF");
        row("BIN 8 minimum", FIELD_BIN, "8000000000000000");
        row("money BIN 4 minimum", FIELD_CURRENCY_BIN, "80000000");
    }

    void readValueWritesBack()
    {
        const auto [type, bytes] = fetch<int, QByteArray>("type", "bytes");
        auto read = field(type, bytes.size());
        read->setRawData(bytes);
        QString shown;
        QCOMPARE(read->toString(shown), 0);
        auto written = field(type, bytes.size());
        QCOMPARE(written->fromString(shown), 0);
        QCOMPARE(written->rawData().toHex(), bytes.toHex());
    }

    // Parsing a text: the bytes produced or the refusal, with the previous bytes
    // kept; an empty log line stands for no StringToCurr line. Mixed-scheme
    // strings pad with zero bytes, the others with blanks.
    void fromString_data()
    {
        columns<int, int, int, int, QString, QByteArray, QString>(
            "type", "width", "table", "fieldNumber", "text", "bytes", "log");
        const auto parsed = [](const char *name, int type, int width, const QString &text,
                               const char *hex, int table = 3, int field = 1) {
            QTest::newRow(name) << type << width << table << field << text
                                << QByteArray::fromHex(hex) << QString();
        };
        const auto refused = [](const char *name, int type, int width, const QString &text,
                                const char *log) {
            QTest::newRow(name) << type << width << 3 << 1 << text << QByteArray() << QString(log);
        };
        const char *bcdLog = "FieldBCD::fromString Error executing new_value.toInt";
        parsed("BCD", 1, 2, "42", "0042");
        refused("BCD empty", 1, 2, "", bcdLog);
        refused("BCD decimal point", 1, 2, "1.5", bcdLog);
        refused("LEADING_ZEROES logs as BCD", 7, 2, "x", bcdLog);
        parsed("DATE", 5, 3, "10521", "010521");
        parsed("BIN", 2, 2, "-2", "FFFE");
        // A text is refused where the field could not show it again.
        refused("BCD wider than readable", 1, 10, "5",
                "DataConverter::BCD2LL Length of BCD field > 9");
        refused("money wider than readable", 3, 9, "0.05",
                "DataConverter::Bin2LL_BE Length of BIN field > 4");
        refused("BIN hex refused", 2, 2, "0x10",
                "FieldBIN::fromString Error executing new_value.toInt");
        refused("FirstOf32 text", 8, 32, "a",
                "FieldBINFirstOf32::fromString Error executing new_value.toInt");
        parsed("money BCD", 4, 5, "12.5", "0000001250");
        refused("money BCD comma", 4, 5, "12,50",
                "DataConverter::StringToCurr Error executing value.toInt");
        refused("money BCD half kopeck", 4, 5, "0.005", "");
        refused("money BCD negative", 4, 5, "-1.00", "FieldBCD::fromInt64 Negative BCD value");
        parsed("money BIN", 3, 4, "-0.01", "FFFFFFFF");
        parsed("string trailing blanks", 6, 5, "ABC   ", "4142432020");
        refused("string too long", 6, 5, "ABCDEF", "FieldSTR::fromString String value too long");
        parsed("gsm pads with zero", 6, 8, "жa", "8661000000000000", 11, 1);
        parsed("gsm password", 6, 8, "ab", "6162000000000000", 11, 3);
        parsed("ofd site", 6, 8, "ab", "6162000000000000", 12, 8);
        parsed("receipt text pads with blank", 6, 8, "жa", "A661202020202020", 5, 1);
        parsed("goods name capitals", 6, 8, "жa", "8641202020202020", 1, 1);
    }

    void fromString()
    {
        const auto [type, width, table, fieldNumber, text, bytes, log] =
            fetch<int, int, int, int, QString, QByteArray, QString>(
                "type", "width", "table", "fieldNumber", "text", "bytes", "log");
        auto f = field(type, width, table, fieldNumber);
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

    // A string field's scheme follows its table and field number.
    void toString_data()
    {
        columns<int, int, QByteArray, int, int, QString>("type", "width", "raw", "table",
                                                         "fieldNumber", "text");
        const auto shown = [](const char *name, int type, int width, const QByteArray &hex,
                              const QString &text, int table = 3, int field = 1) {
            QTest::newRow(name) << type << width << QByteArray::fromHex(hex) << table << field
                                << text;
        };
        shown("BCD empty", 1, 2, "", "0");
        shown("money empty", 4, 2, "", "0.00", 1, 3);
        shown("string empty", 6, 2, "", "", 5);
        shown("leading zeroes empty", 7, 3, "", "000000");
        shown("leading zeroes", 7, 3, "000123", "000123");
        shown("leading zeroes overlong", 7, 1, "1234", "1234");
        shown("date loses its zero", 5, 3, "010521", "10521");
        shown("money BCD", 4, 5, "0000001250", "12.50", 1, 3);
        shown("money BIN unsigned", 3, 2, "FF6A", "653.86", 1, 3);
        shown("money BIN negative", 3, 4, "FFFFFF6A", "-1.50", 1, 3);
        shown("BIN four bytes", 2, 4, "FFFFFFFE", "-2", 1, 4);
        shown("FirstOf32 first byte only", 8, 32, "07" + blanks, "7", 11, 4);
        shown("general text trimmed at end", 6, 6, "20000180207F", " АБа", 5);
        shown("goods name capitals", 6, 4, "61A02020", "AА", 1);
        shown("gsm text mixed", 6, 4, "61A00000", "aа", 11, 2);
        shown("ofd address mixed", 6, 3, "610000", "a", 12);
        shown("ofd other string general", 6, 2, "6100", "aА", 12, 6);
    }

    void toString()
    {
        const auto [type, width, raw, table, fieldNumber, text] =
            fetch<int, int, QByteArray, int, int, QString>("type", "width", "raw", "table",
                                                           "fieldNumber", "text");
        auto f = field(type, width, table, fieldNumber);
        f->setRawData(raw);
        QString shown = QStringLiteral("stale");
        QCOMPARE(f->toString(shown), 0);
        QCOMPARE(shown, text);
    }

    void unsupportedOperations()
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
        QCOMPARE(
            capture.lines(),
            (QStringList{"FieldBase::type", "FieldBase::typeDescription", "FieldBase::toInt64",
                         "FieldBase::toString", "FieldBase::fromInt64", "FieldBase::fromString",
                         "FieldSTR::toInt64 Str to Int is not implemented",
                         "FieldSTR::fromInt64 Str from Int is not implemented"}));
    }
};

QTEST_APPLESS_MAIN(TestFieldTypes)
#include "tst_fieldtypes.moc"
