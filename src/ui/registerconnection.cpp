#include "registerconnection.h"

#include "baudrate.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "portchooser.h"
#include "preferences.h"
#include "progresspanel.h"
#include "registersearchdialog.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDebug>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

// Enough for a line that spoils an exchange now and then, without waiting
// long on one that is down.
constexpr int defaultRetries = 2;
// Time to put a loose cable or a pulled adapter back.
constexpr int defaultPortWaitSeconds = 30;

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
    // Each port at its own rate: registers on one bench often run at different ones.
    connect(ports, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &RegisterConnection::followPort);
    followPort();
    m_findButton = new QPushButton(tr("Найти ККТ..."), window);
    m_findButton->setObjectName(QStringLiteral("pbFindRegister"));
    m_findButton->setToolTip(tr("Найти ККТ на портах списка на всех скоростях: только запрос "
                                "идентификации, без записи"));
    connect(m_findButton, &QPushButton::clicked, this, [this, window] { findRegister(window); });
}

// Every port in the list but the built-in register, typed ones too.
void RegisterConnection::findRegister(QWidget *window)
{
    QList<PortInfo> ports = m_portChooser->ports();
    ports.erase(std::remove_if(ports.begin(), ports.end(),
                               [](const PortInfo &port) {
                                   return port.systemLocation() ==
                                          QLatin1String(builtInRegisterLocation);
                               }),
                ports.end());
    qDebug() << "RegisterConnection: searching" << ports.size() << "ports for a register";
    RegisterSearchDialog dialog(ports, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const FoundRegister found = dialog.chosen();
    if (found.port.isNull())
        return;
    m_portChooser->choose(found.port.systemLocation());
    setBaudRateCode(BaudRate::codeOfRate(found.baud));
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
    showBaudRateCode(m_portChooser->baudRateCode());
    connect(m_baudRateBox, QOverload<int>::of(&QComboBox::activated), this,
            [this] { setBaudRateCode(m_baudRateBox->currentData().toInt()); });
}

// A register on the network has no line speed: its box goes out of sight
// rather than show a rate that means nothing there.
void RegisterConnection::followPort()
{
    const PortInfo port = currentPort();
    if (port.isNull())
        return;
    showBaudRateCode(m_portChooser->baudRateCode());
    m_baudRateBox->setVisible(!port.isNetwork());
}

void RegisterConnection::setBaudRateCode(int code)
{
    showBaudRateCode(code);
    m_portChooser->rememberBaudRateCode(code);
}

void RegisterConnection::showBaudRateCode(int code)
{
    m_baudRateBox->setCurrentIndex(m_baudRateBox->findData(code));
    m_protocol.setBaudRateCode(code);
}

void RegisterConnection::addRetriesMenu(QMenu *menu)
{
    const int retries = Preferences::value(Preferences::Retries, defaultRetries).toInt();
    m_protocol.setRetries(retries);
    addChoiceMenu(
        menu, tr("По&второв при сбое"), "Retries", {0, 1, 2, 3, 5, 10}, retries,
        [](int count) {
            return count == 0 ? tr("Остановиться на первом обмене без ответа")
                              : tr("Повторить обмен без ответа с тем же номером "
                                   "кадра: ККТ не выполнит команду дважды. Длинный кадр "
                                   "(блок дампа) получает столько же попыток на каждые 64 байта");
        },
        [this](int count) {
            m_protocol.setRetries(count);
            Preferences::setValue(Preferences::Retries, count);
        });
}

void RegisterConnection::addPortWaitMenu(QMenu *menu)
{
    const int seconds =
        Preferences::value(Preferences::PortWaitSeconds, defaultPortWaitSeconds).toInt();
    setPortWait(seconds);
    addChoiceMenu(
        menu, tr("&Ждать пропавший порт, с"), "PortWait", {0, 10, 30, 60, 120}, seconds,
        [](int choice) {
            return choice == 0 ? tr("Остановиться, как только порт пропал")
                               : tr("Если порт пропал во время чтения или записи таблицы, ждать, "
                                    "пока он появится снова, и продолжить");
        },
        [this](int choice) {
            setPortWait(choice);
            Preferences::setValue(Preferences::PortWaitSeconds, choice);
        });
}

void RegisterConnection::setPortWait(int seconds)
{
    m_protocol.setPortWait(seconds * 1000, [this](bool waiting, qint64 msLeft) {
        return m_progressPanel.waitForPort(waiting, msLeft);
    });
}

// One of the numbers, checked where it is current; chose() is told the new one.
void RegisterConnection::addChoiceMenu(QMenu *menu, const QString &title, const char *name,
                                       const QList<int> &numbers, int current,
                                       const std::function<QString(int)> &toolTip,
                                       const std::function<void(int)> &chose)
{
    QMenu *choices = menu->addMenu(title);
    choices->setObjectName(QStringLiteral("menu%1").arg(QLatin1String(name)));
    choices->setToolTipsVisible(true);
    auto *group = new QActionGroup(choices);
    for (const int number : numbers) {
        QAction *choice = choices->addAction(QString::number(number));
        choice->setObjectName(QStringLiteral("action%1%2").arg(QLatin1String(name)).arg(number));
        choice->setCheckable(true);
        choice->setChecked(number == current);
        choice->setToolTip(toolTip(number));
        group->addAction(choice);
        connect(choice, &QAction::triggered, this, [chose, number] { chose(number); });
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
    QString cause = m_protocol.failureCause();
    if (m_protocol.unansweredOnWorkingLine())
        cause += QLatin1Char('\n') +
                 tr("Если линия с помехами, увеличьте «Повторов при сбое» в меню «Таблица» "
                    "(сейчас %1).")
                     .arg(m_protocol.retries());
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
    m_progressPanel.finish(count(), result, m_protocol.exchangeCounts());
    return result;
}

PortInfo RegisterConnection::currentPort() const
{
    return m_portChooser->current();
}
