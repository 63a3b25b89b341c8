#include "registerconnection.h"

#include "baudrate.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "portchooser.h"
#include "preferences.h"
#include "progresspanel.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDebug>
#include <QMenu>
#include <QMessageBox>

namespace {

// Enough for a line that spoils an exchange now and then, without waiting
// long on one that is down.
constexpr int defaultRetries = 2;

} // namespace

RegisterConnection::RegisterConnection(QComboBox *ports, ProgressPanel &progressPanel,
                                       QWidget *window)
    : QObject(window), m_progressPanel(progressPanel),
      m_portChooser(new PortChooser(ports, window)), m_portStatusLabel(new ElidingLabel(window))
{
    m_protocol.setWarningBox([](const QString &title, const QString &text) {
        QMessageBox::warning(nullptr, title, text);
    });
    createBaudRateBox(window);
}

void RegisterConnection::refreshPorts()
{
    m_portChooser->refresh();
}

void RegisterConnection::selectRememberedPort()
{
    m_portChooser->selectRemembered();
}

void RegisterConnection::createBaudRateBox(QWidget *window)
{
    m_baudRateBox = new QComboBox(window);
    m_baudRateBox->setObjectName(QStringLiteral("cbBaudRate"));
    m_baudRateBox->setToolTip(tr("Скорость обмена с ККТ по последовательному порту"));
    for (int code = BaudRate::FirstCode; BaudRate::isCode(code); ++code)
        m_baudRateBox->addItem(tr("%1 бод").arg(BaudRate::rateOfCode(code)), code);
    const int remembered =
        Preferences::value(Preferences::BaudRateCode, BaudRate::DefaultCode).toInt();
    const int index = m_baudRateBox->findData(remembered);
    m_baudRateBox->setCurrentIndex(index >= 0 ? index
                                              : m_baudRateBox->findData(BaudRate::DefaultCode));
    m_protocol.setBaudRateCode(m_baudRateBox->currentData().toInt());
    connect(m_baudRateBox, QOverload<int>::of(&QComboBox::activated), this, [this] {
        const int code = m_baudRateBox->currentData().toInt();
        m_protocol.setBaudRateCode(code);
        Preferences::setValue(Preferences::BaudRateCode, code);
    });
}

void RegisterConnection::addRetriesMenu(QMenu *menu)
{
    QMenu *retries = menu->addMenu(tr("Повторов при сбое"));
    retries->setObjectName(QStringLiteral("menuRetries"));
    retries->setToolTipsVisible(true);
    auto *choices = new QActionGroup(retries);
    m_protocol.setRetries(Preferences::value(Preferences::Retries, defaultRetries).toInt());
    for (const int count : {0, 1, 2, 3, 5, 10}) {
        QAction *choice = retries->addAction(QString::number(count));
        choice->setObjectName(QStringLiteral("actionRetries%1").arg(count));
        choice->setCheckable(true);
        choice->setChecked(count == m_protocol.retries());
        choice->setToolTip(count == 0 ? tr("Остановиться на первом обмене без ответа")
                                      : tr("Повторить обмен без ответа с тем же номером кадра: "
                                           "ККТ не выполнит команду дважды"));
        choices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, count] {
            m_protocol.setRetries(count);
            Preferences::setValue(Preferences::Retries, count);
        });
    }
}

void RegisterConnection::check()
{
    emit statusChanged(false, false, QString());
    if (openPortShowingStatus() == ERR_OK) {
        QString info;
        const int code = m_protocol.readDeviceInfo(&info);
        if (code != ERR_OK) {
            emit statusChanged(false, true,
                               tr("Нет связи (") + errorCodeToString(code) + QLatin1Char(')'));
            noteFailure();
        } else
            emit statusChanged(true, false, tr("Связь установлена (%1)").arg(info));
        m_protocol.closePort();
    }
}

int RegisterConnection::openPortShowingStatus()
{
    const int result = m_protocol.openPort(currentPort());
    m_portStatusLabel->setNote(QString());
    if (result != ERR_OK) {
        emit statusChanged(false, true, tr("Не удалось открыть порт!"));
        noteFailure();
    } else {
        emit statusChanged(true, false, tr("Порт открыт"));
    }
    return result;
}

void RegisterConnection::noteFailure(const QString &progress)
{
    const QString cause = m_protocol.failureCause();
    if (!cause.isEmpty())
        m_portStatusLabel->setNote(cause);
    QStringList details;
    for (const QString &detail : {cause, progress}) {
        if (!detail.isEmpty())
            details << detail;
    }
    m_failureDetails = details.join(QLatin1Char('\n'));
    qDebug().noquote() << "MainWindow: operation failed:" << details.join(QLatin1String("; "));
}

int RegisterConnection::withOpenPort(const std::function<int()> &exchange, ProgressText::Work work,
                                     qint64 total, const std::function<qint64()> &count,
                                     const std::function<QString()> &details)
{
    m_progressPanel.start(work, total, true);
    int result = openPortShowingStatus();
    if (result == ERR_OK) {
        result = exchange();
        m_protocol.closePort();
        if (result != ERR_OK && result != ERR_CANCELLED) {
            QString howFar = ProgressText::done(work, count()) + QLatin1Char('.');
            const QString more = details ? details() : QString();
            if (!more.isEmpty())
                howFar += QLatin1Char('\n') + more;
            noteFailure(howFar);
        }
    }
    m_progressPanel.finish(count(), result, m_protocol.retriesDone());
    return result;
}

PortInfo RegisterConnection::currentPort() const
{
    return m_portChooser->current();
}
