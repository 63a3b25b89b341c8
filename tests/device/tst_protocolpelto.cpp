#include "automationregistry.h"
#include "errorcode.h"
#include "exchangejournal.h"
#include "fieldtypes.h"
#include "logcapture.h"
#include "protocolpelto.h"
#include "scripteddriver.h"
#include "testdata.h"

#include <QRegularExpression>

#include <memory>

namespace {

const PortInfo builtInPort(QStringLiteral("EMU1"), QString(), QStringLiteral("emulator:builtin"));
const QString malformedLine = QStringLiteral("writeToDrellPort() -> failed. Response: ");

} // namespace

class TestProtocolPelto : public QObject
{
    Q_OBJECT
    std::unique_ptr<protocolPelto> m_protocol;
    ScriptedDriver *driver() const { return ScriptedDriver::current; }

    void scriptFailure(const QString &operation, int code)
    {
        driver()->failOn = operation;
        driver()->failCode = code;
    }

    // Opens the port and forgets the calls of the connect; then scripts the
    // answer of the next exchange and, unless 0, the driver's result code.
    void openBuiltInPort(const QString &answer = QString(), int resultCode = 0)
    {
        QCOMPARE(m_protocol->openPort(builtInPort), 0);
        driver()->calls.clear();
        driver()->answers = QStringList{answer};
        if (resultCode != 0)
            scriptFailure("RunCommand()", resultCode);
    }

    // What a read of one field returns: 0, or the code it throws.
    int readFieldResult()
    {
        try {
            delete m_protocol->readField(FIELD_BIN, 1, 1, 1);
        } catch (ErrorCode error) {
            return error;
        }
        return 0;
    }

private slots:
    void init()
    {
        ScriptedDriver::install();
        m_protocol = std::make_unique<protocolPelto>();
    }

    void connectsAndDisconnects_data()
    {
        columns<PortInfo, int>("port", "portNumber");
        QTest::newRow("COM3") << PortInfo("COM3", "", "/dev/ttyS2") << 1003;
        QTest::newRow("built-in register") << builtInPort << 1001;
        QTest::newRow("not a number") << PortInfo("ttyUSB0", "", "/dev/ttyUSB0") << 1000;
        QTest::newRow("no port") << PortInfo() << 1000;
    }

    void connectsAndDisconnects()
    {
        const auto [port, portNumber] = fetch<PortInfo, int>("port", "portNumber");
        QCOMPARE(m_protocol->openPort(port), 0);

        QStringList calls = driver()->calls;
        QVERIFY(calls.value(1).startsWith("DeviceSettings="));
        calls[1] = "DeviceSettings";
        const QStringList expected = {"AddDevice()",
                                      "DeviceSettings",
                                      "PortNumber=" + QString::number(portNumber),
                                      "PortName=" + port.systemLocation(),
                                      "DeviceEnabled=true",
                                      "Mode=4",
                                      "Password=",
                                      "SetMode()"};
        QCOMPARE(calls, expected);

        driver()->values.insert("ResultCode", -1);
        QCOMPARE(m_protocol->closePort(), 0);
        QCOMPARE(driver()->calls.last(), "DeviceEnabled=false");
    }

    void openPortWritesDeviceSettings()
    {
        openBuiltInPort();
        const QString settings = driver()->getDeviceSettings();
        QVERIFY(settings.endsWith('\n'));
        const QStringList lines = settings.chopped(1).split('\n');
        QCOMPARE(lines.size(), 12);
        const QStringList fixed = {"DeviceNumber=1",  "DeviceName=Korvan Tessel",
                                   "MachineName=",    "PortNumber=1001",
                                   "BaudRate=18",     "Model=72",
                                   "AccessPassword=", "UseAccessPassword=1",
                                   "WriteLogFile=1"};
        QCOMPARE(lines.mid(0, 9), fixed);
        QVERIFY(QRegularExpression("^DefaultPassword=\\d\\d$").match(lines.at(9)).hasMatch());
        const QRegularExpression privateHost(
            "^HostAddress=(10|172\\.(1[6-9]|2\\d|3[01])|192\\.168)(\\.\\d{1,3}){2,3}:\\d{1,5}$");
        QVERIFY2(privateHost.match(lines.at(10)).hasMatch(), qPrintable(lines.at(10)));
        QCOMPARE(lines.at(11), "InvertDrawerState=0");

        // The line's rate is the user's choice; an unknown code keeps the last one.
        m_protocol->setBaudRateCode(12);
        m_protocol->setBaudRateCode(22);
        openBuiltInPort();
        QVERIFY(driver()->getDeviceSettings().contains("\nBaudRate=12\n"));
    }

    // The failure shows in the ResultCode read after the step's last call.
    void openPortFailsAtEachStep_data()
    {
        columns<QString, int>("operation", "callsBeforeDisable");
        QTest::newRow("AddDevice") << "AddDevice()" << 2;
        QTest::newRow("DeviceSettings") << "DeviceSettings" << 2;
        QTest::newRow("PortNumber") << "PortNumber" << 4;
        QTest::newRow("PortName") << "PortName" << 4;
        QTest::newRow("DeviceEnabled") << "DeviceEnabled" << 5;
        QTest::newRow("Mode") << "Mode" << 8;
        QTest::newRow("SetMode") << "SetMode()" << 8;
    }

    void openPortFailsAtEachStep()
    {
        const auto [operation, callsBeforeDisable] =
            fetch<QString, int>("operation", "callsBeforeDisable");
        // The component exists only after the first connect; script it from then on.
        openBuiltInPort();
        scriptFailure(operation, -1);
        QCOMPARE(m_protocol->openPort(builtInPort), int(ERR_PORT_NOT_OPEN));
        QCOMPARE(driver()->calls.size(), callsBeforeDisable + 1);
        QCOMPARE(driver()->calls.last(), "DeviceEnabled=false");
    }

    // Identifying and entering the mode change nothing, so they are retried
    // like any exchange without an answer; a refusal is not.
    void retriesConnectWithoutAnswer_data()
    {
        columns<QString, int, int, int, int>("operation", "failures", "failCode", "code", "tries");
        QTest::newRow("identified at the second try") << "DeviceEnabled" << 1 << -1 << 0 << 2;
        QTest::newRow("mode entered at the last try") << "SetMode()" << 2 << -1 << 0 << 3;
        QTest::newRow("no answer beyond the retries")
            << "SetMode()" << -1 << -1 << int(ERR_PORT_NOT_OPEN) << 3;
        QTest::newRow("a refused password is an answer")
            << "SetMode()" << -1 << -16 << int(ERR_PORT_NOT_OPEN) << 1;
    }

    void retriesConnectWithoutAnswer()
    {
        const auto [operation, failures, failCode, code, tries] =
            fetch<QString, int, int, int, int>("operation", "failures", "failCode", "code",
                                               "tries");
        openBuiltInPort();
        m_protocol->setRetries(2);
        driver()->calls.clear();
        scriptFailure(operation, failCode);
        driver()->failures = failures;
        QCOMPARE(m_protocol->openPort(builtInPort), code);
        const QString call = operation == "DeviceEnabled" ? "DeviceEnabled=true" : operation;
        QCOMPARE(driver()->calls.count(call), tries);
        QCOMPARE(m_protocol->retriesDone(), tries - 1);
    }

    // The window shows the warning in a box; the command line has it as the cause.
    void openPortWarnsWithoutComponent()
    {
        AutomationRegistry::unregisterComponent("AddIn.Velmar");
        QStringList shown;
        m_protocol->setWarningBox(
            [&shown](const QString &title, const QString &text) { shown << title << text; });
        QCOMPARE(m_protocol->openPort(builtInPort), int(ERR_PORT_NOT_OPEN));
        QCOMPARE(shown, QStringList({"Ошибка", "Не удалось создать объект драйвера ККМ Korvan"}));
        QCOMPARE(m_protocol->failureCause(), "Не удалось создать объект драйвера ККМ Korvan");
    }

    void readFieldSendsAddress_data()
    {
        columns<int, int, int, QString>("table", "row", "field", "command");
        QTest::newRow("logical 7 is register 13") << 7 << 258 << 2 << "460d010202";
        QTest::newRow("unknown table") << 10 << 1 << 1 << "4600000101";
    }

    void readFieldSendsAddress()
    {
        const auto [table, row, field, command] =
            fetch<int, int, int, QString>("table", "row", "field", "command");
        openBuiltInPort("550001020304");
        const std::unique_ptr<FieldBase> value(m_protocol->readField(FIELD_STR, table, row, field));
        QCOMPARE(driver()->sentCommands(), QStringList{command});
        QCOMPARE(value->width(), 4);
        QCOMPARE(value->rawData(), QByteArray::fromHex("01020304"));
        QCOMPARE(value->tableNumber(), table);
        QCOMPARE(value->rowNumber(), row);
        QCOMPARE(value->fieldNumber(), field);
    }

    void readFieldThrowsFailures_data()
    {
        columns<int, QString, int, QStringList>("resultCode", "answer", "code", "logLines");
        const QList<QPair<int, int>> driverResults = {
            {-3839, -258}, {-3840, -259}, {-3841, -260}, {-17, 1}, {-5, -511}};
        for (const auto &[result, code] : driverResults)
            QTest::addRow("driver %d", result) << result << "5500" << code << QStringList();
        const QList<QPair<const char *, int>> errorBytes = {
            {"18", 1}, {"91", -258}, {"92", -259}, {"93", -260}, {"05", -511}};
        for (const auto &[error, code] : errorBytes)
            QTest::addRow("error %s", error) << 0 << "55" + QString(error) << code << QStringList();
        QTest::newRow("one byte") << 0 << "55" << -97 << QStringList{malformedLine + "55"};
        QTest::newRow("no answer") << 0 << "" << -97 << QStringList{malformedLine};
        QTest::newRow("wrong mark")
            << 0 << "5400aa" << -97 << QStringList{malformedLine + "54 00 aa"};
    }

    void readFieldThrowsFailures()
    {
        const auto [resultCode, answer, code, logLines] =
            fetch<int, QString, int, QStringList>("resultCode", "answer", "code", "logLines");
        openBuiltInPort(answer, resultCode);
        LogCapture log;
        const int thrown = readFieldResult();
        QCOMPARE(thrown, code);
        QCOMPARE(log.lines().filter(QRegularExpression("^writeToDrellPort\\(\\)")), logLines);
    }

    // An exchange that got no answer goes out again as it was, up to the
    // retries set, each noted in the log; one the register answered does not.
    // A dump block's 258-byte answer gets the tries of five short exchanges.
    void retriesExchangesWithoutAnswer_data()
    {
        columns<QString, int, int, int, int, int>("exchange", "retries", "failures", "failCode",
                                                  "code", "sends");
        QTest::newRow("answered at the second send") << "read" << 2 << 1 << -1 << 0 << 2;
        QTest::newRow("answered at the last send") << "read" << 2 << 2 << -1 << 0 << 3;
        QTest::newRow("no answer beyond the retries")
            << "read" << 2 << -1 << -1 << int(ERR_DEVICE) << 3;
        QTest::newRow("no retries") << "read" << 0 << 1 << -1 << int(ERR_DEVICE) << 1;
        QTest::newRow("a refusal is an answer") << "read" << 2 << -1 << -3840 << -259 << 1;
        QTest::newRow("a write answered at the second send") << "write" << 2 << 1 << -1 << 0 << 2;
        QTest::newRow("a write without an answer")
            << "write" << 1 << -1 << -1 << int(ERR_DEVICE) << 2;
        QTest::newRow("a dump block answered at its last send")
            << "dump" << 2 << 14 << -1 << 0 << 15;
        QTest::newRow("a dump block without an answer")
            << "dump" << 1 << -1 << -1 << int(ERR_DEVICE) << 10;
        QTest::newRow("a dump block, no retries") << "dump" << 0 << 1 << -1 << int(ERR_DEVICE) << 1;
    }

    void retriesExchangesWithoutAnswer()
    {
        const auto [exchange, retries, failures, failCode, code, sends] =
            fetch<QString, int, int, int, int, int>("exchange", "retries", "failures", "failCode",
                                                    "code", "sends");
        const bool write = exchange == "write";
        m_protocol->setRetries(retries);
        openBuiltInPort();
        ExchangeJournal journal;
        m_protocol->setExchangeObserver(&journal);
        driver()->answers = QVector<QString>(sends, write ? "5500" : "5500aabbccdd").toList();
        scriptFailure("RunCommand()", failCode);
        driver()->failures = failures;
        LogCapture log;
        FieldBase value(2, 5, 3, 2);
        value.setRawData(QByteArray::fromHex("0102"));
        QByteArray block;
        const int result = write                ? m_protocol->writeField(&value, true)
                           : exchange == "dump" ? m_protocol->readFWBlock(&block)
                                                : readFieldResult();
        QCOMPARE(result, code);
        QCOMPARE(m_protocol->fieldsWritten(), write && code == 0 ? 1 : 0);
        const QStringList sent = driver()->sentCommands();
        QCOMPARE(sent.size(), sends);
        QCOMPARE(QSet<QString>(sent.begin(), sent.end()).size(), 1);
        QCOMPARE(m_protocol->retriesDone(), sends - 1);
        QCOMPARE(log.lines().filter("no answer, retry").size(), sends - 1);
        // One exchange however many tries; a refusal is an answer.
        const bool failed = code != 0 && failCode == -1;
        QCOMPARE(journal.size(), 1);
        QCOMPARE(int(journal.at(0).retries), sends - 1);
        QCOMPARE(journal.at(0).failed, failed);
        QCOMPARE(journal.at(0).failure, failed ? QString("result -1") : QString());
        QCOMPARE(journal.at(0).result, code);
        QCOMPARE(m_protocol->exchangeCounts().failures, sends - 1 + (failed ? 1 : 0));
        m_protocol->setExchangeObserver(nullptr);
    }

    // A read whose port went away connects again once the port is back and
    // goes on; a wait that is stopped or a dump block gives up at once.
    void waitsForGonePort_data()
    {
        columns<bool, int, bool, int, int>("dump", "failures", "keepWaiting", "code", "connects");
        QTest::newRow("back at the first look") << false << 1 << true << 0 << 1;
        QTest::newRow("gone again, back again") << false << 2 << true << 0 << 2;
        QTest::newRow("wait stopped") << false << 1 << false << int(ERR_CANCELLED) << 0;
        QTest::newRow("a dump block never waits") << true << 1 << true << int(ERR_DEVICE) << 0;
    }

    void waitsForGonePort()
    {
        const auto [dump, failures, keepWaiting, code, connects] =
            fetch<bool, int, bool, int, int>("dump", "failures", "keepWaiting", "code", "connects");
        QStringList waits;
        m_protocol->setPortWait(5000, [&, keepWaiting = keepWaiting](bool waiting, qint64) {
            waits << (waiting ? "waiting" : "done");
            return keepWaiting;
        });
        openBuiltInPort();
        driver()->answers = QVector<QString>(failures + 1, "5500aabbccdd").toList();
        scriptFailure("RunCommand()", -13);
        driver()->failures = failures;
        // A new connection starts with the device disabled, which clears the failure.
        driver()->clearOn = "DeviceEnabled";
        int result = 0;
        if (dump) {
            QByteArray block;
            result = m_protocol->readFWBlock(&block);
        } else {
            result = readFieldResult();
        }
        QCOMPARE(result, code);
        QCOMPARE(driver()->calls.count("DeviceEnabled=true"), connects);
        QCOMPARE(waits.count("done"), dump ? 0 : qMin(failures, connects + 1));
        QCOMPARE(m_protocol->retriesDone(), 0);
    }

    void writeFieldResetsNeedResult_data()
    {
        columns<bool, int, int, QStringList>("flag", "resultCode", "code", "before");
        QTest::newRow("flag true") << true << 0 << 0 << QStringList();
        QTest::newRow("flag false") << false << 0 << 0 << QStringList{"NeedResult=2"};
        QTest::newRow("failed exchange") << false << -3840 << -259 << QStringList{"NeedResult=2"};
    }

    void writeFieldResetsNeedResult()
    {
        const auto [flag, resultCode, code, before] =
            fetch<bool, int, int, QStringList>("flag", "resultCode", "code", "before");
        openBuiltInPort("5500", resultCode);
        // The outcome must be read before NeedResult is reset, which a driver may
        // answer with a ResultCode of its own.
        driver()->clearOn = "NeedResult";
        FieldBase value(2, 5, 3, 2);
        value.setRawData(QByteArray::fromHex("0102"));
        QCOMPARE(m_protocol->writeField(&value, flag), code);
        QCOMPARE(m_protocol->failureCause(),
                 resultCode == 0 ? QString() : QStringLiteral("result %1").arg(resultCode));
        const QStringList expected =
            before + QStringList{"StreamFormat=3", "OutboundStream=50020005030102",
                                 "ENQTimeout=20000", "RunCommand()", "NeedResult=0"};
        QCOMPARE(driver()->calls, expected);
    }

    void readRowLearnsWidthsOncePerTable()
    {
        openBuiltInPort();
        // Table 1 has seven fields; the first is two bytes wide, the others one.
        driver()->answers = QStringList{"5500aabb", "550001", "550002", "550003",
                                        "550004",   "550005", "550006", "5500aabb010203040506"};
        FieldList fields;
        QCOMPARE(m_protocol->readRow(1, 1, &fields), 0);
        QCOMPARE(driver()->sentCommands(),
                 QStringList({"4601000101", "4601000102", "4601000103", "4601000104", "4601000105",
                              "4601000106", "4601000107", "4601000100"}));
        QCOMPARE(fields.size(), 7);
        QCOMPARE(fields.at(0)->width(), 2);

        // A short record leaves the last fields without bytes.
        driver()->calls.clear();
        driver()->answers = QStringList{"5500ccdd0708"};
        QCOMPARE(m_protocol->readRow(1, 2, &fields), 0);
        QCOMPARE(driver()->sentCommands(), QStringList{"4601000200"});
        QCOMPARE(fields.at(0)->rawData(), QByteArray::fromHex("ccdd"));
        QCOMPARE(fields.at(1)->rawData(), QByteArray::fromHex("07"));
        QCOMPARE(fields.at(2)->rawData(), QByteArray::fromHex("08"));
        QCOMPARE(fields.at(3)->rawData(), QByteArray());
        QCOMPARE(fields.at(0)->rowNumber(), 1);

        // A list of its own, in a connection that knows the widths, gets a
        // value per field from the one exchange.
        driver()->calls.clear();
        driver()->answers = QStringList{"5500eeff0a0b0c0d0e0f"};
        FieldList another;
        QCOMPARE(m_protocol->readRow(1, 5, &another), 0);
        QCOMPARE(driver()->sentCommands(), QStringList{"4601000500"});
        QCOMPARE(another.size(), 7);
        QCOMPARE(another.at(0)->rawData(), QByteArray::fromHex("eeff"));
        QCOMPARE(another.at(6)->rawData(), QByteArray::fromHex("0f"));
        QCOMPARE(another.at(6)->fieldNumber(), 7);

        // Another table's record is laid out anew, in the same connection.
        driver()->calls.clear();
        driver()->answers = QStringList{"550001020304", "5500aa", "550001020304bb"};
        QCOMPARE(m_protocol->readRow(3, 1, &fields), 0);
        QCOMPARE(driver()->sentCommands(), QStringList({"4603000101", "4603000102", "4603000100"}));
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(1)->rawData(), QByteArray::fromHex("bb"));
    }

    void readRowReturnsLearningFailure()
    {
        openBuiltInPort("5592");
        FieldList fields{QSharedPointer<FieldBase>(new FieldBase(1, 9, 1, 1))};
        QCOMPARE(m_protocol->readRow(1, 9, &fields), int(ERR_DEVICE_WRONG_ROW));
        QCOMPARE(driver()->sentCommands(), QStringList{"4601000901"});
        QVERIFY(fields.isEmpty());

        // Widths cut short are learned again rather than taken for the record's.
        driver()->answers = QStringList{"5500aabb", "550001", "5592"};
        QCOMPARE(m_protocol->readRow(1, 1, &fields), int(ERR_DEVICE_WRONG_ROW));
        driver()->calls.clear();
        driver()->answers = QStringList{"5500aabb", "550001", "550002", "550003",
                                        "550004",   "550005", "550006", "5500aabb010203040506"};
        QCOMPARE(m_protocol->readRow(1, 1, &fields), 0);
        QCOMPARE(driver()->sentCommands().size(), 8);
        QCOMPARE(fields.size(), 7);
    }

    void readDeviceInfo_data()
    {
        columns<QString, QVariant, int, QString>("failOn", "majorVersion", "code", "info");
        QTest::newRow("identification") << "" << QVariant(3) << 0 << "X, 3.0.4567";
        QTest::newRow("driver failure") << "GetDeviceMetrics()" << QVariant(3) << -259 << "";
        QTest::newRow("unreadable version") << "" << QVariant("3") << 0 << ", 0.0.0";
    }

    void readDeviceInfo()
    {
        const auto [failOn, majorVersion, code, info] =
            fetch<QString, QVariant, int, QString>("failOn", "majorVersion", "code", "info");
        openBuiltInPort();
        for (const char *name : {"UProtocolVersion", "UType", "UModel", "UMode", "UCodePage"})
            driver()->values.insert(name, 1);
        driver()->values.insert("UMajorVersion", majorVersion);
        driver()->values.insert("UMinorVersion", 0);
        driver()->values.insert("UBuild", 4567);
        driver()->values.insert("UDescription", "X");
        scriptFailure(failOn, -3840);
        QString text = "old";
        QCOMPARE(m_protocol->readDeviceInfo(&text), code);
        QCOMPARE(text, info);
    }

    void startReadFW_data()
    {
        columns<QString, int, qint64, QStringList>("answer", "code", "size", "logLines");
        QTest::newRow("64 KiB") << "5500010000" << 0 << qint64(65536) << QStringList();
        QTest::newRow("extra bytes ignored")
            << "55000102030405" << 0 << qint64(66051) << QStringList();
        QTest::newRow("unsigned bytes") << "5500ffffff" << 0 << qint64(16777215) << QStringList();
        QTest::newRow("short size")
            << "55000100" << -97 << qint64(-1)
            << QStringList{"protocolPelto::startReadFW failed. Response data: 01 00"};
        QTest::newRow("no more data") << "5518" << 1 << qint64(-1) << QStringList();
    }

    void startReadFW()
    {
        const auto [answer, code, size, logLines] =
            fetch<QString, int, qint64, QStringList>("answer", "code", "size", "logLines");
        openBuiltInPort(answer);
        LogCapture log;
        qint64 announced = -1;
        QCOMPARE(m_protocol->startReadFW(17, &announced), code);
        QCOMPARE(driver()->sentCommands(), QStringList{"9c11"});
        QCOMPARE(announced, size);
        QCOMPARE(log.lines().filter(QRegularExpression("^protocolPelto::startReadFW")), logLines);
    }

    void readFWBlock_data()
    {
        columns<int, QString, int, QByteArray>("resultCode", "answer", "code", "dump");
        QTest::newRow("block") << 0 << "5500aabb" << 0 << QByteArray::fromHex("01aabb");
        QTest::newRow("empty block") << 0 << "5500" << 0 << QByteArray::fromHex("01");
        QTest::newRow("register done") << 0 << "5518" << 1 << QByteArray::fromHex("01");
        QTest::newRow("driver done") << -17 << "5500aa" << 1 << QByteArray::fromHex("01");
    }

    void readFWBlock()
    {
        const auto [resultCode, answer, code, dump] =
            fetch<int, QString, int, QByteArray>("resultCode", "answer", "code", "dump");
        openBuiltInPort(answer, resultCode);
        QByteArray collected = QByteArray::fromHex("01");
        QCOMPARE(m_protocol->readFWBlock(&collected), code);
        QCOMPARE(driver()->sentCommands(), QStringList{"84"});
        QCOMPARE(collected, dump);
    }
};

QTEST_MAIN(TestProtocolPelto)
#include "tst_protocolpelto.moc"
