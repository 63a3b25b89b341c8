#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

class QSerialPortInfo;

// System location of the register built into the driver component; the
// component opens it instead of a serial line.
inline constexpr char builtInRegisterLocation[] = "emulator:builtin";
// How the location of a register on the network starts: "tcp://HOST:PORT".
inline constexpr char networkLocationScheme[] = "tcp://";

// A port the user can pick: a serial line or the built-in register, which
// QSerialPortInfo cannot describe, or a device path the user typed. Null when
// default-constructed.
class PortInfo
{
public:
    PortInfo() = default;
    PortInfo(const QString &portName, const QString &description, const QString &systemLocation);
    explicit PortInfo(const QSerialPortInfo &port);
    // A device the system does not list (a pseudo-terminal, a link under
    // /dev/serial/by-id): named by the path's file name, with no description;
    // or a register on the network, named by its address.
    static PortInfo typedPath(const QString &path);
    // The location of a register on the network the user typed as
    // "HOST:PORT" or "tcp://HOST:PORT" (HOST a name, an IPv4 address or an
    // IPv6 one in brackets): "tcp://HOST:PORT"; empty for any other text.
    static QString networkLocation(const QString &text);

    QString portName() const { return m_portName; }
    QString description() const { return m_description; }
    QString systemLocation() const { return m_systemLocation; }
    QString manufacturer() const { return m_manufacturer; }
    QString serialNumber() const { return m_serialNumber; }
    bool isTyped() const { return m_typed; }
    // A register on the network, which has no line speed to search.
    bool isNetwork() const;
    bool isNull() const;

    // The serial ports in the system's order, then the built-in register.
    static QList<PortInfo> availablePorts();

private:
    QString m_portName;
    QString m_description;
    QString m_systemLocation;
    QString m_manufacturer;
    QString m_serialNumber;
    bool m_typed = false;
};

Q_DECLARE_METATYPE(PortInfo)
