#include "automationregistry.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Registry
{
    QMutex mutex;
    QHash<QString, AutomationRegistry::Factory> factories;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

QString keyOf(const QString &progId)
{
    return progId.toCaseFolded();
}

} // namespace

namespace AutomationRegistry {

void registerComponent(const QString &progId, Factory factory)
{
    QMutexLocker lock(&registry().mutex);
    registry().factories.insert(keyOf(progId), std::move(factory));
}

void unregisterComponent(const QString &progId)
{
    QMutexLocker lock(&registry().mutex);
    registry().factories.remove(keyOf(progId));
}

QObject *createComponent(const QString &progId)
{
    Factory factory;
    {
        QMutexLocker lock(&registry().mutex);
        factory = registry().factories.value(keyOf(progId));
    }
    return factory ? factory() : nullptr;
}

} // namespace AutomationRegistry
