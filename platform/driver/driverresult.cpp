#include "driverresult.h"

namespace DriverResult {

QString description(int code, const QString &detail)
{
    for (const Entry &entry : Entries) {
        if (entry.code != code)
            continue;
        QString text = QString::fromUtf8(entry.description);
        if (!detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(detail);
        if (entry.hint)
            text += QStringLiteral(". %1.").arg(QString::fromUtf8(entry.hint));
        return text;
    }
    return QString();
}

} // namespace DriverResult
