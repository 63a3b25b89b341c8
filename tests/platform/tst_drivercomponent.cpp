#include "automationobject.h"
#include "builtinregister.h"
#include "driverregistration.h"
#include "registerprotocol.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<AutomationObject> createDriver()
{
    auto driver = std::make_unique<AutomationObject>();
    driver->setControl(QStringLiteral("AddIn.Velmar"));
    return driver;
}

void enableBuiltInRegister(AutomationObject &driver)
{
    driver.setProperty("PortNumber", 1001);
    driver.setProperty("PortName", QString::fromLatin1(BuiltInRegister::Location));
    driver.setProperty("DeviceEnabled", true);
}

QString run(AutomationObject &driver, const QString &stream)
{
    driver.setProperty("StreamFormat", 3);
    driver.setProperty("OutboundStream", stream);
    driver.dynamicCall("RunCommand()");
    return driver.property("InboundStream").toString();
}

QString answerHex(RegisterProtocol::ErrorByte error)
{
    return QString::fromLatin1(RegisterProtocol::makeAnswer(error).toHex());
}

} // namespace

class TestDriverComponent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void appliesSettings_data();
    void appliesSettings();
    void entersModeWithPassword_data();
    void entersModeWithPassword();
    void enablesOnlyReachableLocations_data();
    void enablesOnlyReachableLocations();
    void runsCommands_data();
    void runsCommands();
    void readsDeviceMetrics();
    void sizesBuiltInGoodsTable_data();
    void sizesBuiltInGoodsTable();
};

void TestDriverComponent::initTestCase()
{
    registerDriverComponent();
    QVERIFY(!createDriver()->isNull());
}

void TestDriverComponent::appliesSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("portNumber");

    QTest::newRow("system's settings text")
        << QStringLiteral("DeviceNumber=1\nDeviceName=Korvan Tessel\nMachineName=\n"
                          "PortNumber=1001\nBaudRate=18\nModel=72\nAccessPassword=\n"
                          "UseAccessPassword=1\nWriteLogFile=1\nDefaultPassword=30\n"
                          "HostAddress=192.168.1.10:7778\nInvertDrawerState=0\n")
        << true << 1001;
    QTest::newRow("unknown keys ignored")
        << QStringLiteral("Foo=bar\nPortNumber=1007\n") << true << 1007;
    QTest::newRow("empty text") << QString() << true << 1005;
    QTest::newRow("line without equals sign")
        << QStringLiteral("PortNumber=1007\nBaudRate\n") << false << 1005;
    QTest::newRow("unknown baud rate code")
        << QStringLiteral("PortNumber=1007\nBaudRate=99\n") << false << 1005;
    QTest::newRow("port number not a number")
        << QStringLiteral("PortNumber=COM7\n") << false << 1005;
    QTest::newRow("goods count too large")
        << QStringLiteral("EmulatorGoodsCount=65536\n") << false << 1005;
}

void TestDriverComponent::appliesSettings()
{
    QFETCH(QString, settings);
    QFETCH(bool, accepted);
    QFETCH(int, portNumber);
    auto driver = createDriver();
    const QString before = QStringLiteral("PortNumber=1005\n");
    driver->setProperty("DeviceSettings", before);

    driver->setProperty("DeviceSettings", settings);

    QCOMPARE(driver->property("ResultCode").toInt() == 0, accepted);
    QCOMPARE(driver->property("DeviceSettings").toString(), accepted ? settings : before);
    QCOMPARE(driver->property("PortNumber").toInt(), portNumber);
    if (!accepted)
        QCOMPARE(driver->property("ResultDescription").toString(),
                 QStringLiteral("Некорректные настройки"));
}

void TestDriverComponent::entersModeWithPassword_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("built-in default password") << QString() << QString() << true;
    QTest::newRow("default password from settings")
        << QStringLiteral("DefaultPassword=30\n") << QString() << true;
    QTest::newRow("wrong default password")
        << QStringLiteral("DefaultPassword=31\n") << QString() << false;
    QTest::newRow("password overrides the default")
        << QStringLiteral("DefaultPassword=31\n") << QStringLiteral("30") << true;
    QTest::newRow("wrong password") << QString() << QStringLiteral("12") << false;
}

void TestDriverComponent::entersModeWithPassword()
{
    QFETCH(QString, settings);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    auto driver = createDriver();
    driver->setProperty("DeviceSettings", settings);
    enableBuiltInRegister(*driver);

    driver->setProperty("Mode", 4);
    driver->setProperty("Password", password);
    driver->dynamicCall("SetMode()");

    QCOMPARE(driver->property("ResultCode").toInt() == 0, accepted);
    if (!accepted)
        QCOMPARE(driver->property("ResultDescription").toString(),
                 QStringLiteral("Неверный пароль"));
    // Only the programming mode lets a goods flag be written.
    QCOMPARE(run(*driver, QStringLiteral("500100010701")),
             answerHex(accepted ? RegisterProtocol::NoError : RegisterProtocol::WrongMode));
}

void TestDriverComponent::enablesOnlyReachableLocations_data()
{
    QTest::addColumn<bool>("nameFirst");
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<QString>("description");

    const QString builtIn = QString::fromLatin1(BuiltInRegister::Location);
    QTest::newRow("built-in register") << false << builtIn << 1001 << QStringLiteral("Ошибок нет");
    QTest::newRow("serial device")
        << false << QStringLiteral("/dev/ttyUSB99") << 1001 << QStringLiteral("Порт недоступен");
    // COM99 maps to /dev/ttyS98, which no machine has.
    QTest::newRow("location from port number")
        << false << QString() << 1099 << QStringLiteral("Порт недоступен");
    QTest::newRow("no port") << false << QString() << 1000 << QStringLiteral("Порт недоступен");
    QTest::newRow("port number written after the name")
        << true << builtIn << 1099 << QStringLiteral("Порт недоступен");
}

void TestDriverComponent::enablesOnlyReachableLocations()
{
    QFETCH(bool, nameFirst);
    QFETCH(QString, portName);
    QFETCH(int, portNumber);
    QFETCH(QString, description);
    auto driver = createDriver();
    if (nameFirst)
        driver->setProperty("PortName", portName);
    driver->setProperty("PortNumber", portNumber);
    if (!nameFirst)
        driver->setProperty("PortName", portName);

    QElapsedTimer timer;
    timer.start();
    driver->setProperty("DeviceEnabled", true);
    QVERIFY(timer.elapsed() < 1000);

    const bool enabled = description == QStringLiteral("Ошибок нет");
    QCOMPARE(driver->property("ResultCode").toInt() == 0, enabled);
    QCOMPARE(driver->property("ResultDescription").toString(), description);
    QCOMPARE(driver->property("DeviceEnabled").toBool(), enabled);
}

void TestDriverComponent::runsCommands_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("description");

    const QString ok = QStringLiteral("Ошибок нет");
    const QString badStream = QStringLiteral("Некорректный поток данных");
    QTest::newRow("device not enabled") << false << QStringLiteral("9c11") << QString()
                                        << QStringLiteral("Устройство не подключено");
    QTest::newRow("upper-case digits")
        << true << QStringLiteral("9C11") << QStringLiteral("5500010000") << ok;
    QTest::newRow("answer in lower case")
        << true << QStringLiteral("9c02") << QStringLiteral("5500001f40") << ok;
    QTest::newRow("register error is an answer")
        << true << QStringLiteral("4611000901") << answerHex(RegisterProtocol::RowOutOfRange) << ok;
    QTest::newRow("empty command is sent")
        << true << QString() << answerHex(RegisterProtocol::BadLength) << ok;
    QTest::newRow("not a hex digit")
        << true << QStringLiteral("46010001g1") << QString() << badStream;
    QTest::newRow("odd digit count")
        << true << QStringLiteral("460100010") << QString() << badStream;
    QTest::newRow("separators") << true << QStringLiteral("46 01 00 01 01") << QString()
                                << badStream;
}

void TestDriverComponent::runsCommands()
{
    QFETCH(bool, enabled);
    QFETCH(QString, stream);
    QFETCH(QString, answer);
    QFETCH(QString, description);
    auto driver = createDriver();
    if (enabled)
        enableBuiltInRegister(*driver);
    driver->setProperty("ENQTimeout", 20000);

    QCOMPARE(run(*driver, stream), answer);
    QCOMPARE(driver->property("ResultCode").toInt() == 0, !answer.isEmpty());
    QCOMPARE(driver->property("ResultDescription").toString(), description);
}

void TestDriverComponent::readsDeviceMetrics()
{
    auto driver = createDriver();
    driver->dynamicCall("GetDeviceMetrics()");
    QVERIFY(driver->property("ResultCode").toInt() != 0);

    enableBuiltInRegister(*driver);
    driver->dynamicCall("GetDeviceMetrics()");
    QCOMPARE(driver->property("ResultCode").toInt(), 0);
    for (const char *name : {"UProtocolVersion", "UType", "UModel", "UMode", "UMajorVersion",
                             "UMinorVersion", "UBuild", "UCodePage"}) {
        QCOMPARE(driver->property(name).userType(), int(QMetaType::Int));
    }
    QCOMPARE(driver->property("UModel").toInt(), 72);
    QCOMPARE(driver->property("UCodePage").toInt(), 866);
    QVERIFY(!driver->property("UDescription").toString().isEmpty());
    QCOMPARE(driver->property("UMode").toInt(), 1);

    driver->setProperty("Mode", 4);
    driver->dynamicCall("SetMode()");
    driver->dynamicCall("GetDeviceMetrics()");
    QCOMPARE(driver->property("UMode").toInt(), 4);
}

void TestDriverComponent::sizesBuiltInGoodsTable_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("three") << 3;
    QTest::newRow("largest") << 65535;
}

void TestDriverComponent::sizesBuiltInGoodsTable()
{
    QFETCH(int, count);
    auto driver = createDriver();
    enableBuiltInRegister(*driver);
    driver->setProperty("DeviceSettings", QStringLiteral("EmulatorGoodsCount=%1\n").arg(count));
    enableBuiltInRegister(*driver);
    QCOMPARE(driver->property("ResultCode").toInt(), 0);

    const auto readRow = [&](int row) {
        return run(*driver, QStringLiteral("4601%1").arg(row, 4, 16, QLatin1Char('0')) + "00");
    };
    if (count > 0)
        QVERIFY(readRow(count).startsWith(answerHex(RegisterProtocol::NoError)));
    if (count < 65535)
        QCOMPARE(readRow(count + 1), answerHex(RegisterProtocol::RowOutOfRange));
}

QTEST_GUILESS_MAIN(TestDriverComponent)
#include "tst_drivercomponent.moc"
