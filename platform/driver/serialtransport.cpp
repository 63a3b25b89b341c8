#include "serialtransport.h"

#include <QDebug>

SerialTransport::SerialTransport(const QString &location, int baudRate, QObject *parent)
    : DriverTransport(parent), m_line(m_port), m_link(m_line), m_host(m_link)
{
    m_port.setPortName(location);
    m_port.setBaudRate(baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

bool SerialTransport::open()
{
    if (!m_port.open(QIODevice::ReadWrite)) {
        qDebug() << "SerialTransport:" << m_port.portName() << m_port.errorString();
        return false;
    }
    return true;
}

void SerialTransport::close()
{
    m_port.close();
}

bool SerialTransport::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    return m_port.isOpen() && m_host.exchange(request, answer, timeoutMs);
}
