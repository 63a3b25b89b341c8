#include "builtintransport.h"

#include "driverresult.h"
#include "registeremulator.h"

BuiltInTransport::BuiltInTransport(RegisterEmulator &registerEmulator, QObject *parent)
    : DriverTransport(parent), m_register(registerEmulator)
{
}

int BuiltInTransport::open()
{
    m_open = true;
    return DriverResult::Ok;
}

void BuiltInTransport::close()
{
    m_open = false;
}

// The emulated register answers at once, so the time limit is never reached.
int BuiltInTransport::exchange(const QByteArray &request, QByteArray &answer, int)
{
    if (!m_open)
        return DriverResult::NoConnection;
    answer = m_register.handle(request);
    return DriverResult::Ok;
}
