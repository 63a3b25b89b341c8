#include "automationregistry.h"
#include "errorcode.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "logcapture.h"
#include "scripteddriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const PortInfo builtInPort(QStringLiteral("EMU1"), QString(), QStringLiteral("emulator:builtin"));
const QString malformedLine = QStringLiteral("writeToDrellPort() -> failed. Response: ");

QStringList linesStartingWith(const QStringList &lines, const QString &prefix)
{
    QStringList found;
    for (const QString &line : lines)
        if (line.startsWith(prefix))
            found.append(line);
    return found;
}

} // namespace

class TestProtocolPelto : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void connectsAndDisconnects_data();
    void connectsAndDisconnects();
    void openPortWritesDeviceSettings();
    void openPortFailsAtEachStep_data();
    void openPortFailsAtEachStep();
    void openPortWarnsWithoutComponent();
    void readFieldSendsAddress_data();
    void readFieldSendsAddress();
    void readFieldThrowsFailures_data();
    void readFieldThrowsFailures();
    void writeFieldResetsNeedResult_data();
    void writeFieldResetsNeedResult();
    void readRowLearnsWidthsOnce();
    void readRowReturnsLearningFailure();
    void readDeviceInfo_data();
    void readDeviceInfo();
    void startReadFW_data();
    void startReadFW();
    void readFWBlock_data();
    void readFWBlock();

private:
    // Opens the port and forgets the calls of the connect.
    void openBuiltInPort();
    ScriptedDriver *driver() const { return ScriptedDriver::current; }
    void scriptFailure(const QString &operation, int code);

    std::unique_ptr<protocolPelto> m_protocol;
};

void TestProtocolPelto::init()
{
    ScriptedDriver::install();
    m_protocol = std::make_unique<protocolPelto>();
}

void TestProtocolPelto::openBuiltInPort()
{
    QCOMPARE(m_protocol->openPort(builtInPort), 0);
    driver()->calls.clear();
}

void TestProtocolPelto::scriptFailure(const QString &operation, int code)
{
    driver()->failOn = operation;
    driver()->failCode = code;
}

void TestProtocolPelto::connectsAndDisconnects_data()
{
    QTest::addColumn<PortInfo>("port");
    QTest::addColumn<int>("portNumber");
    QTest::newRow("COM3") << PortInfo("COM3", "", "/dev/ttyS2") << 1003;
    QTest::newRow("built-in register") << builtInPort << 1001;
    QTest::newRow("not a number") << PortInfo("ttyUSB0", "", "/dev/ttyUSB0") << 1000;
    QTest::newRow("no port") << PortInfo() << 1000;
}

void TestProtocolPelto::connectsAndDisconnects()
{
    QFETCH(PortInfo, port);
    QFETCH(int, portNumber);

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

void TestProtocolPelto::openPortWritesDeviceSettings()
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
}

void TestProtocolPelto::openPortFailsAtEachStep_data()
{
    // The failure shows in the ResultCode read after the step's last call.
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("callsBeforeDisable");
    QTest::newRow("AddDevice") << "AddDevice()" << 2;
    QTest::newRow("DeviceSettings") << "DeviceSettings" << 2;
    QTest::newRow("PortNumber") << "PortNumber" << 4;
    QTest::newRow("PortName") << "PortName" << 4;
    QTest::newRow("DeviceEnabled") << "DeviceEnabled" << 5;
    QTest::newRow("Mode") << "Mode" << 8;
    QTest::newRow("SetMode") << "SetMode()" << 8;
}

void TestProtocolPelto::openPortFailsAtEachStep()
{
    QFETCH(QString, operation);
    QFETCH(int, callsBeforeDisable);
    // The component exists only after the first connect; script it from then on.
    openBuiltInPort();
    scriptFailure(operation, -1);

    QCOMPARE(m_protocol->openPort(builtInPort), int(ERR_PORT_NOT_OPEN));

    QCOMPARE(driver()->calls.size(), callsBeforeDisable + 1);
    QCOMPARE(driver()->calls.last(), "DeviceEnabled=false");
}

void TestProtocolPelto::openPortWarnsWithoutComponent()
{
    AutomationRegistry::unregisterComponent("AddIn.Velmar");
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer answerBox;
    connect(&answerBox, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        buttons = box->standardButtons();
        icon = box->icon();
        box->close();
    });
    answerBox.start(10);

    QCOMPARE(m_protocol->openPort(builtInPort), int(ERR_PORT_NOT_OPEN));

    QCOMPARE(title, "Ошибка");
    QCOMPARE(text, "Не удалось создать объект драйвера ККМ Korvan");
    QCOMPARE(buttons, QMessageBox::Ok);
    QCOMPARE(icon, QMessageBox::Warning);
}

void TestProtocolPelto::readFieldSendsAddress_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("command");
    QTest::newRow("table 1") << 1 << 1 << 1 << "4601000101";
    QTest::newRow("logical 7 is register 13") << 7 << 258 << 2 << "460d010202";
    QTest::newRow("unknown table") << 10 << 1 << 1 << "4600000101";
}

void TestProtocolPelto::readFieldSendsAddress()
{
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, field);
    QFETCH(QString, command);
    openBuiltInPort();
    driver()->answers = QStringList{"550001020304"};

    const std::unique_ptr<FieldBase> value(m_protocol->readField(FIELD_STR, table, row, field));

    QCOMPARE(driver()->sentCommands(), QStringList{command});
    QCOMPARE(value->width(), 4);
    QCOMPARE(value->rawData(), QByteArray::fromHex("01020304"));
    QCOMPARE(value->tableNumber(), table);
    QCOMPARE(value->rowNumber(), row);
    QCOMPARE(value->fieldNumber(), field);
}

void TestProtocolPelto::readFieldThrowsFailures_data()
{
    QTest::addColumn<int>("resultCode");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("logLines");
    QTest::newRow("driver -3839") << -3839 << "5500" << -258 << QStringList();
    QTest::newRow("driver -3840") << -3840 << "5500" << -259 << QStringList();
    QTest::newRow("driver -3841") << -3841 << "5500" << -260 << QStringList();
    QTest::newRow("driver -17") << -17 << "5500" << 1 << QStringList();
    QTest::newRow("driver other") << -5 << "5500" << -511 << QStringList();
    QTest::newRow("error 0x18") << 0 << "5518" << 1 << QStringList();
    QTest::newRow("error 0x91") << 0 << "5591" << -258 << QStringList();
    QTest::newRow("error 0x92") << 0 << "5592" << -259 << QStringList();
    QTest::newRow("error 0x93") << 0 << "5593" << -260 << QStringList();
    QTest::newRow("error other") << 0 << "5505" << -511 << QStringList();
    QTest::newRow("one byte") << 0 << "55" << -97 << QStringList{malformedLine + "55"};
    QTest::newRow("no answer") << 0 << "" << -97 << QStringList{malformedLine};
    QTest::newRow("wrong mark") << 0 << "5400aa" << -97 << QStringList{malformedLine + "54 00 aa"};
}

void TestProtocolPelto::readFieldThrowsFailures()
{
    QFETCH(int, resultCode);
    QFETCH(QString, answer);
    QFETCH(int, code);
    QFETCH(QStringList, logLines);
    openBuiltInPort();
    driver()->answers = QStringList{answer};
    if (resultCode != 0)
        scriptFailure("RunCommand()", resultCode);
    LogCapture log;

    int thrown = 0;
    try {
        delete m_protocol->readField(FIELD_BIN, 1, 1, 1);
    } catch (ErrorCode error) {
        thrown = error;
    }

    QCOMPARE(thrown, code);
    QCOMPARE(linesStartingWith(log.lines(), "writeToDrellPort()"), logLines);
}

void TestProtocolPelto::writeFieldResetsNeedResult_data()
{
    QTest::addColumn<bool>("flag");
    QTest::addColumn<int>("resultCode");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("before");
    QTest::newRow("flag true") << true << 0 << 0 << QStringList();
    QTest::newRow("flag false") << false << 0 << 0 << QStringList{"NeedResult=2"};
    QTest::newRow("failed exchange") << false << -3840 << -259 << QStringList{"NeedResult=2"};
}

void TestProtocolPelto::writeFieldResetsNeedResult()
{
    QFETCH(bool, flag);
    QFETCH(int, resultCode);
    QFETCH(int, code);
    QFETCH(QStringList, before);
    openBuiltInPort();
    driver()->answers = QStringList{"5500"};
    if (resultCode != 0)
        scriptFailure("RunCommand()", resultCode);
    // The outcome must be read before NeedResult is reset, which a driver may
    // answer with a ResultCode of its own.
    driver()->clearOn = "NeedResult";
    FieldBase value(2, 5, 3, 2);
    value.setRawData(QByteArray::fromHex("0102"));

    QCOMPARE(m_protocol->writeField(&value, flag), code);

    const QStringList expected =
        before + QStringList{"StreamFormat=3", "OutboundStream=50020005030102", "ENQTimeout=20000",
                             "RunCommand()", "NeedResult=0"};
    QCOMPARE(driver()->calls, expected);
}

void TestProtocolPelto::readRowLearnsWidthsOnce()
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
}

void TestProtocolPelto::readRowReturnsLearningFailure()
{
    openBuiltInPort();
    driver()->answers = QStringList{"5592"};
    FieldList fields{QSharedPointer<FieldBase>(new FieldBase(1, 9, 1, 1))};

    QCOMPARE(m_protocol->readRow(1, 9, &fields), int(ERR_DEVICE_WRONG_ROW));
    QCOMPARE(driver()->sentCommands(), QStringList{"4601000901"});
    QVERIFY(fields.isEmpty());
}

void TestProtocolPelto::readDeviceInfo_data()
{
    QTest::addColumn<QString>("failOn");
    QTest::addColumn<QVariant>("majorVersion");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("info");
    QTest::newRow("identification") << "" << QVariant(3) << 0 << "X, 3.0.4567";
    QTest::newRow("driver failure") << "GetDeviceMetrics()" << QVariant(3) << -259 << "";
    QTest::newRow("unreadable version") << "" << QVariant("3") << 0 << ", 0.0.0";
}

void TestProtocolPelto::readDeviceInfo()
{
    QFETCH(QString, failOn);
    QFETCH(QVariant, majorVersion);
    QFETCH(int, code);
    QFETCH(QString, info);
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

void TestProtocolPelto::startReadFW_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QStringList>("logLines");
    QTest::newRow("64 KiB") << "5500010000" << 0 << qint64(65536) << QStringList();
    QTest::newRow("extra bytes ignored") << "55000102030405" << 0 << qint64(66051) << QStringList();
    QTest::newRow("unsigned bytes") << "5500ffffff" << 0 << qint64(16777215) << QStringList();
    QTest::newRow("short size") << "55000100" << -97 << qint64(-1)
                                << QStringList{"protocolPelto::startReadFW failed. Response data: "
                                               "01 00"};
    QTest::newRow("no more data") << "5518" << 1 << qint64(-1) << QStringList();
}

void TestProtocolPelto::startReadFW()
{
    QFETCH(QString, answer);
    QFETCH(int, code);
    QFETCH(qint64, size);
    QFETCH(QStringList, logLines);
    openBuiltInPort();
    driver()->answers = QStringList{answer};
    LogCapture log;

    qint64 announced = -1;
    QCOMPARE(m_protocol->startReadFW(17, &announced), code);

    QCOMPARE(driver()->sentCommands(), QStringList{"9c11"});
    QCOMPARE(announced, size);
    QCOMPARE(linesStartingWith(log.lines(), "protocolPelto::startReadFW"), logLines);
}

void TestProtocolPelto::readFWBlock_data()
{
    QTest::addColumn<int>("resultCode");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("dump");
    QTest::newRow("block") << 0 << "5500aabb" << 0 << QByteArray::fromHex("01aabb");
    QTest::newRow("empty block") << 0 << "5500" << 0 << QByteArray::fromHex("01");
    QTest::newRow("register done") << 0 << "5518" << 1 << QByteArray::fromHex("01");
    QTest::newRow("driver done") << -17 << "5500aa" << 1 << QByteArray::fromHex("01");
}

void TestProtocolPelto::readFWBlock()
{
    QFETCH(int, resultCode);
    QFETCH(QString, answer);
    QFETCH(int, code);
    QFETCH(QByteArray, dump);
    openBuiltInPort();
    driver()->answers = QStringList{answer};
    if (resultCode != 0)
        scriptFailure("RunCommand()", resultCode);

    QByteArray collected = QByteArray::fromHex("01");
    QCOMPARE(m_protocol->readFWBlock(&collected), code);

    QCOMPARE(driver()->sentCommands(), QStringList{"84"});
    QCOMPARE(collected, dump);
}

QTEST_MAIN(TestProtocolPelto)
#include "tst_protocolpelto.moc"
