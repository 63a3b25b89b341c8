#pragma once

#include "portinfo.h"
#include "protocolpelto.h"

#include <QByteArray>
#include <QFileDialog>
#include <QMainWindow>
#include <QMap>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMyTableWidget;
class PortChooser;

namespace Ui {
class MainWindow;
}

// The program's only window: a tab per register table with its editor, the
// port choice and operation buttons, the status bar, and the firmware dump page.
class MainWindow : public QMainWindow
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
    void createTableTabs();
    void addTableTab(QMyTableWidget *editor, const QString &caption, int position);
    void createDumpPageAction();
    void createBaudRateBox();

    // Table operations; each returns a result code.
    QMyTableWidget *currentEditor();
    int readCurrentTable();
    int writeCurrentTable();
    int loadCurrentTable();
    int saveCurrentTable();
    int openPortShowingStatus();
    // Runs the editor's exchange inside one connection; a failure reports
    // the driver's cause and the progress text.
    int withOpenPort(QMyTableWidget *editor, int (QMyTableWidget::*exchange)(protocolBase &),
                     const std::function<QString()> &progress);
    // Adds what went wrong to the next error box, and the driver's cause to
    // the port label's tooltip.
    void noteFailure(const QString &progress = QString());
    using FileDialog = QString (*)(QWidget *, const QString &, const QString &, const QString &,
                                   QString *, QFileDialog::Options);
    int withChosenFile(FileDialog askForFile, int (QMyTableWidget::*transfer)(const QString &));
    void runTableOperation(const QString &text, int (MainWindow::*work)(), bool reportCancel);
    QList<QWidget *> operationControls() const;
    void beginOperation(const QString &text);
    void endOperation();
    // The critical box with the code's text and, below it, the failure's details.
    void showError(int code);
    PortInfo currentPort() const;

    int readDump();

    Ui::MainWindow *ui;
    protocolPelto protocol;
    QByteArray dumpBuffer;
    QMap<int, QMyTableWidget *> editorsByTable;
    QLabel *portStatusLabel = nullptr;
    QLabel *operationStatusLabel = nullptr;
    QAction *dumpPageAction = nullptr;
    PortChooser *portChooser = nullptr;
    QComboBox *baudRateBox = nullptr;
    // Cause, hint and progress of the running operation's failure.
    QString failureDetails;
};
