// The commands of the window's menu bar: whether writes are checked, and
// the profiles, which hold every table.

#include "mainwindow.h"

#include "comparisoncommands.h"
#include "elidinglabel.h"
#include "errorcode.h"
#include "filedialogs.h"
#include "menuactions.h"
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
    operationActions << comparisons->addToMenu(menu);
}

void MainWindow::createProfileMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("Профиль"));
    operationActions << MenuActions::add(menu, tr("Сохранить профиль..."), "actionSaveProfile", {},
                                         this, &MainWindow::saveProfile)
                     << MenuActions::add(menu, tr("Загрузить профиль..."), "actionLoadProfile", {},
                                         this, &MainWindow::loadProfile)
                     << MenuActions::add(menu, tr("Записать всё"), "actionWriteAll", {}, this,
                                         &MainWindow::writeAll);
}

// ---- Profiles

void MainWindow::saveProfile()
{
    runTableOperation(
        tr("Сохранение профиля"), [this] { return saveProfileFile(); }, false);
}

void MainWindow::loadProfile()
{
    runTableOperation(
        tr("Загрузка профиля"), [this] { return loadProfileFile(); }, false);
}

void MainWindow::writeAll()
{
    runTableOperation(
        tr("Запись всех таблиц"), [this] { return writeAllTables(); }, false);
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
