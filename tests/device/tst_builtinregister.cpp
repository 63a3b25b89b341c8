// The whole path to the register: protocol, driver bridge, automation client,
// driver component and the register built into it.
#include "driveroperations.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "tablecatalogue.h"
#include "testdata.h"

#include <QElapsedTimer>

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
    protocolPelto protocol;

private slots:
    void initTestCase() { registerDriverComponent(); }
    void init() { QCOMPARE(protocol.openPort(builtInRegister), 0); }
    void cleanup() { protocol.closePort(); }

    void identification()
    {
        QString info;
        QCOMPARE(protocol.readDeviceInfo(&info), 0);
        QVERIFY2(QRegularExpression("^.+, \\d+\\.\\d+\\.\\d+$").match(info).hasMatch(),
                 qPrintable(info));
    }

    void readsEveryTable_data()
    {
        QTest::addColumn<int>("table");
        for (const TableSpec &entry : TableCatalogue::tables()) {
            if (entry.number != 2)
                QTest::newRow(qPrintable(entry.caption)) << entry.number;
        }
    }

    // Every field of every row reads and shows, and the whole-record command
    // returns the same bytes as the fields one by one.
    void readsEveryTable()
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

    void settingsRowEndsAtUnknownField()
    {
        int field = 1;
        while (thrownBy([&] { readField(protocol, fieldType(2, field), 2, 1, field); }) == ERR_OK)
            ++field;
        QVERIFY(field > 42);
        QCOMPARE(thrownBy([&] { readField(protocol, fieldType(2, field), 2, 1, field); }),
                 int(ERR_DEVICE_WRONG_FIELD));
    }

    // A value of every field type and every text scheme; the read back text is
    // the written one unless given.
    void writesAndReadsBack_data()
    {
        columns<int, int, int, int, QString, QString>("table", "row", "field", "type", "text",
                                                      "readBack");
        const auto row = [](const char *name, int table, int row, int field, int type,
                            const QString &text, const QString &readBack = QString()) {
            QTest::newRow(name) << table << row << field << type << text
                                << (readBack.isNull() ? text : readBack);
        };
        row("capitals text", 1, 2, 1, FIELD_STR, "ХЛЕБ »РЖАНОЙ №1 $");
        row("general text", 3, 1, 2, FIELD_STR, "Смена №5 – $ »юг");
        row("mixed text", 11, 2, 1, FIELD_STR, "Точка доступа", "ТОЧКА ДОСТУПА");
        row("mixed latin", 12, 1, 1, FIELD_STR, "ofd.example.ru:7777");
        row("bcd", 1, 2, 2, FIELD_BCD, "4601234567890");
        row("money bcd", 1, 2, 3, FIELD_CURRENCY_BCD, "123.45");
        row("bin", 1, 2, 7, FIELD_BIN, "255");
        row("first of 32", 11, 4, 1, FIELD_BIN_FIRST_OF_32, "3");
        row("date", 2, 1, 20, FIELD_DATE, "10521");
        row("bcd leading zeroes", 1, 4, 2, FIELD_BCD_LEADING_ZEROES, "123", "0000000000000123");
        row("money bin", 2, 1, 42, FIELD_CURRENCY_BIN, "-12.34");
    }

    void writesAndReadsBack()
    {
        const auto [table, row, field, type, text, readBack] =
            fetch<int, int, int, int, QString, QString>("table", "row", "field", "type", "text",
                                                        "readBack");
        const int width = readField(protocol, type, table, row, field)->width();
        FieldPtr value(createField(table, row, field, type, width));
        QCOMPARE(value->fromString(text), 0);
        QCOMPARE(protocol.writeField(value.get(), true), 0);
        QCOMPARE(textOf(*readField(protocol, type, table, row, field)), readBack);
    }

    void rowPastTheEnd()
    {
        QCOMPARE(thrownBy([&] { readField(protocol, FIELD_BCD, 3, 5000, 1); }),
                 int(ERR_DEVICE_WRONG_ROW));
        FieldList record;
        QCOMPARE(protocol.readRow(3, 5000, &record), int(ERR_DEVICE_WRONG_ROW));
        QCOMPARE(thrownBy([&] { readField(protocol, FIELD_BCD, 10, 1, 1); }),
                 int(ERR_DEVICE_WRONG_TABLE));
    }

    // Only the driver bridge, so that the mode is never entered.
    void writeOutsideProgrammingModeIsRefused()
    {
        DriverOperations driver;
        QVERIFY(driver.setControl(QStringLiteral("AddIn.Velmar")));
        driver.AddDevice();
        driver.SetPortName(QLatin1String(builtInRegisterLocation));
        driver.SetDeviceEnabled(true);
        QCOMPARE(driver.GetResultCode(), 0);
        QByteArray answer;
        QVERIFY(driver.RunCommandExBin(QByteArray::fromHex("500400010101"), &answer, 20000));
        QCOMPARE(answer.left(1), QByteArray::fromHex("55"));
        QVERIFY(answer.at(1) != 0);
    }

    void dumpsHaveTheirAnnouncedSize_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("firmware processor") << 17;
        QTest::newRow("fiscal memory processor") << 2;
    }

    void dumpsHaveTheirAnnouncedSize()
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

    void unknownLocationFailsPromptly()
    {
        protocolPelto other;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(other.openPort(PortInfo("ttyUSB7", QString(), "/dev/no-such-line")),
                 int(ERR_PORT_NOT_OPEN));
        QVERIFY(clock.elapsed() < 5000);

        AutomationObject driver;
        driver.setControl(QStringLiteral("AddIn.Velmar"));
        driver.setProperty("PortName", QStringLiteral("/dev/no-such-line"));
        driver.setProperty("DeviceEnabled", true);
        QVERIFY(driver.property("ResultCode").toInt() != 0);
        QVERIFY(driver.property("ResultDescription")
                    .toString()
                    .startsWith("Устройство не найдено (/dev/no-such-line)."));
    }
};

QTEST_GUILESS_MAIN(TestBuiltInRegister)
#include "tst_builtinregister.moc"
