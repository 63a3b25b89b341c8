#pragma once

#include "portinfo.h"

#include <QList>

class QComboBox;

// Refills the port box: one entry per port, "name: description" with the
// PortInfo as item data. The port shown before stays chosen if it is still
// there; otherwise the first one that mentions the maker, or none.
void fillPortBox(QComboBox *box, const QList<PortInfo> &ports);

// The PortInfo of the box's current entry, or a null one.
PortInfo currentPortOf(const QComboBox *box);
