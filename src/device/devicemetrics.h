#pragma once

#include <QString>

// The register's identification as the driver component reports it.
struct DeviceMetrics
{
    qint32 protocolVersion = 0;
    qint32 type = 0;
    qint32 model = 0;
    qint32 mode = 0;
    qint32 majorVersion = 0;
    qint32 minorVersion = 0;
    qint32 build = 0;
    qint32 codePage = 0;
    QString description;
    // Empty where the driver does not report it.
    QString serialNumber;

    // "3.2.1205"
    QString firmware() const
    {
        return QStringLiteral("%1.%2.%3").arg(majorVersion).arg(minorVersion).arg(build);
    }
};
