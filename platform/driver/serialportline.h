#pragma once

#include "byteline.h"

class QSerialPort;

// A ByteLine over an open serial port, blocking, with no event loop.
class SerialPortLine : public ByteLine
{
public:
    explicit SerialPortLine(QSerialPort &port);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

private:
    QSerialPort &m_port;
};
