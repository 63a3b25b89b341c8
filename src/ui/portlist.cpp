#include "portlist.h"

#include "stableportname.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

namespace {

// Marks the entry that asks for a device by path.
constexpr int OtherPortRole = Qt::UserRole + 1;

QString tr(const char *text)
{
    return QCoreApplication::translate("PortList", text);
}

QString portToolTip(const PortInfo &port)
{
    QStringList lines;
    const auto add = [&lines](const char *label, const QString &value) {
        if (!value.isEmpty())
            lines << tr(label).arg(value);
    };
    add("Описание: %1", port.description());
    add("Производитель: %1", port.manufacturer());
    add("Серийный номер: %1", port.serialNumber());
    add("Устройство: %1", port.systemLocation());
    add("Постоянное имя: %1", StablePortName::of(port.systemLocation()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString portDisplayText(const PortInfo &port)
{
    if (port.isTyped())
        return port.systemLocation();
    const QString description =
        port.description().isEmpty() ? tr("Последовательный порт") : port.description();
    return port.portName() + QStringLiteral(": ") + description;
}

void fillPortBox(QComboBox *box, const QList<PortInfo> &ports)
{
    const QString remembered = box->currentText();
    box->clear();
    for (const PortInfo &port : ports) {
        box->addItem(portDisplayText(port), QVariant::fromValue(port));
        box->setItemData(box->count() - 1, portToolTip(port), Qt::ToolTipRole);
    }
    box->addItem(tr("Другой порт..."));
    box->setItemData(box->count() - 1, true, OtherPortRole);
    box->setItemData(box->count() - 1,
                     tr("Указать устройство по пути: ссылку эмулятора ККТ, псевдотерминал, "
                        "/dev/serial/by-id/...; или адрес ККТ в сети: tcp://АДРЕС:ПОРТ"),
                     Qt::ToolTipRole);
    const int kept = box->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (kept >= 0 && !isOtherPortEntry(box, kept))
        box->setCurrentText(remembered);
    else
        box->setCurrentIndex(box->findText(QStringLiteral("Korvan"), Qt::MatchContains));
}

PortInfo currentPortOf(const QComboBox *box)
{
    const QVariant data = box->currentData(Qt::UserRole);
    return data.userType() == qMetaTypeId<PortInfo>() ? data.value<PortInfo>() : PortInfo();
}

bool isOtherPortEntry(const QComboBox *box, int index)
{
    return box->itemData(index, OtherPortRole).toBool();
}

bool selectPortAt(QComboBox *box, const QString &location)
{
    for (int index = 0; index < box->count(); ++index) {
        const QVariant data = box->itemData(index, Qt::UserRole);
        if (data.userType() != qMetaTypeId<PortInfo>())
            continue;
        const QString listed = data.value<PortInfo>().systemLocation();
        if (listed == location || StablePortName::of(listed) == location) {
            box->setCurrentIndex(index);
            return true;
        }
    }
    return false;
}

QString typedPathProblem(const QString &path)
{
    // A register on the network is looked for only when used.
    if (path.startsWith(QLatin1String(networkLocationScheme)))
        return QString();
    struct stat status;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return tr("Устройство %1 не найдено.").arg(path);
    if (!S_ISCHR(status.st_mode))
        return tr("%1 не является устройством последовательного порта.").arg(path);
    return QString();
}
