// The commands of the window's menu bar: whether writes are checked, the
// comparisons of the current table, and the profiles, which hold every table.

#include "mainwindow.h"

#include "cellmarks.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "filedialogs.h"
#include "preferences.h"
#include "profilefile.h"
#include "progresspanel.h"
#include "registerconnection.h"
#include "registersync.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tableoperations.h"
#include "tabletabs.h"

#include <QAction>
#include <QDateTime>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

using TableCatalogue::caption;

// In a menu bar made here, so that the form keeps its buttons and layout.
void MainWindow::createTableMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("Таблица"));
    checkWritesAction = menu->addAction(tr("Проверять запись"));
    checkWritesAction->setObjectName(QStringLiteral("actionCheckWrites"));
    checkWritesAction->setCheckable(true);
    checkWritesAction->setChecked(Preferences::value(Preferences::CheckWrites, true).toBool());
    connect(checkWritesAction, &QAction::toggled, this,
            [](bool checked) { Preferences::setValue(Preferences::CheckWrites, checked); });
    menu->addSeparator();
    const QList<QAction *> comparing = {
        addMenuAction(menu, tr("Сравнить с файлом..."), "actionCompareWithFile", {},
                      &MainWindow::compareWithFile),
        addMenuAction(menu, tr("Сравнить с ККТ"), "actionCompareWithRegister", {},
                      &MainWindow::compareWithRegister),
        addMenuAction(menu, tr("Следующее различие"), "actionNextDifference",
                      QKeySequence(Qt::Key_F3), &MainWindow::goToNextDifference),
        addMenuAction(menu, tr("Предыдущее различие"), "actionPreviousDifference",
                      QKeySequence(Qt::SHIFT + Qt::Key_F3), &MainWindow::goToPreviousDifference),
        addMenuAction(menu, tr("Убрать сравнение"), "actionClearComparison", {},
                      &MainWindow::clearComparison)};
    // Where the differences are looked at, the grid offers them too.
    for (QMyTableWidget *editor : tabs->editors()) {
        editor->setContextMenuPolicy(Qt::ActionsContextMenu);
        editor->addActions(comparing);
    }
    operationActions << comparing.at(0) << comparing.at(1);
}

void MainWindow::createProfileMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("Профиль"));
    operationActions << addMenuAction(menu, tr("Сохранить профиль..."), "actionSaveProfile", {},
                                      &MainWindow::saveProfile)
                     << addMenuAction(menu, tr("Загрузить профиль..."), "actionLoadProfile", {},
                                      &MainWindow::loadProfile)
                     << addMenuAction(menu, tr("Записать всё"), "actionWriteAll", {},
                                      &MainWindow::writeAll);
}

QAction *MainWindow::addMenuAction(QMenu *menu, const QString &text, const char *name,
                                   const QKeySequence &shortcut, void (MainWindow::*slot)())
{
    QAction *action = menu->addAction(text, this, slot);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

// ---- Comparison of the current table

void MainWindow::compareWithFile()
{
    runTableOperation(tr("Сравнение с файлом"), &MainWindow::compareCurrentWithFile, false);
}

void MainWindow::compareWithRegister()
{
    runTableOperation(tr("Сравнение с ККТ"), &MainWindow::compareCurrentWithRegister, false);
}

int MainWindow::compareCurrentWithFile()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    const QString path = FileDialogs::askOpen(this, tr("Сравнить с файлом"), editor->fileFilter());
    if (path.isEmpty())
        return ERR_CANCELLED;
    const std::unique_ptr<QMyTableWidget> other(createTableEditor(editor->tableNumber()));
    progressPanel->start(ProgressText::Work::RecordsLoaded, -1, false);
    const int result = other->loadFromFile(path);
    progressPanel->finish(other->rowCount(), result);
    if (result == ERR_OK)
        showComparison(editor, *other, QFileInfo(path).fileName());
    return result;
}

// The register's table goes into an editor of its own: the grid keeps its values.
int MainWindow::compareCurrentWithRegister()
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor)
        return ERR_WRONG_TABLE_NUMBER;
    const std::unique_ptr<QMyTableWidget> other(createTableEditor(editor->tableNumber()));
    other->setOperationProgress(&progress);
    const int result = connection->withOpenPort(
        [this, &other] { return other->readTable(connection->protocol()); },
        ProgressText::Work::RecordsRead, -1, [&other] { return other->rowCount(); });
    // Half a table would count every row not yet read as a difference.
    if (result == ERR_OK)
        showComparison(editor, *other, QString());
    return result;
}

void MainWindow::showComparison(QMyTableWidget *editor, const QMyTableWidget &other,
                                const QString &fileName)
{
    editor->compareWith(other);
    comparisonSources.insert(editor, fileName);
    const TableComparison *comparison = editor->comparison();
    qDebug().noquote() << "MainWindow: table" << editor->tableNumber() << "compared with"
                       << (fileName.isEmpty() ? QStringLiteral("the register") : fileName) << ":"
                       << comparison->differentCells() << "cells," << comparison->rowsOnlyInGrid()
                       << "rows only in the grid," << comparison->rowsOnlyInOther()
                       << "rows only in the other";
    updateComparisonLabel();
    editor->setCurrentCell(-1, -1);
    goToNextDifference();
}

void MainWindow::clearComparison()
{
    if (QMyTableWidget *editor = tabs->currentEditor())
        editor->clearComparison();
    updateComparisonLabel();
}

void MainWindow::goToNextDifference()
{
    goToDifference(true);
}

void MainWindow::goToPreviousDifference()
{
    goToDifference(false);
}

void MainWindow::goToDifference(bool forward)
{
    QMyTableWidget *editor = tabs->currentEditor();
    if (!editor || !editor->comparison())
        return;
    const QModelIndex current = editor->currentIndex();
    QTableWidgetItem *next =
        TableComparison::nextDifference(*editor, current.isValid() ? current.row() : -1,
                                        current.isValid() ? current.column() : -1, forward);
    if (next) {
        editor->setCurrentItem(next);
        editor->scrollToItem(next);
    }
}

// The differences left in the current table, in the colour that marks them.
void MainWindow::updateComparisonLabel()
{
    // Tabs change while the window is still being built.
    if (!comparisonLabel)
        return;
    QMyTableWidget *editor = tabs->currentEditor();
    const TableComparison *comparison = editor ? editor->comparison() : nullptr;
    if (!comparison) {
        comparisonLabel->hide();
        return;
    }
    const QString fileName = comparisonSources.value(editor);
    const bool withRegister = fileName.isEmpty();
    const QString with = withRegister ? tr("ККТ") : tr("файлом");
    const int remaining = comparison->remaining(*editor);
    QString text = remaining == 0 ? tr("Нет различий с %1").arg(with)
                                  : tr("Различий с %1: %2").arg(with).arg(remaining);
    QStringList rows;
    if (comparison->rowsOnlyInOther() > 0)
        rows << (withRegister ? tr("строк только в ККТ: %1") : tr("строк только в файле: %1"))
                    .arg(comparison->rowsOnlyInOther());
    if (comparison->rowsOnlyInGrid() > 0)
        rows << tr("строк только в таблице: %1").arg(comparison->rowsOnlyInGrid());
    if (!rows.isEmpty())
        text += QStringLiteral(" (") + rows.join(QStringLiteral(", ")) + QLatin1Char(')');
    comparisonLabel->setFullText(text);
    comparisonLabel->setNote(
        (withRegister ? tr("Сравнение с таблицей, прочитанной из ККТ")
                      : tr("Сравнение с файлом %1").arg(fileName)) +
        tr(".\nРазличия выделены цветом; F3 и Shift+F3 переходят к следующему и предыдущему."));
    comparisonLabel->setStyleSheet(
        QStringLiteral("QLabel { background-color : %1; color : black; }")
            .arg(CellMarks::highlightColor(CellMarks::Highlight::Difference).name()));
    comparisonLabel->show();
}

// ---- Profiles

void MainWindow::saveProfile()
{
    runTableOperation(tr("Сохранение профиля"), &MainWindow::saveProfileFile, false);
}

void MainWindow::loadProfile()
{
    runTableOperation(tr("Загрузка профиля"), &MainWindow::loadProfileFile, false);
}

void MainWindow::writeAll()
{
    runTableOperation(tr("Запись всех таблиц"), &MainWindow::writeAllTables, false);
}

// The grids keep their values: the tables are read into editors of their own.
int MainWindow::saveProfileFile()
{
    const QString path =
        FileDialogs::askSave(this, tr("Сохранить профиль"),
                             tr("Профили ККТ (*.prf);;Все файлы (*.*)"), tr("Профиль ККТ"));
    if (path.isEmpty())
        return ERR_CANCELLED;
    std::vector<std::unique_ptr<QMyTableWidget>> tables;
    ProfileFile::Header header;
    const auto records = [&tables] {
        qint64 count = 0;
        for (const auto &table : tables)
            count += table->rowCount();
        return count;
    };
    int result = connection->withOpenPort(
        [this, &tables, &header] {
            return TableOperations::readProfile(connection->protocol(), progress, *progressPanel,
                                                header.identification, tables);
        },
        ProgressText::Work::RecordsRead, -1, records,
        [this, &tables] {
            return tables.empty()
                       ? QString()
                       : tr("Не прочитана таблица %1.").arg(caption(tables.back()->tableNumber()));
        });
    if (result != ERR_OK)
        return result;
    header.saved = QDateTime::currentDateTime();
    QList<QMyTableWidget *> saved;
    for (const auto &table : tables)
        saved << table.get();
    result = ProfileFile::save(path, header, saved);
    qDebug().noquote() << "MainWindow: profile of" << header.identification << "saved to" << path
                       << "with result" << result;
    return result;
}

// Checked whole before any grid changes: a bad table anywhere in the file
// leaves every grid as it was.
int MainWindow::loadProfileFile()
{
    const QString path = FileDialogs::askOpen(this, tr("Загрузить профиль"),
                                              tr("Профили ККТ (*.prf);;Все файлы (*.*)"));
    if (path.isEmpty())
        return ERR_CANCELLED;
    progressPanel->start(ProgressText::Work::RecordsLoaded, -1, false);
    ProfileFile::Checked checked;
    QString problem;
    int result = ProfileFile::check(
        path, [this](int table) { return tabs->editors().value(table); }, checked, problem);
    connection->setFailureDetails(problem);
    QList<QMyTableWidget *> editors;
    for (const auto &table : qAsConst(checked.tables))
        editors << table.first;
    if (result == ERR_OK && !tabs->confirmDroppingEdits(editors))
        result = ERR_CANCELLED;
    qint64 records = 0;
    if (result == ERR_OK) {
        for (const auto &[editor, apply] : qAsConst(checked.tables)) {
            editor->applyLoad(apply);
            tabs->setIncomplete(editor, false);
            records += editor->rowCount();
        }
        qDebug().noquote() << "MainWindow: profile of" << checked.header.identification << "from"
                           << checked.header.saved.toString(Qt::ISODate) << "loaded from" << path;
    }
    progressPanel->finish(records, result);
    return result;
}

// Makes the register hold what every table's grid shows, in one connection,
// after one question: each table is read from the register first, and only
// the fields that differ are written.
int MainWindow::writeAllTables()
{
    QList<QMyTableWidget *> tables;
    QStringList listed;
    for (int table : TableCatalogue::numbers()) {
        QMyTableWidget *editor = tabs->editors().value(table);
        if (!editor->isWritable() || editor->rowCount() == 0)
            continue;
        tables << editor;
        listed << tr("«%1»: строк %2").arg(caption(table)).arg(editor->rowCount());
    }
    if (tables.isEmpty()) {
        QMessageBox::information(this, tr("Записать всё"),
                                 tr("Нет прочитанных или загруженных таблиц для записи."));
        return ERR_OK;
    }
    QString question = tr("Записать в ККТ таблицы:\n%1\n\nКаждая таблица будет прочитана из ККТ, "
                          "и записаны будут только поля, которые в ней отличаются.")
                           .arg(listed.join(QLatin1Char('\n')));
    QString invalidCell;
    for (QMyTableWidget *editor : qAsConst(tables)) {
        if (const QTableWidgetItem *invalid = editor->findInvalidItem();
            invalid && invalidCell.isEmpty())
            invalidCell = TableOperations::describeCell(*editor, *invalid);
    }
    if (!invalidCell.isEmpty())
        question += tr("\n\nОбнаружены некорректные данные.");
    question += tr("\n\nПродолжить?");
    QMessageBox box(QMessageBox::Question, tr("Записать всё"), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setInformativeText(invalidCell);
    if (box.exec() != QMessageBox::Yes)
        return ERR_CANCELLED;

    RegisterSync sync(tables, checkWritesAction->isChecked());
    protocolPelto &protocol = connection->protocol();
    const int result = connection->withOpenPort(
        [&] { return sync.run(protocol, progress, *progressPanel); },
        ProgressText::Work::FieldsWritten, -1, [&protocol] { return protocol.fieldsWritten(); },
        [&sync] { return sync.details(); });
    if (sync.rowsMissing()) {
        connection->setFailureDetails(sync.rowsMissingProblem());
        return ERR_INVALID_DATA;
    }
    qDebug().noquote() << "MainWindow: write of every table:" << sync.differences()
                       << "fields differed from the register," << protocol.fieldsWritten()
                       << "written, result" << result;
    return result;
}
