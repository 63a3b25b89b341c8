#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Component factories by ProgID, the stand-in for the system's registration of
// automation servers. The program registers its driver component at start-up;
// tests register scripted components of their own.
namespace AutomationRegistry {

using Factory = std::function<QObject *()>;

void registerComponent(const QString &progId, Factory factory);
void unregisterComponent(const QString &progId);
// A new component owned by the caller, or nullptr for an unknown ProgID.
QObject *createComponent(const QString &progId);

} // namespace AutomationRegistry
