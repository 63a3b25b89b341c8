// The whole path to the register: protocol, driver bridge, automation client,
// driver component and the register built into it.
#include "driveroperations.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "tablecatalogue.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

const PortInfo builtInRegister(QStringLiteral("EMU1"), QStringLiteral("built-in"),
                               QLatin1String(builtInRegisterLocation));

using FieldPtr = std::unique_ptr<FieldBase>;

FieldPtr readField(protocolBase &protocol, int type, int table, int row, int field)
{
    return FieldPtr(protocol.readField(type, table, row, field));
}

int thrownBy(const std::function<void()> &call)
{
    try {
        call();
    } catch (ErrorCode code) {
        return code;
    }
    return ERR_OK;
}

QString textOf(FieldBase &field)
{
    QString text;
    const int result = field.toString(text);
    return result == ERR_OK ? text : QStringLiteral("<error %1>").arg(result);
}

} // namespace

class TestBuiltInRegister : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerDriverComponent(); }
    void init() { QCOMPARE(protocol.openPort(builtInRegister), 0); }
    void cleanup() { protocol.closePort(); }

    void identification();
    void readsEveryTable_data();
    void readsEveryTable();
    void settingsRowEndsAtUnknownField();
    void writesAndReadsBack_data();
    void writesAndReadsBack();
    void rowPastTheEnd();
    void writeOutsideProgrammingModeIsRefused();
    void dumpsHaveTheirAnnouncedSize_data();
    void dumpsHaveTheirAnnouncedSize();
    void unknownLocationFailsPromptly();

private:
    protocolPelto protocol;
};

void TestBuiltInRegister::identification()
{
    QString info;
    QCOMPARE(protocol.readDeviceInfo(&info), 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^.+, \\d+\\.\\d+\\.\\d+$")).match(info).hasMatch(),
             qPrintable(info));
}

void TestBuiltInRegister::readsEveryTable_data()
{
    QTest::addColumn<int>("table");
    for (const TableSpec &spec : TableCatalogue::tables()) {
        if (spec.number != 2)
            QTest::newRow(qPrintable(spec.caption)) << spec.number;
    }
}

// Every field of every row reads and shows, and the whole-record command
// returns the same bytes as the fields one by one.
void TestBuiltInRegister::readsEveryTable()
{
    QFETCH(int, table);
    // Table 11 keeps one field in each of its register rows.
    const bool transposed = table == 11;
    const int fields = transposed ? 1 : fieldCount(table);
    FieldList record;
    int row = 1;
    for (;; ++row) {
        QByteArray wholeRecord;
        const int code = thrownBy([&] {
            for (int field = 1; field <= fields; ++field) {
                const int type = fieldType(table, transposed ? row : field);
                FieldPtr value = readField(protocol, type, table, row, field);
                QVERIFY(!textOf(*value).startsWith(QLatin1String("<error")));
                QCOMPARE(value->width(), value->rawData().size());
                wholeRecord += value->rawData();
            }
        });
        if (code == ERR_DEVICE_WRONG_ROW || (transposed && code == ERR_DEVICE_WRONG_FIELD))
            break;
        QCOMPARE(code, 0);
        if (transposed)
            continue;
        QCOMPARE(protocol.readRow(table, row, &record), 0);
        QByteArray fromRecord;
        for (const auto &value : record)
            fromRecord += value->rawData();
        QCOMPARE(fromRecord.toHex(), wholeRecord.toHex());
    }
    QVERIFY2(row > 1, "the table has no rows");
    if (transposed)
        QCOMPARE(row, 9);
}

void TestBuiltInRegister::settingsRowEndsAtUnknownField()
{
    int field = 1;
    while (thrownBy([&] { readField(protocol, fieldType(2, field), 2, 1, field); }) == ERR_OK)
        ++field;
    QVERIFY(field > 42);
    QCOMPARE(thrownBy([&] { readField(protocol, fieldType(2, field), 2, 1, field); }),
             int(ERR_DEVICE_WRONG_FIELD));
}

void TestBuiltInRegister::writesAndReadsBack_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const auto u = [](const char *utf8) { return QString::fromUtf8(utf8); };
    QTest::newRow("capitals text") << 1 << 2 << 1 << int(FIELD_STR) << u("ХЛЕБ »РЖАНОЙ №1 $")
                                   << u("ХЛЕБ »РЖАНОЙ №1 $");
    QTest::newRow("capitals scheme raises small letters")
        << 1 << 3 << 1 << int(FIELD_STR) << u("хлеб bread") << u("ХЛЕБ BREAD");
    QTest::newRow("general text") << 3 << 1 << 2 << int(FIELD_STR) << u("Смена №5 – $ »юг")
                                  << u("Смена №5 – $ »юг");
    QTest::newRow("general scheme writes К as Latin") << 5 << 1 << 1 << int(FIELD_STR)
                                                      << u("Касса") << u("Kасса");
    QTest::newRow("mixed text") << 11 << 2 << 1 << int(FIELD_STR) << u("Точка доступа")
                                << u("ТОЧКА ДОСТУПА");
    QTest::newRow("mixed latin") << 12 << 1 << 1 << int(FIELD_STR) << u("ofd.example.ru:7777")
                                 << u("ofd.example.ru:7777");
    QTest::newRow("bcd") << 1 << 2 << 2 << int(FIELD_BCD) << "4601234567890" << "4601234567890";
    QTest::newRow("money bcd") << 1 << 2 << 3 << int(FIELD_CURRENCY_BCD) << "123.45" << "123.45";
    QTest::newRow("bin") << 1 << 2 << 7 << int(FIELD_BIN) << "255" << "255";
    QTest::newRow("bin two bytes") << 12 << 1 << 2 << int(FIELD_BIN) << "7779" << "7779";
    QTest::newRow("first of 32") << 11 << 4 << 1 << int(FIELD_BIN_FIRST_OF_32) << "3" << "3";
    QTest::newRow("date") << 2 << 1 << 20 << int(FIELD_DATE) << "10521" << "10521";
    QTest::newRow("bcd leading zeroes") << 1 << 4 << 2 << int(FIELD_BCD_LEADING_ZEROES) << "123"
                                        << "0000000000000123";
    QTest::newRow("money bin") << 2 << 1 << 42 << int(FIELD_CURRENCY_BIN) << "-12.34" << "-12.34";
}

void TestBuiltInRegister::writesAndReadsBack()
{
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, field);
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    const int width = readField(protocol, type, table, row, field)->width();
    FieldPtr value(createField(table, row, field, type, width));
    QCOMPARE(value->fromString(text), 0);
    QCOMPARE(protocol.writeField(value.get(), true), 0);
    QCOMPARE(textOf(*readField(protocol, type, table, row, field)), readBack);
}

void TestBuiltInRegister::rowPastTheEnd()
{
    QCOMPARE(thrownBy([&] { readField(protocol, FIELD_BCD, 3, 5000, 1); }),
             int(ERR_DEVICE_WRONG_ROW));
    FieldList record;
    QCOMPARE(protocol.readRow(3, 5000, &record), int(ERR_DEVICE_WRONG_ROW));
    QCOMPARE(thrownBy([&] { readField(protocol, FIELD_BCD, 10, 1, 1); }),
             int(ERR_DEVICE_WRONG_TABLE));
}

// Only the driver bridge, so that the mode is never entered.
void TestBuiltInRegister::writeOutsideProgrammingModeIsRefused()
{
    DriverOperations driver;
    QVERIFY(driver.setControl(QStringLiteral("AddIn.Velmar")));
    driver.AddDevice();
    driver.SetPortName(QLatin1String(builtInRegisterLocation));
    driver.SetDeviceEnabled(true);
    QCOMPARE(driver.GetResultCode(), 0);
    QByteArray answer;
    QVERIFY(driver.RunCommandExBin(QByteArray::fromHex("5004000101") + QByteArray(1, 1), &answer,
                                   20000));
    QCOMPARE(answer.left(1), QByteArray::fromHex("55"));
    QVERIFY(answer.at(1) != 0);
}

void TestBuiltInRegister::dumpsHaveTheirAnnouncedSize_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("firmware processor") << 17;
    QTest::newRow("fiscal memory processor") << 2;
}

void TestBuiltInRegister::dumpsHaveTheirAnnouncedSize()
{
    QFETCH(int, kind);
    qint64 size = 0;
    QCOMPARE(protocol.startReadFW(kind, &size), 0);
    QVERIFY(size > 0);
    QByteArray dump;
    int code = 0;
    while ((code = protocol.readFWBlock(&dump)) == 0)
        QVERIFY(dump.size() <= size);
    QCOMPARE(code, 1);
    QCOMPARE(dump.size(), size);
}

void TestBuiltInRegister::unknownLocationFailsPromptly()
{
    protocolPelto other;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(other.openPort(PortInfo(QStringLiteral("ttyUSB7"), QString(),
                                     QStringLiteral("/dev/no-such-line"))),
             int(ERR_PORT_NOT_OPEN));
    QVERIFY(clock.elapsed() < 5000);

    AutomationObject driver;
    driver.setControl(QStringLiteral("AddIn.Velmar"));
    driver.setProperty("PortName", QStringLiteral("/dev/no-such-line"));
    driver.setProperty("DeviceEnabled", true);
    QVERIFY(driver.property("ResultCode").toInt() != 0);
    QCOMPARE(driver.property("ResultDescription").toString(), QString::fromUtf8("Порт недоступен"));
}

QTEST_GUILESS_MAIN(TestBuiltInRegister)
#include "tst_builtinregister.moc"
