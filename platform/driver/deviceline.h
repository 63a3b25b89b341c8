#pragma once

#include "byteline.h"

class QIODevice;

// A ByteLine over an open serial port or TCP socket, blocking, with no event
// loop.
class DeviceLine : public ByteLine
{
public:
    explicit DeviceLine(QIODevice &device);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

private:
    QIODevice &m_device;
};
