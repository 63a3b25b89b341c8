#pragma once

#include "byteline.h"

// The register's end of a pseudo-terminal whose wire runs at one speed: bytes
// the host sent while its end of the terminal was set to another speed reach
// the register as noise, as on a real line whose two ends disagree, so that
// it answers only a host at its own speed.
class HostSpeedLine : public ByteLine
{
public:
    // terminalFd: the terminal's master side, whose settings are the host's.
    HostSpeedLine(ByteLine &line, int terminalFd, int baud);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

private:
    bool hostAtSpeed() const;

    ByteLine &m_line;
    int m_terminalFd;
    int m_baud;
};
