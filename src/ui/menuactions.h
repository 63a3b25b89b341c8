#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace MenuActions {

// A command of the menu bar, with an object name to be found by.
template <typename Receiver>
QAction *add(QMenu *menu, const QString &text, const char *name, const QKeySequence &shortcut,
             Receiver *receiver, void (Receiver::*slot)())
{
    QAction *action = menu->addAction(text, receiver, slot);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

} // namespace MenuActions
