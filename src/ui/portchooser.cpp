#include "portchooser.h"

#include "baudrate.h"
#include "portlist.h"
#include "preferences.h"
#include "stableportname.h"

#include <QComboBox>
#include <QDebug>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

PortChooser::PortChooser(QComboBox *box, QWidget *dialogParent)
    : QObject(box), m_box(box), m_dialogParent(dialogParent)
{
    connect(box, QOverload<int>::of(&QComboBox::activated), this, &PortChooser::onActivated);
    connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        const PortInfo port = current();
        if (!port.isNull())
            m_chosenLocation = port.systemLocation();
    });
}

void PortChooser::refresh()
{
    QList<PortInfo> ports = PortInfo::availablePorts();
    for (const PortInfo &typed : qAsConst(m_typed)) {
        if (typedPathProblem(typed.systemLocation()).isEmpty())
            ports.append(typed);
    }
    fillPortBox(m_box, ports);
}

void PortChooser::selectRemembered()
{
    const QString location = Preferences::value(Preferences::PortLocation).toString();
    if (location.isEmpty() || selectPortAt(m_box, location))
        return;
    const bool typed = location.startsWith(QLatin1Char('/')) ||
                       location.startsWith(QLatin1String(networkLocationScheme));
    if (typed && typedPathProblem(location).isEmpty()) {
        addTyped(PortInfo::typedPath(location));
        selectPortAt(m_box, location);
    }
}

PortInfo PortChooser::current() const
{
    return currentPortOf(m_box);
}

QList<PortInfo> PortChooser::ports() const
{
    QList<PortInfo> listed;
    for (int index = 0; index < m_box->count(); ++index) {
        const QVariant data = m_box->itemData(index);
        if (data.userType() == qMetaTypeId<PortInfo>())
            listed << data.value<PortInfo>();
    }
    return listed;
}

void PortChooser::onActivated(int index)
{
    if (isOtherPortEntry(m_box, index))
        askForPath();
    else
        choose(current().systemLocation());
}

// Nothing is opened before the path is known to be a device.
void PortChooser::askForPath()
{
    const QString lastTyped =
        m_typed.isEmpty() ? QStringLiteral("/dev/") : m_typed.last().systemLocation();
    bool accepted = false;
    QString path =
        QInputDialog::getText(m_dialogParent, tr("Другой порт"),
                              tr("Путь к устройству последовательного порта\n(например, "
                                 "/dev/ttyUSB0, /dev/serial/by-id/... или ссылка эмулятора ККТ)\n"
                                 "или адрес ККТ в сети (tcp://192.168.1.10:7778):"),
                              QLineEdit::Normal, lastTyped, &accepted)
            .trimmed();
    // "HOST:PORT" alone is no path: it has no "/".
    const QString network = PortInfo::networkLocation(path);
    if (!network.isEmpty())
        path = network;
    const QString problem = accepted ? typedPathProblem(path) : QString();
    if (accepted && problem.isEmpty()) {
        if (!selectPortAt(m_box, path))
            addTyped(PortInfo::typedPath(path));
        choose(path);
        return;
    }
    if (!selectPortAt(m_box, m_chosenLocation))
        m_box->setCurrentIndex(-1);
    if (!problem.isEmpty()) {
        qDebug() << "PortChooser: typed port refused:" << problem;
        QMessageBox::warning(m_dialogParent, tr("Ошибка"), problem);
    }
}

void PortChooser::addTyped(const PortInfo &port)
{
    const auto samePath = [&port](const PortInfo &typed) {
        return typed.systemLocation() == port.systemLocation();
    };
    m_typed.erase(std::remove_if(m_typed.begin(), m_typed.end(), samePath), m_typed.end());
    m_typed.append(port);
    refresh();
}

void PortChooser::choose(const QString &location)
{
    if (!selectPortAt(m_box, location)) {
        addTyped(PortInfo::typedPath(location));
        selectPortAt(m_box, location);
    }
    Preferences::setValue(Preferences::PortLocation, rememberedName(location));
}

QString PortChooser::rememberedName(const QString &location)
{
    const QString stable = StablePortName::of(location);
    return stable.isEmpty() ? location : stable;
}

int PortChooser::baudRateCode() const
{
    const QVariantMap codes = Preferences::value(Preferences::PortBaudRateCodes).toMap();
    const QVariant fallback = Preferences::value(Preferences::BaudRateCode, BaudRate::DefaultCode);
    const int code = codes.value(rememberedName(current().systemLocation()), fallback).toInt();
    return BaudRate::isCode(code) ? code : BaudRate::DefaultCode;
}

void PortChooser::rememberBaudRateCode(int code)
{
    QVariantMap codes = Preferences::value(Preferences::PortBaudRateCodes).toMap();
    codes.insert(rememberedName(current().systemLocation()), code);
    Preferences::setValue(Preferences::PortBaudRateCodes, codes);
}
