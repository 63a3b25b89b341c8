#pragma once

#include "operationprogress.h"
#include "operationrunner.h"

#include <QByteArray>
#include <QFileDialog>
#include <QMainWindow>

#include <functional>

class ComparisonCommands;
class ElidingLabel;
class ProgressPanel;
class QAction;
class QLabel;
class RegisterConnection;
class TableTabs;

namespace Ui {
class MainWindow;
}

// The program's only window: a tab per register table with its editor, the
// port choice and operation buttons, the status bar, and the firmware dump page.
// It runs the operations of its buttons and commands; the tabs, the
// connection and the menu's commands are objects of their own, wired here.
class MainWindow : public QMainWindow, private OperationRunner
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the text in the label: red background for errors, green text for
    // success, black text otherwise; repainted at once, as the GUI thread may
    // stay busy with the register.
    void setLabelStatus(QLabel *label, bool success, bool error, const QString &text);
    void updatePortList();
    void updateWriteButton();
    // Shows or hides the firmware dump page, a tab after the table tabs.
    void setDumpPageVisible(bool visible);

protected:
    // Asks before unsaved edits are lost; during an operation, stops it and
    // closes once it has ended.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pbRead_clicked();
    void on_pbWrite_clicked();
    void on_pbCheckConn_clicked();
    void on_pbRefresh_clicked();
    void on_pbSave_clicked();
    void on_pbReadFW_clicked();
    void on_tabWidget_currentChanged(int index);
    void on_pbLoadTable_clicked();
    void on_pbSaveTable_clicked();

private:
    void createShortcuts();
    void createDumpPageAction();
    void createTableMenu();
    void createEditMenu();
    // Names the steps to undo and redo; none while an operation runs.
    void updateHistoryActions();
    void undo();
    void redo();
    void copyTable();
    // After an undo or redo: what follows the grids' changes.
    void showUndoneOrRedone();
    void createProfileMenu();
    void createViewMenu();

    // Table operations; each returns a result code.
    int readCurrentTable();
    // "Дочитать": reads on where a read of the current table stopped.
    void continueRead();
    int continueCurrentTable();
    // The commands on a table's grid, offered on a table's page only: those
    // that start an operation while none runs, "Дочитать" for a table read in part.
    void updateTableActions();
    int writeCurrentTable();
    int loadCurrentTable();
    int saveCurrentTable();
    void closeIfAsked();
    void runTableOperation(const QString &text, const std::function<int()> &work,
                           bool reportCancel) override;
    QList<QWidget *> operationControls() const;
    void setOperationControlsEnabled(bool enabled);
    void beginOperation(const QString &text);
    void endOperation();
    // The critical box with the code's text and, below it, the failure's details.
    void showError(int code);

    int readDump();

    Ui::MainWindow *ui;
    QByteArray dumpBuffer;
    ElidingLabel *operationStatusLabel = nullptr;
    QAction *dumpPageAction = nullptr;
    QAction *checkWritesAction = nullptr;
    QAction *continueReadAction = nullptr;
    // On the goods' page only.
    QAction *priceUpdateAction = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    // The commands that start an operation, besides the form's buttons.
    QList<QAction *> operationActions;
    // The commands on the current table's grid, which the dump page lacks.
    QList<QAction *> tableActions;
    // The port chosen last: a comparison with the register was with the one there.
    QString comparedPort;
    OperationProgress progress;
    ProgressPanel *progressPanel = nullptr;
    TableTabs *tabs = nullptr;
    RegisterConnection *connection = nullptr;
    ComparisonCommands *comparisons = nullptr;
    bool closeWhenIdle = false;
};
