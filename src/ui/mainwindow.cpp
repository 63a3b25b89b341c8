#include "mainwindow.h"

#include "comparisoncommands.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "filedialogs.h"
#include "gridhistory.h"
#include "gridpaste.h"
#include "menuactions.h"
#include "portlist.h"
#include "preferences.h"
#include "priceupdatecommand.h"
#include "profilecommands.h"
#include "progresspanel.h"
#include "progresstext.h"
#include "qtabletab.h"
#include "registerconnection.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tablefile.h"
#include "tableoperations.h"
#include "tabletabs.h"
#include "trafficdock.h"
#include "ui_mainwindow.h"
#include "windowlayout.h"
#include "writecheck.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QShortcut>
#include <QTimer>

namespace {

const char versionText[] = MORVELL_VERSION;

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    qDebug() << "MainWindow::MainWindow";
    ui->setupUi(this);
    // The dump page is offered only through its shortcut (see createDumpPageAction).
    ui->tabWidget->removeTab(0);
    tabs = new TableTabs(ui->tabWidget, progress, this);
    tabs->createTableTabs();
    ui->tabWidget->setCurrentIndex(0);
    // Before the status texts, which it follows in the status bar: the
    // connection reports its exchanges' progress there.
    progressPanel = new ProgressPanel(progress, this);
    connection = new RegisterConnection(ui->cbPorts, *progressPanel, this);
    connect(connection, &RegisterConnection::statusChanged, this,
            [this](bool success, bool error, const QString &text) {
                setLabelStatus(connection->statusLabel(), success, error, text);
            });
    // The line's rate goes under the port it is for, in the form's free cell,
    // side by side with the search, so that a narrow window cannot lay one over
    // the other.
    auto *lineRow = new QHBoxLayout;
    lineRow->addWidget(connection->baudRateBox());
    lineRow->addStretch(1);
    lineRow->addWidget(connection->findButton());
    ui->gridLayout->addLayout(lineRow, 1, 0);
    updatePortList();
    connection->selectRememberedPort();
    comparedPort = currentPortOf(ui->cbPorts).systemLocation();

    // The changing texts elide rather than push the others out of the window;
    // each is no wider than its text, so that a long one has the room a short
    // one leaves. All of them have a stretch: one without would take all it
    // asks for first. The operation and its progress or summary are kept
    // whole; the port's state and the comparison make room for them.
    statusBar()->addWidget(connection->statusLabel(), 1);
    setLabelStatus(connection->statusLabel(), false, false, QString());
    operationStatusLabel = new ElidingLabel;
    operationStatusLabel->setKeptWhole(true);
    statusBar()->addWidget(operationStatusLabel, 1);
    setLabelStatus(operationStatusLabel, false, false, QString());
    auto *versionLabel = new QLabel;
    statusBar()->addWidget(versionLabel, 0);
    setLabelStatus(versionLabel, false, false, tr("Версия: ") + QLatin1String(versionText));
    comparisons = new ComparisonCommands(*tabs, *connection, *this, *progressPanel, progress, this);
    statusBar()->addWidget(comparisons->label(), 1);
    comparisons->updateComparisonLabel();

    ui->cbFWtype->addItem(QString::fromUtf8("1 – процессор с внутренним ПО ККТ"), 17);
    ui->cbFWtype->addItem(QString::fromUtf8("2 – процессор управления фискальной памятью"), 2);
    createDumpPageAction();
    statusBar()->addPermanentWidget(progressPanel, 1);
    // Never wider than the window, whatever its texts ask for: short of room,
    // the bar takes it from the widest text first, which elides.
    statusBar()->setMinimumWidth(1);
    createTableMenu();
    createEditMenu();
    createProfileMenu();
    createViewMenu();
    createShortcuts();
    WindowLayout::fitButtons(*this, {ui->pbRefresh, ui->pbRead, ui->pbLoadTable, ui->pbCheckConn,
                                     ui->pbWrite, ui->pbSaveTable, ui->pbReadFW, ui->pbSave});
    WindowLayout::restore(*this, tabs->editors());
    connect(tabs, &TableTabs::cellsEdited, comparisons, &ComparisonCommands::updateComparisonLabel);
    // A refill of the list passes through no port and back to the same one.
    connect(ui->cbPorts, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        const QString chosen = currentPortOf(ui->cbPorts).systemLocation();
        if (chosen.isEmpty() || chosen == comparedPort)
            return;
        comparedPort = chosen;
        comparisons->endRegisterComparisons();
    });
}

MainWindow::~MainWindow()
{
    qDebug() << "MainWindow::~MainWindow";
    WindowLayout::remember(*this, tabs->editors());
    delete ui;
}

void MainWindow::setLabelStatus(QLabel *label, bool success, bool error, const QString &text)
{
    qDebug() << "MainWindow::setLabelStatus";
    if (!label) {
        qDebug() << "MainWindow::setLabelStatus"
                 << "label == NULL";
        return;
    }
    if (error)
        label->setStyleSheet(QStringLiteral("QLabel { background-color : red; color : black; }"));
    else if (success)
        label->setStyleSheet(QStringLiteral("QLabel { background-color : base; color : green; }"));
    else
        label->setStyleSheet(QStringLiteral("QLabel { background-color : base; color : black; }"));
    if (auto *eliding = qobject_cast<ElidingLabel *>(label))
        eliding->setFullText(text);
    else
        label->setText(text);
    label->repaint();
}

void MainWindow::updatePortList()
{
    qDebug() << "MainWindow::updatePortList";
    connection->refreshPorts();
}

void MainWindow::on_tabWidget_currentChanged(int)
{
    const bool tableTab = qobject_cast<QTableTab *>(ui->tabWidget->currentWidget()) != nullptr;
    for (QWidget *button : {ui->pbRead, ui->pbWrite, ui->pbLoadTable, ui->pbSaveTable})
        button->setVisible(tableTab);
    updateWriteButton();
    // Tabs change while the window is still being built.
    if (comparisons)
        comparisons->updateComparisonLabel();
    if (continueReadAction)
        updateTableActions();
}

void MainWindow::updateWriteButton()
{
    const auto *page = qobject_cast<QTableTab *>(ui->tabWidget->currentWidget());
    if (!page)
        return;
    // Tabs switch while an operation handles events; no second one may start.
    if (QMyTableWidget *editor = tabs->editors().value(page->tableNumber()))
        ui->pbWrite->setEnabled(editor->isWritable() && !progress.isRunning());
}

// The keys of the operations, shown in their buttons' tooltips, the menus' key
// and the tab switches, which work wherever the focus is.
void MainWindow::createShortcuts()
{
    const QList<std::tuple<QPushButton *, QKeySequence, QString>> keyed = {
        {ui->pbRead, QKeySequence(Qt::Key_F5), tr("Прочитать таблицу из ККТ")},
        {ui->pbWrite, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
         tr("Записать изменения таблицы в ККТ")},
        {ui->pbLoadTable, QKeySequence(QKeySequence::Open), tr("Загрузить таблицу из файла")},
        {ui->pbSaveTable, QKeySequence(QKeySequence::Save), tr("Сохранить таблицу в файл")}};
    for (const auto &[button, keys, text] : keyed) {
        button->setShortcut(keys);
        button->setToolTip(
            QStringLiteral("%1 (%2)").arg(text, keys.toString(QKeySequence::NativeText)));
    }
    // As in other desktop programs: the first menu opens, the arrows go on.
    auto *menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    auto *find = new QShortcut(QKeySequence(QKeySequence::Find), this);
    connect(find, &QShortcut::activated, tabs, &TableTabs::openGoodsFinder);
    const auto switchTab = [this](int step) {
        const int count = ui->tabWidget->count();
        ui->tabWidget->setCurrentIndex((ui->tabWidget->currentIndex() + step + count) % count);
    };
    for (const auto &[keys, step] :
         QList<QPair<QKeySequence, int>>{{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                         {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                         {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [switchTab, step = step] { switchTab(step); });
    }
}

void MainWindow::createDumpPageAction()
{
    dumpPageAction = new QAction(tr("Чтение дампа"), this);
    dumpPageAction->setCheckable(true);
    dumpPageAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    connect(dumpPageAction, &QAction::toggled, this, &MainWindow::setDumpPageVisible);
    addAction(dumpPageAction);
}

void MainWindow::setDumpPageVisible(bool visible)
{
    const int index = ui->tabWidget->indexOf(ui->tab8);
    if (visible && index < 0)
        ui->tabWidget->setCurrentIndex(ui->tabWidget->addTab(ui->tab8, tr("Чтение дампа")));
    else if (!visible && index >= 0)
        ui->tabWidget->removeTab(index);
    dumpPageAction->setChecked(visible);
}

// In a menu bar made here, so that the form keeps its buttons and layout.
void MainWindow::createTableMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("&Таблица"));
    checkWritesAction = menu->addAction(tr("&Проверять запись"));
    checkWritesAction->setObjectName(QStringLiteral("actionCheckWrites"));
    checkWritesAction->setCheckable(true);
    checkWritesAction->setChecked(Preferences::value(Preferences::CheckWrites, true).toBool());
    connect(checkWritesAction, &QAction::toggled, this,
            [](bool checked) { Preferences::setValue(Preferences::CheckWrites, checked); });
    connection->addRetriesMenu(menu);
    connection->addPortWaitMenu(menu);
    menu->addSeparator();
    continueReadAction = MenuActions::add(menu, tr("&Дочитать"), "actionContinueRead", {}, this,
                                          &MainWindow::continueRead);
    continueReadAction->setToolTip(
        tr("Прочитать из ККТ строки, которые остановленное чтение не успело получить"));
    operationActions << continueReadAction;
    // The grid that was read in part offers it too.
    for (QMyTableWidget *editor : tabs->editors())
        editor->addAction(continueReadAction);
    menu->addSeparator();
    const int beforeComparisons = menu->actions().size();
    operationActions << comparisons->addToMenu(menu);
    tableActions << continueReadAction << menu->actions().mid(beforeComparisons);
    menu->addSeparator();
    auto *prices =
        new PriceUpdateCommand(*tabs, *connection, *this, *progressPanel, progress, this);
    priceUpdateAction = prices->addToMenu(menu);
    operationActions << priceUpdateAction;
    updateTableActions();
}

// The keys work in the grids, where a cell editor keeps its own undo of the
// text being typed.
void MainWindow::createEditMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("П&равка"));
    undoAction = MenuActions::add(menu, QString(), "actionUndo", QKeySequence::Undo, this,
                                  &MainWindow::undo);
    redoAction = MenuActions::add(menu, QString(), "actionRedo", QKeySequence::Redo, this,
                                  &MainWindow::redo);
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addSeparator();
    MenuActions::add(menu, tr("Копировать &таблицу"), "actionCopyTable", QKeySequence(), this,
                     &MainWindow::copyTable);
    connect(&tabs->history(), &GridHistory::changed, this, &MainWindow::updateHistoryActions);
    updateHistoryActions();
}

void MainWindow::updateHistoryActions()
{
    const bool idle = ui->pbRead->isEnabled();
    const QString undone = tabs->history().undoName();
    const QString redone = tabs->history().redoName();
    undoAction->setText(undone.isEmpty() ? tr("&Отменить") : tr("&Отменить: %1").arg(undone));
    undoAction->setEnabled(idle && !undone.isEmpty());
    redoAction->setText(redone.isEmpty() ? tr("&Повторить") : tr("&Повторить: %1").arg(redone));
    redoAction->setEnabled(idle && !redone.isEmpty());
}

// Ready for a spreadsheet: tab-separated, the column captions first.
void MainWindow::copyTable()
{
    if (QMyTableWidget *editor = tabs->currentEditor())
        QGuiApplication::clipboard()->setText(GridPaste::tableText(*editor));
}

void MainWindow::undo()
{
    tabs->history().undo();
    showUndoneOrRedone();
}

void MainWindow::redo()
{
    tabs->history().redo();
    showUndoneOrRedone();
}

void MainWindow::showUndoneOrRedone()
{
    updateWriteButton();
    tabs->updateModifiedMarker();
    comparisons->updateComparisonLabel();
}

void MainWindow::createProfileMenu()
{
    auto *profiles = new ProfileCommands(*tabs, *connection, *this, *progressPanel, progress,
                                         *checkWritesAction, this);
    operationActions << profiles->addToMenu(menuBar()->addMenu(tr("&Профиль")));
}

// The dock's journal hears of every exchange from the start, so that the
// dock opened later shows what came before.
void MainWindow::createViewMenu()
{
    auto *traffic = new TrafficDock(this);
    connection->protocol().setExchangeObserver(&traffic->journal());
    menuBar()->addMenu(tr("&Вид"))->addAction(traffic->toggleViewAction());
}

// ---- Table and connection operations

void MainWindow::on_pbRead_clicked()
{
    qDebug() << "MainWindow::on_pbRead_clicked";
    runTableOperation(
        tr("Чтение таблицы"), [this] { return readCurrentTable(); }, false);
}

void MainWindow::on_pbWrite_clicked()
{
    qDebug() << "MainWindow::on_pbWrite_clicked";
    runTableOperation(
        tr("Запись таблицы"), [this] { return writeCurrentTable(); }, false);
}

void MainWindow::on_pbCheckConn_clicked()
{
    qDebug() << "MainWindow::on_pbCheckConn_clicked";
    beginOperation(tr("Проверка связи"));
    connection->check();
    endOperation();
}

void MainWindow::on_pbRefresh_clicked()
{
    qDebug() << "MainWindow::on_pbRefresh_clicked";
    updatePortList();
}

void MainWindow::on_pbLoadTable_clicked()
{
    qDebug() << "MainWindow::on_pbLoadTable_clicked";
    runTableOperation(
        tr("Чтение из файла"), [this] { return loadCurrentTable(); }, true);
}

void MainWindow::on_pbSaveTable_clicked()
{
    qDebug() << "MainWindow::on_pbSaveTable_clicked";
    runTableOperation(
        tr("Запись в файл"), [this] { return saveCurrentTable(); }, true);
}

// Register operations keep quiet about a cancel, which the user just chose;
// a cancelled file dialog is reported. A stop at an event point, once the
// progress has started, is the user's choice too: its summary says it.
void MainWindow::runTableOperation(const QString &text, const std::function<int()> &work,
                                   bool reportCancel)
{
    beginOperation(text);
    bool progressStarted = false;
    const QMetaObject::Connection watch =
        connect(&progress, &OperationProgress::runningChanged, this,
                [&progressStarted](bool running) { progressStarted |= running; });
    const int result = work();
    disconnect(watch);
    if (result != ERR_OK && ((reportCancel && !progressStarted) || result != ERR_CANCELLED))
        showError(result);
    endOperation();
}

int MainWindow::readCurrentTable()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    if (!tabs->confirmDroppingEdits({editor}))
        return ERR_CANCELLED;
    tabs->history().forget(*editor);
    editor->clearComparison();
    editor->setRowCount(0);
    const int result = connection->withOpenPort(
        [this, editor] { return editor->readTable(connection->protocol()); },
        ProgressText::Work::RecordsRead, -1, [editor] { return editor->rowCount(); });
    tabs->setIncomplete(editor, result != ERR_OK);
    return result;
}

void MainWindow::continueRead()
{
    qDebug() << "MainWindow::continueRead";
    runTableOperation(
        tr("Чтение таблицы"), [this] { return continueCurrentTable(); }, false);
}

// Appending changes no cell the grid holds, so unsaved edits stay without a question.
int MainWindow::continueCurrentTable()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor || !tabs->isIncomplete(editor))
        return ERR_WRONG_TABLE_NUMBER;
    tabs->history().forget(*editor);
    editor->clearComparison();
    const int before = editor->rowCount();
    const int result = connection->withOpenPort(
        [this, editor] { return editor->continueReading(connection->protocol()); },
        ProgressText::Work::RecordsRead, -1,
        [editor, before] { return qMax(0, editor->rowCount() - before); });
    tabs->setIncomplete(editor, result != ERR_OK);
    return result;
}

void MainWindow::updateTableActions()
{
    QMyTableWidget *editor = tabs->currentEditor();
    const bool idle = ui->pbRead->isEnabled();
    for (QAction *action : qAsConst(tableActions))
        action->setEnabled(editor && (idle || !operationActions.contains(action)));
    continueReadAction->setEnabled(editor && tabs->isIncomplete(editor) && idle);
    priceUpdateAction->setEnabled(editor && editor->tableNumber() == 1 && idle);
}

int MainWindow::writeCurrentTable()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor || !editor->isWritable())
        return ERR_WRONG_TABLE_NUMBER;
    if (QTableWidgetItem *invalid = editor->findInvalidItem()) {
        editor->scrollToItem(invalid);
        QMessageBox box(
            QMessageBox::Warning, tr("Ошибка"),
            tr("Обнаружены некорректные данные.\nВы уверены, что хотите продолжить запись?"),
            QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        box.setInformativeText(
            TableOperations::describeCell(editor->data(), invalid->row(), invalid->column()));
        if (box.exec() != QMessageBox::Yes)
            return ERR_CANCELLED;
    }
    tabs->history().forget(*editor);
    WriteCheck check(editor->data());
    WriteCheck *checking = checkWritesAction->isChecked() ? &check : nullptr;
    int result = ERR_OK;
    return connection->withOpenPort(
        [this, editor, checking, &result] {
            result = TableOperations::writeAndCheck(connection->protocol(), editor->data(),
                                                    checking, progress);
            return result;
        },
        ProgressText::Work::FieldsWritten, editor->cellsToWrite(),
        [this] { return connection->protocol().fieldsWritten(); },
        [editor, &check, &result] {
            QStringList details{TableOperations::checkDetails(editor->tableNumber(), check)};
            // The valid cells after an invalid one the user let the write reach stay unsent.
            if (result == ERR_INVALID_DATA)
                details << TableOperations::invalidCellStop(editor->data());
            details.removeAll(QString());
            return details.join(QLatin1Char('\n'));
        });
}

int MainWindow::loadCurrentTable()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    if (!tabs->confirmDroppingEdits({editor}))
        return ERR_CANCELLED;
    const QString path = FileDialogs::askOpen(this, tr("Выберите файл"), editor->fileFilter());
    if (path.isEmpty())
        return ERR_CANCELLED;
    progressPanel->start(ProgressText::Work::RecordsLoaded, QFileInfo(path).size(), true);
    QString why;
    const int result = editor->loadFromFile(path, &why);
    connection->setFailureDetails(why);
    // A stopped load leaves nothing loaded.
    progressPanel->finish(result == ERR_CANCELLED ? 0 : editor->rowCount(), result);
    if (result == ERR_OK)
        tabs->setIncomplete(editor, false);
    return result;
}

int MainWindow::saveCurrentTable()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    if (tabs->isIncomplete(editor) && !tabs->confirmSavingIncomplete(editor))
        return ERR_CANCELLED;
    QString filter;
    const QString path =
        FileDialogs::askSave(this, tr("Выберите файл"), editor->fileFilter(),
                             TableCatalogue::find(editor->tableNumber())->caption, &filter);
    if (path.isEmpty())
        return ERR_CANCELLED;
    progressPanel->start(ProgressText::Work::RecordsSaved, editor->rowCount(), true);
    // The goods' CSV for spreadsheet programs is asked for by its filter.
    auto *goods = dynamic_cast<QMyTable1Widget *>(editor);
    const int result = goods ? goods->saveAs(path, filter) : editor->saveToFile(path);
    progressPanel->finish(editor->rowCount(), result);
    if (result == ERR_INVALID_DATA)
        connection->setFailureDetails(TableFile::refusal(
            editor->data(), TableFile::formatOf(editor->tableNumber(), path, filter)));
    return result;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (progress.isRunning()) {
        // The operation ends at its next event point, and the window closes then.
        progress.requestCancel();
        closeWhenIdle = true;
        event->ignore();
        return;
    }
    closeWhenIdle = false;
    if (!tabs->confirmDroppingEdits(tabs->editors().values())) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::closeIfAsked()
{
    if (closeWhenIdle)
        QTimer::singleShot(0, this, &QWidget::close);
}

// The controls that could start a second operation, in the order they are switched.
QList<QWidget *> MainWindow::operationControls() const
{
    return {ui->pbCheckConn,          ui->pbRefresh,   ui->pbRead,  ui->pbWrite,
            ui->pbLoadTable,          ui->pbSaveTable, ui->cbPorts, connection->baudRateBox(),
            connection->findButton(), ui->pbReadFW};
}

void MainWindow::setOperationControlsEnabled(bool enabled)
{
    for (QWidget *control : operationControls())
        control->setEnabled(enabled);
    for (QAction *action : qAsConst(operationActions))
        action->setEnabled(enabled);
    updateTableActions();
    updateHistoryActions();
}

void MainWindow::beginOperation(const QString &text)
{
    connection->setFailureDetails(QString());
    setLabelStatus(operationStatusLabel, false, false, text);
    setOperationControlsEnabled(false);
    repaint();
}

void MainWindow::endOperation()
{
    setLabelStatus(operationStatusLabel, false, false, tr("Ожидание"));
    setOperationControlsEnabled(true);
    updateWriteButton();
    tabs->updateModifiedMarker();
    comparisons->updateComparisonLabel();
    repaint();
    closeIfAsked();
}

void MainWindow::showError(int code)
{
    QMessageBox box(QMessageBox::Critical, tr("Ошибка"), errorCodeToString(code), QMessageBox::Ok,
                    this);
    box.setInformativeText(connection->failureDetails());
    box.exec();
}

// ---- Firmware dump

void MainWindow::on_pbReadFW_clicked()
{
    qDebug() << "MainWindow::on_pbReadFW_clicked";
    setLabelStatus(operationStatusLabel, false, false, tr("Чтение дампа"));
    connection->setFailureDetails(QString());
    ui->pbCheckConn->setEnabled(false);
    ui->pbReadFW->setEnabled(false);
    ui->pbSave->setEnabled(false);
    ui->cbPorts->setEnabled(false);
    // The dump handles events between blocks: no table operation may start meanwhile.
    setOperationControlsEnabled(false);
    repaint();

    progressPanel->start(ProgressText::Work::BytesRead, -1, true);
    int code = connection->openPortShowingStatus();
    if (code == ERR_OK)
        code = readDump();
    connection->protocol().closePort();
    progressPanel->finish(code == ERR_OK ? dumpBuffer.size() : progress.done(), code,
                          connection->protocol().exchangeCounts());

    ui->pbCheckConn->setEnabled(true);
    ui->pbReadFW->setEnabled(true);
    ui->cbPorts->setEnabled(true);
    setOperationControlsEnabled(true);
    updateWriteButton();
    if (code != ERR_OK) {
        setLabelStatus(operationStatusLabel, false, false, tr("Ожидание"));
        ui->pbSave->setEnabled(false);
        // Stopped by the user, who needs no box to say so.
        if (code != ERR_CANCELLED)
            showError(code);
    } else {
        setLabelStatus(operationStatusLabel, false, false,
                       QString::fromUtf8("Cчитано %1 байт. Ожидание").arg(dumpBuffer.size()));
        ui->pbSave->setEnabled(!dumpBuffer.isEmpty());
        const auto answer =
            QMessageBox::question(this, tr("Дамп считан"), tr("Дамп считан.\r\nСохранить?"),
                                  QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            ui->pbSave->click();
    }
    repaint();
    closeIfAsked();
}

int MainWindow::readDump()
{
    const int processor = ui->cbFWtype->currentData(Qt::UserRole).toInt();
    bool started = false;
    const int code =
        TableOperations::readDump(connection->protocol(), processor, progress, dumpBuffer, started);
    if (code == ERR_OK || code == ERR_CANCELLED)
        return code;
    connection->noteFailure();
    setLabelStatus(operationStatusLabel, false, true,
                   started ? tr("Ошибка при считывании дампа")
                           : tr("Не удалось начать считываниме дампа"));
    return code;
}

void MainWindow::on_pbSave_clicked()
{
    qDebug() << "MainWindow::on_pbSave_clicked";
    const QString path =
        FileDialogs::askSave(this, tr("Выберите файл"), tr("*.bin;;Все файлы (*.*)"),
                             tr("Дамп %1").arg(ui->cbFWtype->currentIndex() + 1));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(dumpBuffer) != dumpBuffer.size() ||
        !file.commit())
        showError(ERR_FILE_OPEN);
}
