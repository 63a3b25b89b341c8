#include "pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PseudoTerminal::open(QString &error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    const char *slaveName = m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0
                                ? ptsname(m_master)
                                : nullptr;
    if (slaveName)
        m_slave = ::open(slaveName, O_RDWR | O_NOCTTY);
    termios settings;
    // Raw both ways: no echo of what the register writes, no line editing.
    if (m_slave < 0 || tcgetattr(m_slave, &settings) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    cfmakeraw(&settings);
    if (tcsetattr(m_slave, TCSANOW, &settings) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(slaveName);
    return true;
}
