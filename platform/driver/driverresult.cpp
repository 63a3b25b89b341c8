#include "driverresult.h"

namespace DriverResult {

QString description(int code)
{
    for (const Entry &entry : Entries) {
        if (entry.code == code)
            return QString::fromUtf8(entry.description);
    }
    return QString();
}

} // namespace DriverResult
