#include "portlist.h"

#include <QComboBox>

void fillPortBox(QComboBox *box, const QList<PortInfo> &ports)
{
    const QString remembered = box->currentText();
    box->clear();
    for (const PortInfo &port : ports)
        box->addItem(port.portName() + QStringLiteral(": ") + port.description(),
                     QVariant::fromValue(port));
    if (box->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        box->setCurrentText(remembered);
    else
        box->setCurrentIndex(box->findText(QStringLiteral("Korvan"), Qt::MatchContains));
}

PortInfo currentPortOf(const QComboBox *box)
{
    const QVariant data = box->currentData(Qt::UserRole);
    return data.userType() == qMetaTypeId<PortInfo>() ? data.value<PortInfo>() : PortInfo();
}
