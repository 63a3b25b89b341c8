#include "driveroperations.h"
#include "logcapture.h"
#include "scripteddriver.h"
#include "testdata.h"

#include <memory>

class TestDriverOperations : public QObject
{
    Q_OBJECT
    ScriptedDriver *component() const { return ScriptedDriver::current; }
    std::unique_ptr<DriverOperations> m_driver;

private slots:
    void initTestCase() { ScriptedDriver::install(); }

    void init()
    {
        m_driver = std::make_unique<DriverOperations>();
        QVERIFY(m_driver->setControl(QStringLiteral("AddIn.Velmar")));
        QVERIFY(component());
    }

    void sendsCommandAsHexBeforeTimeout_data()
    {
        columns<QByteArray, QString>("command", "stream");
        QTest::newRow("lower-case digits") << QByteArray::fromHex("9C11") << "9c11";
        QTest::newRow("empty command") << QByteArray() << "";
    }

    void sendsCommandAsHexBeforeTimeout()
    {
        const auto [command, stream] = fetch<QByteArray, QString>("command", "stream");
        LogCapture log;
        QByteArray answer;
        QVERIFY(m_driver->RunCommandExBin(command, &answer, 20000));
        const QStringList expected = {"StreamFormat=3", "OutboundStream=" + stream,
                                      "ENQTimeout=20000", "RunCommand()"};
        QCOMPARE(component()->calls, expected);
        QCOMPARE(log.lines().value(0), "RunCommandExBin() -> Request: " + stream);
    }

    // The answer skips what is not a hexadecimal digit; a failed command
    // leaves it as it was and logs no response.
    void decodesAnswer_data()
    {
        columns<QString, int, QByteArray>("inbound", "resultCode", "answer");
        const QByteArray decoded = QByteArray::fromHex("55000a0b");
        QTest::newRow("plain") << "55000a0b" << 0 << decoded;
        QTest::newRow("spaced capitals") << "55 00 0A 0B" << 0 << decoded;
        QTest::newRow("line breaks") << "55\r\n00\n0a\t0b" << 0 << decoded;
        QTest::newRow("failed command") << "5500aa" << -3840 << QByteArray("old");
    }

    void decodesAnswer()
    {
        const auto [inbound, resultCode, expected] =
            fetch<QString, int, QByteArray>("inbound", "resultCode", "answer");
        component()->answers = QStringList{inbound};
        if (resultCode != 0) {
            component()->failOn = "RunCommand()";
            component()->failCode = resultCode;
        }
        LogCapture log;
        QByteArray answer("old");
        QCOMPARE(m_driver->RunCommandExBin(QByteArray::fromHex("84"), &answer, 20000),
                 resultCode == 0);
        QCOMPARE(answer, expected);
        QStringList lines{"RunCommandExBin() -> Request: 84"};
        if (resultCode == 0)
            lines << "RunCommandExBin() -> Response: " + inbound;
        QCOMPARE(log.lines(), lines);
    }

    void readDeviceMetricsStopsAtWrongType_data()
    {
        columns<QString, QVariant, bool, QVector<int>, QString>("property", "value", "result",
                                                                "numbers", "description");
        QTest::newRow("complete") << "" << QVariant() << true
                                  << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8} << "X";
        QTest::newRow("model as text") << "UModel" << QVariant("3") << false
                                       << QVector<int>{1, 2, -1, -1, -1, -1, -1, -1} << "old";
        QTest::newRow("build missing")
            << "UBuild" << QVariant() << false << QVector<int>{1, 2, 3, 4, 5, 6, -1, -1} << "old";
        QTest::newRow("description as number") << "UDescription" << QVariant(9) << false
                                               << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8} << "old";
    }

    void readDeviceMetricsStopsAtWrongType()
    {
        const auto [property, value, result, numbers, description] =
            fetch<QString, QVariant, bool, QVector<int>, QString>("property", "value", "result",
                                                                  "numbers", "description");
        const QStringList names = {"UProtocolVersion", "UType",         "UModel", "UMode",
                                   "UMajorVersion",    "UMinorVersion", "UBuild", "UCodePage"};
        for (int i = 0; i < names.size(); ++i)
            component()->values.insert(names.at(i), i + 1);
        component()->values.insert("UDescription", "X");
        if (!property.isEmpty())
            component()->values.insert(property, value);

        DeviceMetrics metrics{-1, -1, -1, -1, -1, -1, -1, -1, "old", QString()};
        QCOMPARE(m_driver->ReadDeviceMetrics(&metrics), result);
        const QVector<int> read = {
            metrics.protocolVersion, metrics.type,         metrics.model, metrics.mode,
            metrics.majorVersion,    metrics.minorVersion, metrics.build, metrics.codePage};
        QCOMPARE(read, numbers);
        QCOMPARE(metrics.description, description);
    }
};

QTEST_GUILESS_MAIN(TestDriverOperations)
#include "tst_driveroperations.moc"
