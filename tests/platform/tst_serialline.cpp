#include "automationobject.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "protocolpelto.h"
#include "pseudoterminal.h"
#include "registercommands.h"
#include "registeremulator.h"
#include "registerprocess.h"
#include "tablecatalogue.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace RegisterCommands;

namespace {

// The driver gives up on a silent register after three sends of 100 ms each.
constexpr int SilenceLimitMs = 5000;

PortInfo portOf(const RegisterProcess &process)
{
    return PortInfo(QStringLiteral("pts"), QString(), process.path());
}

// The raw bytes of a field, read through the protocol; empty on a failure.
QByteArray readOverLine(protocolPelto &protocol, int table, int row, int field)
{
    QByteArray data;
    return readRaw(protocol, table, row, field, data) == ERR_OK ? data : QByteArray();
}

} // namespace

// The driver component and the protocol over a serial line to the emulator
// program, compared with a register emulated in the test.
class TestSerialLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void identifiesRegister();
    void readsAndWritesEveryTable_data();
    void readsAndWritesEveryTable();
    void dumpsToExactSize_data();
    void dumpsToExactSize();
    void silentRegisterFailsWithinLimits();
    void keepsStateAcrossRestart();
    void silentLineIsNoRegister();
    void writesAtTheSlowestRate();

private:
    RegisterProcess m_register;
    RegisterEmulator m_reference;
    protocolPelto m_protocol;
};

void TestSerialLine::initTestCase()
{
    registerDriverComponent();
    QVERIFY(m_register.start());
    // The protocol connects in the programming mode.
    QCOMPARE(m_reference.handle(QByteArray::fromHex("a6043330")),
             RegisterProtocol::makeAnswer(RegisterProtocol::NoError));
}

// Each test starts connected to the register every test shares.
void TestSerialLine::init()
{
    QCOMPARE(m_protocol.openPort(portOf(m_register)), int(ERR_OK));
}

void TestSerialLine::cleanup()
{
    m_protocol.closePort();
}

void TestSerialLine::identifiesRegister()
{
    QString info;
    QCOMPARE(m_protocol.readDeviceInfo(&info), int(ERR_OK));
    QCOMPARE(info, QStringLiteral("ККТ Korvan Tessel (эмулятор), 3.2.1205"));
}

void TestSerialLine::readsAndWritesEveryTable_data()
{
    QTest::addColumn<int>("table");
    for (const TableSpec &entry : TableCatalogue::tables())
        QTest::newRow(qPrintable(entry.caption)) << entry.number;
}

// Every field of the first row, read, written with every bit flipped and read again.
void TestSerialLine::readsAndWritesEveryTable()
{
    QFETCH(int, table);
    const int deviceTable = TableCatalogue::find(table)->deviceTable;
    int fields = 0;
    for (int field = 1;; ++field) {
        const QByteArray expected = answerData(m_reference, read(deviceTable, 1, field));
        if (expected.isEmpty())
            break;
        QCOMPARE(readOverLine(m_protocol, table, 1, field), expected);

        QByteArray flipped = expected;
        for (char &byte : flipped)
            byte = char(~byte);
        FieldBase value(table, 1, field, flipped.size());
        value.setRawData(flipped);
        QCOMPARE(m_protocol.writeField(&value, true), int(ERR_OK));
        answerData(m_reference, write(deviceTable, 1, field, flipped));
        QCOMPARE(readOverLine(m_protocol, table, 1, field),
                 answerData(m_reference, read(deviceTable, 1, field)));
        ++fields;
    }
    QVERIFY(fields > 0);
}

void TestSerialLine::dumpsToExactSize_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("firmware processor") << 17;
    QTest::newRow("fiscal memory processor") << 2;
}

void TestSerialLine::dumpsToExactSize()
{
    QFETCH(int, kind);
    qint64 size = 0;
    QCOMPARE(m_protocol.startReadFW(kind, &size), int(ERR_OK));
    QByteArray dump;
    int outcome;
    while ((outcome = m_protocol.readFWBlock(&dump)) == ERR_OK)
        QVERIFY(dump.size() <= size);
    QCOMPARE(outcome, 1);
    QCOMPARE(dump.size(), int(size));
    QCOMPARE(dump, wholeDump(m_reference, kind));
}

void TestSerialLine::silentRegisterFailsWithinLimits()
{
    QByteArray data;
    QCOMPARE(readRaw(m_protocol, 1, 1, 4, data), int(ERR_OK));
    QCOMPARE(::kill(pid_t(m_register.pid()), SIGSTOP), 0);
    QElapsedTimer timer;
    timer.start();
    const int outcome = readRaw(m_protocol, 1, 2, 4, data);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(::kill(pid_t(m_register.pid()), SIGCONT), 0);
    QCOMPARE(outcome, int(ERR_DEVICE));
    QVERIFY2(elapsed < SilenceLimitMs, qPrintable(QString::number(elapsed)));

    // Once the register is back, the next connection works.
    m_protocol.closePort();
    QCOMPARE(m_protocol.openPort(portOf(m_register)), int(ERR_OK));
    QCOMPARE(readOverLine(m_protocol, 1, 2, 4), answerData(m_reference, read(1, 2, 4)));
}

void TestSerialLine::keepsStateAcrossRestart()
{
    QTemporaryDir directory;
    const QStringList arguments{QStringLiteral("--state"), directory.filePath("register.state"),
                                QStringLiteral("--goods"), QStringLiteral("3")};
    const QByteArray name = QByteArray("KEPT").leftJustified(64, ' ');
    FieldBase value(1, 3, 1, name.size());
    value.setRawData(name);
    {
        RegisterProcess first;
        QVERIFY(first.start(arguments));
        protocolPelto protocol;
        QCOMPARE(protocol.openPort(portOf(first)), int(ERR_OK));
        QCOMPARE(protocol.writeField(&value, true), int(ERR_OK));
        protocol.closePort();
        QVERIFY(!first.stop().isEmpty());
    }
    RegisterProcess second;
    QVERIFY(second.start(arguments));
    protocolPelto protocol;
    QCOMPARE(protocol.openPort(portOf(second)), int(ERR_OK));
    QCOMPARE(readOverLine(protocol, 1, 3, 1), name);
    // The saved goods table size wins over a new --goods.
    FieldList fields;
    QCOMPARE(protocol.readRow(1, 4, &fields), int(ERR_DEVICE_WRONG_ROW));
}

// A location that does not open is tested with the built-in register.
void TestSerialLine::silentLineIsNoRegister()
{
    PseudoTerminal silentLine;
    QString error;
    QVERIFY2(silentLine.open(error), qPrintable(error));
    AutomationObject driver;
    driver.setControl(QStringLiteral("AddIn.Velmar"));
    driver.setProperty("PortName", silentLine.slavePath());

    QElapsedTimer timer;
    timer.start();
    driver.setProperty("DeviceEnabled", true);
    QVERIFY2(timer.elapsed() < SilenceLimitMs, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(driver.property("ResultDescription").toString(),
             QStringLiteral("Нет связи (%1). ККТ не отвечает: проверьте питание ККТ, кабель и "
                            "скорость обмена.")
                 .arg(silentLine.slavePath()));
    QVERIFY(!driver.property("DeviceEnabled").toBool());
}

// At 2400 baud a goods name's frame alone is longer on the wire than the
// ACK timeout; the wait for its ACK starts when it is out, not when written.
void TestSerialLine::writesAtTheSlowestRate()
{
    RegisterProcess slowRegister;
    QVERIFY(slowRegister.start({"--baud", "2400", "--goods", "1"}));
    protocolPelto protocol;
    protocol.setBaudRateCode(10);
    QCOMPARE(protocol.openPort(portOf(slowRegister)), int(ERR_OK));
    const QByteArray name = QByteArray("SLOW LINE").leftJustified(64, ' ');
    FieldBase value(1, 1, 1, name.size());
    value.setRawData(name);
    QCOMPARE(protocol.writeField(&value, true), int(ERR_OK));
    QCOMPARE(readOverLine(protocol, 1, 1, 1), name);
}

QTEST_GUILESS_MAIN(TestSerialLine)
#include "tst_serialline.moc"
