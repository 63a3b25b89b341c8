#pragma once

#include "drivertransport.h"

class RegisterEmulator;

// The line to the register emulated in this process. The register outlives
// the transport, so its tables survive closing and reopening the line.
class BuiltInTransport : public DriverTransport
{
    Q_OBJECT
public:
    BuiltInTransport(RegisterEmulator &registerEmulator, QObject *parent);

    int open() override;
    void close() override;
    int exchange(const QByteArray &request, QByteArray &answer, int timeoutMs) override;

private:
    RegisterEmulator &m_register;
    bool m_open = false;
};
