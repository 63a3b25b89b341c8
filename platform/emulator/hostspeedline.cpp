#include "hostspeedline.h"

// termios2 carries the speed as a number, also the ones without a B constant
// (14400, 28800); <termios.h> would clash with it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

HostSpeedLine::HostSpeedLine(ByteLine &line, int terminalFd, int baud)
    : m_line(line), m_terminalFd(terminalFd), m_baud(baud)
{
}

bool HostSpeedLine::write(const QByteArray &bytes)
{
    return m_line.write(bytes);
}

// 0xFF never starts a frame, so noise of it is skipped and never answered.
QByteArray HostSpeedLine::read(int timeoutMs)
{
    QByteArray bytes = m_line.read(timeoutMs);
    if (!bytes.isEmpty() && !hostAtSpeed())
        bytes.fill(char(0xFF));
    return bytes;
}

// On the master side the settings read are the slave's, which the host set.
bool HostSpeedLine::hostAtSpeed() const
{
    struct termios2 settings = {};
    return ::ioctl(m_terminalFd, TCGETS2, &settings) == 0 && settings.c_ospeed == speed_t(m_baud);
}
