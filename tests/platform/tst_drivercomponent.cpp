// The driver component's own properties: settings, mode entry, locations, the
// hint for a device the user may not open and the hexadecimal command stream.
// Reading and writing through it is tested with the built-in register over the
// whole path.
#include "automationobject.h"
#include "builtinregister.h"
#include "driverregistration.h"
#include "driverresult.h"
#include "pseudoterminal.h"
#include "registerprotocol.h"
#include "testdata.h"

#include <QElapsedTimer>

#include <grp.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Ok = QStringLiteral("Ошибок нет");
const QString PortUnavailable = QStringLiteral("Порт недоступен");

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

const QString OnlyRoot = QStringLiteral(
    "Открыть устройство может только root: попросите администратора дать вам доступ к нему");

// Acts as nobody for its lifetime when the test runs as root, whom file modes
// do not stop.
class NotRoot
{
public:
    NotRoot() : m_wasRoot(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~NotRoot()
    {
        if (m_wasRoot && ::seteuid(0) != 0)
            qFatal("cannot act as root again");
    }
    NotRoot(const NotRoot &) = delete;
    NotRoot &operator=(const NotRoot &) = delete;

private:
    bool m_wasRoot;
};

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
    void hintsWhoMayOpenDevice_data();
    void hintsWhoMayOpenDevice();
    void hintsForRefusedDevice();
    void runsCommands_data();
    void runsCommands();
    void sizesBuiltInGoodsTable_data();
    void sizesBuiltInGoodsTable();
};

void TestDriverComponent::initTestCase()
{
    registerDriverComponent();
    QVERIFY(!createDriver()->isNull());
}

// A refused settings text changes nothing.
void TestDriverComponent::appliesSettings_data()
{
    columns<QString, bool, int>("settings", "accepted", "portNumber");
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
    const auto [settings, accepted, portNumber] =
        fetch<QString, bool, int>("settings", "accepted", "portNumber");
    auto driver = createDriver();
    const QString before = QStringLiteral("PortNumber=1005\n");
    driver->setProperty("DeviceSettings", before);

    driver->setProperty("DeviceSettings", settings);

    QCOMPARE(driver->property("ResultDescription").toString(),
             accepted ? Ok : QStringLiteral("Некорректные настройки"));
    QCOMPARE(driver->property("DeviceSettings").toString(), accepted ? settings : before);
    QCOMPARE(driver->property("PortNumber").toInt(), portNumber);
}

void TestDriverComponent::entersModeWithPassword_data()
{
    columns<QString, QString, bool>("settings", "password", "accepted");
    QTest::newRow("built-in default password") << QString() << QString() << true;
    QTest::newRow("wrong default password")
        << QStringLiteral("DefaultPassword=31\n") << QString() << false;
    QTest::newRow("password overrides the default")
        << QStringLiteral("DefaultPassword=31\n") << QStringLiteral("30") << true;
    QTest::newRow("wrong password") << QString() << QStringLiteral("12") << false;
}

void TestDriverComponent::entersModeWithPassword()
{
    const auto [settings, password, accepted] =
        fetch<QString, QString, bool>("settings", "password", "accepted");
    auto driver = createDriver();
    driver->setProperty("DeviceSettings", settings);
    enableBuiltInRegister(*driver);

    driver->setProperty("Mode", 4);
    driver->setProperty("Password", password);
    driver->dynamicCall("SetMode()");

    QCOMPARE(driver->property("ResultDescription").toString(),
             accepted ? Ok : QStringLiteral("Неверный пароль"));
    // Only the programming mode lets a goods flag be written. The other
    // metrics are read, with their types, by every identification.
    QCOMPARE(run(*driver, QStringLiteral("500100010701")),
             answerHex(accepted ? RegisterProtocol::NoError : RegisterProtocol::WrongMode));
    driver->dynamicCall("GetDeviceMetrics()");
    QCOMPARE(driver->property("UMode").toInt(), accepted ? 4 : 1);
}

void TestDriverComponent::enablesOnlyReachableLocations_data()
{
    columns<bool, QString, int, QString>("nameFirst", "portName", "portNumber", "description");
    const QString builtIn = QString::fromLatin1(BuiltInRegister::Location);
    // COM99 maps to /dev/ttyS98, which no machine has.
    const QString noSuchDevice =
        QStringLiteral("Устройство не найдено (/dev/ttyS98). Проверьте, что ККТ или переходник "
                       "подключены, и обновите список портов.");
    QTest::newRow("built-in register") << false << builtIn << 1001 << Ok;
    QTest::newRow("location from port number") << false << QString() << 1099 << noSuchDevice;
    QTest::newRow("no port") << false << QString() << 1000 << PortUnavailable;
    QTest::newRow("port number written after the name") << true << builtIn << 1099 << noSuchDevice;
    QTest::newRow("network address without a port")
        << false << "tcp://localhost" << 1001
        << "Неверный адрес ККТ в сети (tcp://localhost). Укажите адрес и порт, например "
           "tcp://192.168.1.10:7778.";
    QTest::newRow("network address of the settings")
        << false << "tcp://" << 1001
        << "Подключение отклонено (tcp://). ККТ не принимает подключения на порту 1 адреса "
           "127.0.0.1: проверьте номер порта и что ККТ или её сервер портов включены.";
}

void TestDriverComponent::enablesOnlyReachableLocations()
{
    const auto [nameFirst, portName, portNumber, description] =
        fetch<bool, QString, int, QString>("nameFirst", "portName", "portNumber", "description");
    auto driver = createDriver();
    driver->setProperty("DeviceSettings", QStringLiteral("HostAddress=127.0.0.1:1\n"));
    if (nameFirst)
        driver->setProperty("PortName", portName);
    driver->setProperty("PortNumber", portNumber);
    if (!nameFirst)
        driver->setProperty("PortName", portName);

    QElapsedTimer timer;
    timer.start();
    driver->setProperty("DeviceEnabled", true);
    // Nothing here waits for a register: a second is more than any needs,
    // five leave room for a loaded machine.
    QVERIFY(timer.elapsed() < 5000);

    const bool enabled = description == Ok;
    QCOMPARE(driver->property("ResultCode").toInt() == 0, enabled);
    QCOMPARE(driver->property("ResultDescription").toString(), description);
    QCOMPARE(driver->property("DeviceEnabled").toBool(), enabled);
}

void TestDriverComponent::hintsWhoMayOpenDevice_data()
{
    columns<uint, uint, int, QString>("owner", "group", "mode", "hint");
    const group *tty = ::getgrnam("tty");
    const passwd *nobody = ::getpwnam("nobody");
    const uint unnamedGroup = 4000000;
    QVERIFY(tty && nobody && !::getgrgid(unnamedGroup));
    const auto join = [](const QString &group) {
        return QStringLiteral("Добавьте пользователя в группу %1 (sudo usermod -aG %1 $USER) и "
                              "войдите в систему заново")
            .arg(group);
    };
    QTest::newRow("group may read and write") << 0u << tty->gr_gid << 0660 << join("tty");
    QTest::newRow("group without a name")
        << 0u << unnamedGroup << 0660 << join(QString::number(unnamedGroup));
    QTest::newRow("group root") << 0u << 0u << 0660 << OnlyRoot;
    QTest::newRow("group may only write") << 0u << tty->gr_gid << 0620 << OnlyRoot;
    QTest::newRow("owner root alone") << 0u << tty->gr_gid << 0600 << OnlyRoot;
    QTest::newRow("owner a user alone")
        << nobody->pw_uid << tty->gr_gid << 0620
        << QStringLiteral("Открыть устройство могут только пользователь nobody и root");
    QTest::newRow("no one") << nobody->pw_uid << tty->gr_gid << 0 << OnlyRoot;
}

void TestDriverComponent::hintsWhoMayOpenDevice()
{
    const auto [owner, group, mode, hint] =
        fetch<uint, uint, int, QString>("owner", "group", "mode", "hint");
    QCOMPARE(DriverResult::permissionHint(owner, group, mode_t(S_IFCHR | mode)), hint);
}

// The hint comes from the refused device's own status.
void TestDriverComponent::hintsForRefusedDevice()
{
    PseudoTerminal device;
    QString error;
    QVERIFY2(device.open(error), qPrintable(error));
    QCOMPARE(::chmod(QFile::encodeName(device.slavePath()).constData(), 0), 0);
    auto driver = createDriver();
    driver->setProperty("PortName", device.slavePath());
    {
        const NotRoot notRoot;
        driver->setProperty("DeviceEnabled", true);
    }
    QCOMPARE(driver->property("ResultDescription").toString(),
             QStringLiteral("Нет доступа к порту (%1). %2.").arg(device.slavePath(), OnlyRoot));
}

void TestDriverComponent::runsCommands_data()
{
    columns<bool, QString, QString, QString>("enabled", "stream", "answer", "description");
    const QString badStream = QStringLiteral("Некорректный поток данных");
    QTest::newRow("device not enabled") << false << QStringLiteral("9c11") << QString()
                                        << QStringLiteral("Устройство не подключено");
    QTest::newRow("upper-case digits")
        << true << QStringLiteral("9C11") << QStringLiteral("5500010000") << Ok;
    QTest::newRow("answer in lower case")
        << true << QStringLiteral("9c02") << QStringLiteral("5500001f40") << Ok;
    QTest::newRow("register error is an answer")
        << true << QStringLiteral("4611000901") << answerHex(RegisterProtocol::RowOutOfRange) << Ok;
    QTest::newRow("empty command is sent")
        << true << QString() << answerHex(RegisterProtocol::BadLength) << Ok;
    QTest::newRow("not a hex digit")
        << true << QStringLiteral("46010001g1") << QString() << badStream;
    QTest::newRow("odd digit count")
        << true << QStringLiteral("460100010") << QString() << badStream;
    QTest::newRow("separators") << true << QStringLiteral("46 01 00 01 01") << QString()
                                << badStream;
}

void TestDriverComponent::runsCommands()
{
    const auto [enabled, stream, answer, description] =
        fetch<bool, QString, QString, QString>("enabled", "stream", "answer", "description");
    auto driver = createDriver();
    if (enabled)
        enableBuiltInRegister(*driver);
    driver->setProperty("ENQTimeout", 20000);
    if (!enabled) { // nor are metrics read
        driver->dynamicCall("GetDeviceMetrics()");
        QCOMPARE(driver->property("ResultDescription").toString(), description);
    }

    QCOMPARE(run(*driver, stream), answer);
    QCOMPARE(driver->property("ResultCode").toInt() == 0, !answer.isEmpty());
    QCOMPARE(driver->property("ResultDescription").toString(), description);
}

void TestDriverComponent::sizesBuiltInGoodsTable_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("three") << 3;
    QTest::newRow("largest") << 65535;
}

// The register already enabled is replaced by one of the new size.
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
