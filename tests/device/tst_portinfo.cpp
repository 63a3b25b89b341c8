#include "portinfo.h"

#include <QSerialPortInfo>
#include <QtTest>

class TestPortInfo : public QObject
{
    Q_OBJECT
private slots:
    void builtInRegisterFollowsSerialPorts()
    {
        QVERIFY(PortInfo().isNull());
        QVERIFY(!PortInfo("COM3", "", "/dev/ttyS2").isNull());

        const QList<QSerialPortInfo> serialPorts = QSerialPortInfo::availablePorts();
        const QList<PortInfo> ports = PortInfo::availablePorts();
        QCOMPARE(ports.size(), serialPorts.size() + 1);
        for (int i = 0; i < serialPorts.size(); ++i)
            QCOMPARE(ports.at(i).systemLocation(), serialPorts.at(i).systemLocation());
        QCOMPARE(ports.last().portName(), "EMU1");
        QCOMPARE(ports.last().description(), "Встроенный эмулятор ККТ Korvan");
        QCOMPARE(ports.last().systemLocation(), "emulator:builtin");
    }
};

QTEST_GUILESS_MAIN(TestPortInfo)
#include "tst_portinfo.moc"
