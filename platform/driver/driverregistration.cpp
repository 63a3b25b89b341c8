#include "driverregistration.h"

#include "automationregistry.h"
#include "drivercomponent.h"

void registerDriverComponent()
{
    AutomationRegistry::registerComponent(QStringLiteral("AddIn.Velmar"),
                                          [] { return new DriverComponent; });
}
