#include "builtintransport.h"

#include "registeremulator.h"

BuiltInTransport::BuiltInTransport(RegisterEmulator &registerEmulator, QObject *parent)
    : DriverTransport(parent), m_register(registerEmulator)
{
}

bool BuiltInTransport::open()
{
    m_open = true;
    return true;
}

void BuiltInTransport::close()
{
    m_open = false;
}

// The emulated register answers at once, so the time limit is never reached.
bool BuiltInTransport::exchange(const QByteArray &request, QByteArray &answer, int)
{
    if (!m_open)
        return false;
    answer = m_register.handle(request);
    return true;
}
