#include "stableportname.h"

#include <QDir>
#include <QFileInfo>

namespace StablePortName {

QString directory()
{
    const QString other = qEnvironmentVariable("MORVELL_SERIAL_BY_ID");
    return other.isEmpty() ? QStringLiteral("/dev/serial/by-id") : other;
}

QString of(const QString &location)
{
    const QDir links(directory());
    const QString device = QFileInfo(location).canonicalFilePath();
    if (device.isEmpty() || QFileInfo(location).absolutePath() == links.absolutePath())
        return QString();
    for (const QFileInfo &link : links.entryInfoList(QDir::System | QDir::Files)) {
        if (link.isSymLink() && link.canonicalFilePath() == device)
            return link.absoluteFilePath();
    }
    return QString();
}

} // namespace StablePortName
