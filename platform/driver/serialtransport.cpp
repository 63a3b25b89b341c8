#include "serialtransport.h"

#include "driverresult.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

SerialTransport::SerialTransport(const QString &location, int baudRate, QObject *parent)
    : DriverTransport(parent), m_location(location), m_line(m_port), m_link(m_line, baudRate),
      m_host(m_link)
{
    m_port.setPortName(location);
    m_port.setBaudRate(baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

int SerialTransport::open()
{
    if (!m_port.open(QIODevice::ReadWrite)) {
        qDebug() << "SerialTransport:" << m_location << m_port.error() << m_port.errorString();
        return openFailureCause();
    }
    requestLowLatency();
    return DriverResult::Ok;
}

// The port reports a refused lock file and a refused open alike as a
// permission error; only the file's own permissions tell them apart.
int SerialTransport::openFailureCause() const
{
    const QByteArray path = QFile::encodeName(m_location);
    struct stat status;
    if (::stat(path.constData(), &status) != 0)
        return errno == EACCES ? DriverResult::PermissionDenied : DriverResult::NoSuchDevice;
    if (!S_ISCHR(status.st_mode))
        return DriverResult::NotSerialPort;
    if (::euidaccess(path.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return DriverResult::PermissionDenied;
    switch (m_port.error()) {
    case QSerialPort::PermissionError:
        return DriverResult::PortBusy;
    case QSerialPort::DeviceNotFoundError:
        return DriverResult::NoSuchDevice;
    default:
        return DriverResult::PortUnavailable;
    }
}

// A USB adapter otherwise holds each answer back for up to 16 ms, which over
// a whole goods table costs minutes. Drivers without the setting (a
// pseudo-terminal, most USB adapters) refuse it, and the line works as it is.
void SerialTransport::requestLowLatency()
{
    serial_struct serial;
    if (::ioctl(m_port.handle(), TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    const bool set = ::ioctl(m_port.handle(), TIOCSSERIAL, &serial) == 0;
    qDebug() << "SerialTransport:" << m_location << "low latency" << set;
}

void SerialTransport::close()
{
    m_port.close();
}

int SerialTransport::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    if (!m_port.isOpen())
        return DriverResult::DeviceGone;
    m_port.clearError();
    if (m_host.exchange(request, answer, timeoutMs))
        return DriverResult::Ok;
    switch (m_port.error()) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        qDebug() << "SerialTransport:" << m_location << m_port.errorString();
        return DriverResult::DeviceGone;
    default:
        return DriverResult::NoConnection;
    }
}
