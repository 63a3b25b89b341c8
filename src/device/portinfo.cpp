#include "portinfo.h"

#include <QFileInfo>
#include <QRegularExpression>
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
    const bool network = path.startsWith(QLatin1String(networkLocationScheme));
    const QString name =
        network ? path.mid(int(qstrlen(networkLocationScheme))) : QFileInfo(path).fileName();
    PortInfo port(name.isEmpty() ? path : name, QString(), path);
    port.m_typed = true;
    return port;
}

QString PortInfo::networkLocation(const QString &text)
{
    static const QRegularExpression address(
        QStringLiteral("^(%1)?((?:[A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\]):\\d{1,5})$")
            .arg(QRegularExpression::escape(QLatin1String(networkLocationScheme))));
    const QRegularExpressionMatch match = address.match(text);
    return match.hasMatch() ? QLatin1String(networkLocationScheme) + match.captured(2) : QString();
}

bool PortInfo::isNetwork() const
{
    return m_systemLocation.startsWith(QLatin1String(networkLocationScheme));
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
