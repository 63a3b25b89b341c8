#pragma once

#include "portinfo.h"
#include "progresstext.h"
#include "protocolpelto.h"

#include <QObject>

#include <functional>

class ElidingLabel;
class PortChooser;
class ProgressPanel;
class QComboBox;
class QMenu;
class QPushButton;
class QWidget;

// The window's way to the register: the port and the line's rate chosen, the
// port's state in a status text whose tooltip holds the driver's cause of a
// failure, and the exchanges, each inside one opening of the port.
class RegisterConnection : public QObject
{
    Q_OBJECT
public:
    // The port's status text and the rate box are made here for the window
    // to place.
    RegisterConnection(QComboBox *ports, ProgressPanel &progressPanel, QWidget *window);

    protocolPelto &protocol() { return m_protocol; }
    ElidingLabel *statusLabel() const { return m_portStatusLabel; }
    QComboBox *baudRateBox() const { return m_baudRateBox; }
    // "Найти ККТ...": searches the ports for registers; the one chosen sets
    // the port and the line's rate.
    QPushButton *findButton() const { return m_findButton; }

    // "Повторов при сбое": how many more times an exchange that got no
    // answer is tried, remembered from one run to the next.
    void addRetriesMenu(QMenu *menu);
    // "Ждать пропавший порт, с": how long a port gone in the middle of a
    // table read or write is waited for, remembered (30 s unless changed).
    void addPortWaitMenu(QMenu *menu);

    // Refills the port box with the ports there are now.
    void refreshPorts();
    void selectRememberedPort();
    PortInfo currentPort() const;

    int openPortShowingStatus();
    // Runs the exchange inside one connection, with the progress of work;
    // count tells how much it has done. A failure reports the driver's cause,
    // how far it got and the details, if any.
    int withOpenPort(const std::function<int()> &exchange, ProgressText::Work work, qint64 total,
                     const std::function<qint64()> &count,
                     const std::function<QString()> &details = {});
    // Asks the register for its identification and shows what came of it.
    void check();

    // Adds what went wrong to the next error box, and the driver's cause to
    // the port label's tooltip.
    void noteFailure(const QString &progress = QString());
    // Cause, hint and progress of the running operation's failure.
    QString failureDetails() const { return m_failureDetails; }
    void setFailureDetails(const QString &details) { m_failureDetails = details; }

signals:
    // The port label's new state, shown as the window shows its status texts.
    void statusChanged(bool success, bool error, const QString &text);

private:
    void createBaudRateBox(QWidget *window);
    void findRegister(QWidget *window);
    void followPort();
    // Chosen for the current port, by the user or the search: remembered for it.
    void setBaudRateCode(int code);
    void showBaudRateCode(int code);
    void setPortWait(int seconds);
    void addChoiceMenu(QMenu *menu, const QString &title, const char *name,
                       const QList<int> &numbers, int current,
                       const std::function<QString(int)> &toolTip,
                       const std::function<void(int)> &chose);

    protocolPelto m_protocol;
    ProgressPanel &m_progressPanel;
    PortChooser *m_portChooser;
    ElidingLabel *m_portStatusLabel;
    QComboBox *m_baudRateBox = nullptr;
    QPushButton *m_findButton = nullptr;
    QString m_failureDetails;
};
