#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class ElidingLabel;
class OperationProgress;
class OperationRunner;
class ProgressPanel;
class QAction;
class QMenu;
class QMyTableWidget;
class QWidget;
class RegisterConnection;
class TableData;
class TableTabs;

// Comparison of the current table with a file or with the register: the
// differences marked in its grid, the way from one to the next, and a status
// text of how many are left.
class ComparisonCommands : public QObject
{
    Q_OBJECT
public:
    ComparisonCommands(TableTabs &tabs, RegisterConnection &connection, OperationRunner &runner,
                       ProgressPanel &progressPanel, OperationProgress &progress, QWidget *window);

    // The status text of the comparison, for the window to place; shown by
    // updateComparisonLabel only while the current table is compared.
    ElidingLabel *label() const { return m_comparisonLabel; }
    // Adds the commands to the menu and to every grid's context menu;
    // returns those that start an operation.
    QList<QAction *> addToMenu(QMenu *menu);
    // The differences left in the current table, in the colour that marks them.
    void updateComparisonLabel();
    // Another port was chosen: the comparisons with the register were with
    // another register's tables.
    void endRegisterComparisons();

private:
    void compareWithFile();
    void compareWithRegister();
    void clearComparison();
    void goToNextDifference();
    void goToPreviousDifference();
    void goToDifference(bool forward);
    int compareCurrentWithFile();
    int compareCurrentWithRegister();
    // fileName is empty for a comparison with the register.
    void showComparison(QMyTableWidget *editor, const TableData &other, const QString &fileName);

    TableTabs &m_tabs;
    RegisterConnection &m_connection;
    OperationRunner &m_runner;
    ProgressPanel &m_progressPanel;
    OperationProgress &m_progress;
    QWidget *m_window;
    ElidingLabel *m_comparisonLabel;
    // What each compared table was compared with, in the words of the status bar.
    QHash<const QMyTableWidget *, QString> m_comparisonSources;
};
