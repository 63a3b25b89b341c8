#pragma once

#include "deviceline.h"
#include "drivertransport.h"
#include "framelink.h"
#include "hostexchange.h"

#include <QSerialPort>

// A serial line to a register (a port or a pseudo-terminal), 8N1 at the
// settings' baud rate, carrying each command in the line's framing.
class SerialTransport : public DriverTransport
{
    Q_OBJECT
public:
    SerialTransport(const QString &location, int baudRate, QObject *parent);

    int open() override;
    void close() override;
    int exchange(const QByteArray &request, QByteArray &answer, int timeoutMs) override;

private:
    // Why the port did not open, from the file at its location and the error
    // the port reported.
    int openFailureCause() const;
    void requestLowLatency();

    // As given: the port keeps only the device's name.
    QString m_location;
    QSerialPort m_port;
    DeviceLine m_line;
    FrameLink m_link;
    HostExchange m_host;
};
