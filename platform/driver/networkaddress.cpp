#include "networkaddress.h"

#include <QUrl>

bool NetworkAddress::isNetworkLocation(const QString &location)
{
    return location.startsWith(QLatin1String(Scheme));
}

bool NetworkAddress::parse(const QString &location, const QString &fallback,
                           NetworkAddress &address)
{
    if (!isNetworkLocation(location))
        return false;
    QString text = location.mid(int(qstrlen(Scheme))).trimmed();
    if (text.isEmpty())
        text = fallback.trimmed();
    const QUrl url(QLatin1String(Scheme) + text, QUrl::StrictMode);
    const int port = url.port();
    if (!url.isValid() || url.host().isEmpty() || port < 1 || !url.path().isEmpty() ||
        !url.userInfo().isEmpty())
        return false;
    address.host = url.host();
    address.port = quint16(port);
    return true;
}
