#pragma once

#include "portinfo.h"

#include <QList>
#include <QObject>

class QComboBox;
class QWidget;

// The port box's behaviour beyond the ports the system lists: devices the
// user types by path through its last entry, and the port chosen last and
// each port's line rate, kept from one run to the next.
class PortChooser : public QObject
{
    Q_OBJECT
public:
    PortChooser(QComboBox *box, QWidget *dialogParent);

    // Refills the box with the listed ports and the typed ones that still exist.
    void refresh();
    // Makes the port chosen in an earlier run current, while it still exists.
    void selectRemembered();
    PortInfo current() const;
    // Every port in the box.
    QList<PortInfo> ports() const;
    // Makes the port at location current, as a typed one when the box has
    // none there, and remembers it.
    void choose(const QString &location);
    // The current port's line rate as a code of BaudRate: the one remembered
    // for it, else the one an earlier version kept for every port, else
    // 115200 baud.
    int baudRateCode() const;
    void rememberBaudRateCode(int code);

private:
    // A USB adapter's stable name, which follows it to whatever ttyUSB
    // number it gets next time; else the location itself.
    static QString rememberedName(const QString &location);
    void onActivated(int index);
    void askForPath();
    void addTyped(const PortInfo &port);

    QComboBox *m_box;
    QWidget *m_dialogParent;
    QList<PortInfo> m_typed;
    // Restored when asking for a path ends without a device.
    QString m_chosenLocation;
};
