#include "serialportline.h"

#include <QSerialPort>

namespace {

// The driver's output buffer drains into the system's at once; a port that
// takes nothing for this long has failed.
constexpr int WriteTimeoutMs = 1000;

} // namespace

SerialPortLine::SerialPortLine(QSerialPort &port) : m_port(port) {}

bool SerialPortLine::write(const QByteArray &bytes)
{
    if (m_port.write(bytes) != bytes.size())
        return false;
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    return true;
}

QByteArray SerialPortLine::read(int timeoutMs)
{
    if (m_port.bytesAvailable() == 0 && !m_port.waitForReadyRead(timeoutMs))
        return QByteArray();
    return m_port.readAll();
}
