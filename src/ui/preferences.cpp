#include "preferences.h"

#include <QSettings>

namespace Preferences {

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Korvan"), QStringLiteral("Morvell"));
}

} // namespace

QVariant value(const char *key, const QVariant &defaultValue)
{
    return settings().value(QLatin1String(key), defaultValue);
}

void setValue(const char *key, const QVariant &value)
{
    settings().setValue(QLatin1String(key), value);
}

} // namespace Preferences
