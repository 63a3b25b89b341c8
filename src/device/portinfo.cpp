#include "portinfo.h"

#include <QFileInfo>
#include <QSerialPortInfo>

PortInfo::PortInfo(const QString &portName, const QString &description,
                   const QString &systemLocation)
    : m_portName(portName), m_description(description), m_systemLocation(systemLocation)
{
}

PortInfo::PortInfo(const QSerialPortInfo &port)
    : PortInfo(port.portName(), port.description(), port.systemLocation())
{
    m_manufacturer = port.manufacturer();
    m_serialNumber = port.serialNumber();
}

PortInfo PortInfo::typedPath(const QString &path)
{
    PortInfo port(QFileInfo(path).fileName(), QString(), path);
    port.m_typed = true;
    return port;
}

bool PortInfo::isNull() const
{
    return m_portName.isEmpty() && m_description.isEmpty() && m_systemLocation.isEmpty();
}

QList<PortInfo> PortInfo::availablePorts()
{
    QList<PortInfo> ports;
    const QList<QSerialPortInfo> serialPorts = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : serialPorts)
        ports.append(PortInfo(port));
    ports.append(PortInfo(QStringLiteral("EMU1"), QStringLiteral("Встроенный эмулятор ККТ Korvan"),
                          QString::fromLatin1(builtInRegisterLocation)));
    return ports;
}
