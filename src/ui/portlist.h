#pragma once

#include "portinfo.h"

#include <QList>

class QComboBox;

// "name: description", with a plain description where the system gives none;
// a typed port shows its path.
QString portDisplayText(const PortInfo &port);

// Refills the port box: one entry per port, with the PortInfo as item data
// and what the system knows of it as tooltip, then the entry that asks for a
// device by path. The port shown before stays chosen if it is still there;
// otherwise the first one that mentions the maker, or none.
void fillPortBox(QComboBox *box, const QList<PortInfo> &ports);

// The PortInfo of the box's current entry, or a null one.
PortInfo currentPortOf(const QComboBox *box);

// Whether the entry at index asks for a device by path.
bool isOtherPortEntry(const QComboBox *box, int index);

// Makes the entry of the port at location, or of the device whose stable
// name location is, current; false when there is none.
bool selectPortAt(QComboBox *box, const QString &location);

// Why the path cannot be a serial port, for the user; empty when it can.
QString typedPathProblem(const QString &path);
