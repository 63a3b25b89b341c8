#pragma once

#include "registerfinder.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Найти ККТ": searches the ports for registers, every rate on each, and
// lists what answered as it comes; the row chosen is the port and the rate
// to use. Closing it stops the search.
class RegisterSearchDialog : public QDialog
{
    Q_OBJECT
public:
    RegisterSearchDialog(const QList<PortInfo> &ports, QWidget *parent);

    // The register of the row chosen; valid once the dialog was accepted.
    FoundRegister chosen() const;

    void done(int result) override;

private:
    void showProgress();
    void addRow(const FoundRegister &found);

    RegisterFinder m_finder;
    QTimer m_poll;
    QList<FoundRegister> m_found;
    QProgressBar *m_progress;
    QLabel *m_status;
    QTableWidget *m_table;
    QPushButton *m_stop;
    QPushButton *m_choose;
};
