#pragma once

#include "exchangejournal.h"

#include <QDockWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMainWindow;
class QTableView;
class QTimer;
class TrafficFilter;
class TrafficModel;

// "Обмен с ККТ": the exchanges of this run with the register, newest last.
// The journal keeps them from the window's start whether the dock is open or
// not; the dock itself does nothing while closed, and while open catches up
// with the journal ten times a second at most, so that a long read costs the
// view a batch of rows per tenth of a second rather than a row per exchange.
// It shows all exchanges, the failed and retried ones or one table's, those
// with a text, and exports what it shows.
class TrafficDock : public QDockWidget
{
    Q_OBJECT
public:
    // Docks at the window's bottom, open if it was open when the last run ended.
    explicit TrafficDock(QMainWindow *window);

    // For the protocol to tell of its exchanges.
    ExchangeJournal &journal() { return m_journal; }

protected:
    // Its close button.
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createToolBar();
    void createView();
    // Takes in what the journal got since the last look; keeps the newest in
    // sight while following.
    void catchUp();
    void followNewest();
    void addTableChoice(int table, const QString &text);
    void applyChoice();
    void applySearch();
    void exportShown();

    ExchangeJournal m_journal;
    TrafficModel *m_model;
    TrafficFilter *m_filter;
    QTableView *m_view;
    QComboBox *m_choice;
    QLineEdit *m_search;
    QCheckBox *m_bytes;
    QTimer *m_catchUpTimer;
    QTimer *m_searchTimer;
    // Whether the view keeps the newest row in sight: the user scrolled to the
    // bottom (or never away from it).
    bool m_following = true;
};
