#include "deviceline.h"

#include <QIODevice>

namespace {

// The device's output buffer drains into the system's at once; a device that
// takes nothing for this long has failed.
constexpr int WriteTimeoutMs = 1000;

} // namespace

DeviceLine::DeviceLine(QIODevice &device) : m_device(device) {}

bool DeviceLine::write(const QByteArray &bytes)
{
    if (m_device.write(bytes) != bytes.size())
        return false;
    while (m_device.bytesToWrite() > 0) {
        if (!m_device.waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    return true;
}

QByteArray DeviceLine::read(int timeoutMs)
{
    if (m_device.bytesAvailable() == 0 && !m_device.waitForReadyRead(timeoutMs))
        return QByteArray();
    return m_device.readAll();
}
