#include "driveroperations.h"
#include "logcapture.h"
#include "scripteddriver.h"

#include <QtTest>

#include <memory>

class TestDriverOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ScriptedDriver::install(); }
    void init();
    void sendsCommandAsHexBeforeTimeout_data();
    void sendsCommandAsHexBeforeTimeout();
    void decodesAnswerSkippingNonHex_data();
    void decodesAnswerSkippingNonHex();
    void failedCommandLeavesAnswer();
    void readDeviceMetricsStopsAtWrongType_data();
    void readDeviceMetricsStopsAtWrongType();

private:
    ScriptedDriver *component() const { return ScriptedDriver::current; }

    std::unique_ptr<DriverOperations> m_driver;
};

void TestDriverOperations::init()
{
    m_driver = std::make_unique<DriverOperations>();
    QVERIFY(m_driver->setControl(QStringLiteral("AddIn.Velmar")));
    QVERIFY(component());
}

void TestDriverOperations::sendsCommandAsHexBeforeTimeout_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("stream");
    QTest::newRow("read field") << QByteArray::fromHex("4601000101") << "4601000101";
    QTest::newRow("lower-case digits") << QByteArray::fromHex("9C11") << "9c11";
    QTest::newRow("empty command") << QByteArray() << "";
}

void TestDriverOperations::sendsCommandAsHexBeforeTimeout()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, stream);
    LogCapture log;

    QByteArray answer;
    QVERIFY(m_driver->RunCommandExBin(command, &answer, 20000));

    const QStringList expected = {"StreamFormat=3", "OutboundStream=" + stream, "ENQTimeout=20000",
                                  "RunCommand()"};
    QCOMPARE(component()->calls, expected);
    QCOMPARE(log.lines().value(0), "RunCommandExBin() -> Request: " + stream);
}

void TestDriverOperations::decodesAnswerSkippingNonHex_data()
{
    QTest::addColumn<QString>("inbound");
    QTest::newRow("plain") << "55000a0b";
    QTest::newRow("spaced capitals") << "55 00 0A 0B";
    QTest::newRow("line breaks") << "55\r\n00\n0a\t0b";
}

void TestDriverOperations::decodesAnswerSkippingNonHex()
{
    QFETCH(QString, inbound);
    component()->answers = QStringList{inbound};
    LogCapture log;

    QByteArray answer("old");
    QVERIFY(m_driver->RunCommandExBin(QByteArray::fromHex("84"), &answer, 20000));

    QCOMPARE(answer, QByteArray::fromHex("55000a0b"));
    QCOMPARE(log.lines(), QStringList({"RunCommandExBin() -> Request: 84",
                                       "RunCommandExBin() -> Response: " + inbound}));
}

void TestDriverOperations::failedCommandLeavesAnswer()
{
    component()->answers = QStringList{"5500aa"};
    component()->failOn = "RunCommand()";
    component()->failCode = -3840;
    LogCapture log;

    QByteArray answer("old");
    QVERIFY(!m_driver->RunCommandExBin(QByteArray::fromHex("84"), &answer, 20000));

    QCOMPARE(answer, QByteArray("old"));
    QCOMPARE(log.lines(), QStringList({"RunCommandExBin() -> Request: 84"}));
}

void TestDriverOperations::readDeviceMetricsStopsAtWrongType_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QVector<int>>("numbers");
    QTest::addColumn<QString>("description");
    QTest::newRow("complete") << "" << QVariant() << true << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8}
                              << "X";
    QTest::newRow("model as text") << "UModel" << QVariant("3") << false
                                   << QVector<int>{1, 2, -1, -1, -1, -1, -1, -1} << "old";
    QTest::newRow("build missing")
        << "UBuild" << QVariant() << false << QVector<int>{1, 2, 3, 4, 5, 6, -1, -1} << "old";
    QTest::newRow("description as number")
        << "UDescription" << QVariant(9) << false << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8} << "old";
}

void TestDriverOperations::readDeviceMetricsStopsAtWrongType()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QFETCH(bool, result);
    QFETCH(QVector<int>, numbers);
    QFETCH(QString, description);
    const QStringList names = {"UProtocolVersion", "UType",         "UModel", "UMode",
                               "UMajorVersion",    "UMinorVersion", "UBuild", "UCodePage"};
    for (int i = 0; i < names.size(); ++i)
        component()->values.insert(names.at(i), i + 1);
    component()->values.insert("UDescription", "X");
    if (!property.isEmpty())
        component()->values.insert(property, value);

    DeviceMetrics metrics{-1, -1, -1, -1, -1, -1, -1, -1, "old"};
    QCOMPARE(m_driver->ReadDeviceMetrics(&metrics), result);

    const QVector<int> read = {
        metrics.protocolVersion, metrics.type,         metrics.model, metrics.mode,
        metrics.majorVersion,    metrics.minorVersion, metrics.build, metrics.codePage};
    QCOMPARE(read, numbers);
    QCOMPARE(metrics.description, description);
}

QTEST_GUILESS_MAIN(TestDriverOperations)
#include "tst_driveroperations.moc"
