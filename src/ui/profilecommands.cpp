#include "profilecommands.h"

#include "errorcode.h"
#include "filedialogs.h"
#include "gridhistory.h"
#include "gridrollback.h"
#include "menuactions.h"
#include "operationprogress.h"
#include "operationrunner.h"
#include "portinfo.h"
#include "profilefile.h"
#include "progresspanel.h"
#include "registerconnection.h"
#include "registerfinder.h"
#include "registerprofile.h"
#include "registersync.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tableoperations.h"
#include "tabletabs.h"

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QMessageBox>

using TableCatalogue::caption;

ProfileCommands::ProfileCommands(TableTabs &tabs, RegisterConnection &connection,
                                 OperationRunner &runner, ProgressPanel &progressPanel,
                                 OperationProgress &progress, const QAction &checkWrites,
                                 QWidget *window)
    : QObject(window), m_tabs(tabs), m_connection(connection), m_runner(runner),
      m_progressPanel(progressPanel), m_progress(progress), m_checkWrites(checkWrites),
      m_window(window)
{
}

ProfileCommands::~ProfileCommands() = default;

QList<QAction *> ProfileCommands::addToMenu(QMenu *menu)
{
    // The table's own keys with Shift: the whole register.
    return {MenuActions::add(menu, tr("&Сохранить профиль..."), "actionSaveProfile",
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                             &ProfileCommands::saveProfile),
            MenuActions::add(menu, tr("&Загрузить профиль..."), "actionLoadProfile",
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this,
                             &ProfileCommands::loadProfile),
            MenuActions::add(menu, tr("Записать &всё"), "actionWriteAll", {}, this,
                             &ProfileCommands::writeAll)};
}

void ProfileCommands::saveProfile()
{
    m_runner.runTableOperation(
        tr("Сохранение профиля"), [this] { return saveProfileFile(); }, false);
}

void ProfileCommands::loadProfile()
{
    m_runner.runTableOperation(
        tr("Загрузка профиля"), [this] { return loadProfileFile(); }, false);
}

void ProfileCommands::writeAll()
{
    m_runner.runTableOperation(
        tr("Запись всех таблиц"), [this] { return writeAllTables(); }, false);
}

// The grids keep their values: the tables are read into memory. A save that
// stops or fails in the read keeps what it read, and the next one may go on
// from there. The file is written within the same progress, so that
// "Прервать" stops the write as it stops the read, leaving the file as it was.
int ProfileCommands::saveProfileFile()
{
    const QString path =
        FileDialogs::askSave(m_window, tr("Сохранить профиль"),
                             tr("Профили ККТ (*.prf);;Все файлы (*.*)"), tr("Профиль ККТ"));
    if (path.isEmpty())
        return ERR_CANCELLED;
    RegisterProfile profile = profileToGoOn();
    const qint64 before = profile.records();
    bool readWhole = false;
    const int result = m_connection.withOpenPort(
        [this, &profile, &path, &readWhole] {
            const int read =
                TableOperations::readProfile(m_connection.protocol(), m_progress, profile);
            if (read != ERR_OK)
                return read;
            readWhole = true;
            m_progress.startPart(tr("Запись в файл: "), profile.records(),
                                 ProgressText::Work::RecordsSaved);
            return ProfileFile::save(path, profile,
                                     [this](qint64 done) { return m_progress.eventPoint(done); });
        },
        ProgressText::Work::RecordsRead, -1,
        [&profile, before] { return profile.records() - before; },
        [this, &profile, &readWhole] {
            return profile.tables.empty() || readWhole
                       ? QString()
                       : tr("Не прочитана таблица %1.")
                             .arg(caption(profile.tables.back()->tableNumber()));
        });
    if (!readWhole) {
        if (!profile.tables.empty())
            m_partialProfile = std::make_unique<RegisterProfile>(std::move(profile));
        return result;
    }
    qDebug().noquote() << "MainWindow: profile of" << profile.identification << "saved to" << path
                       << "with result" << result;
    return result;
}

RegisterProfile ProfileCommands::profileToGoOn()
{
    RegisterProfile profile;
    if (!m_partialProfile)
        return profile;
    const std::unique_ptr<RegisterProfile> partial = std::move(m_partialProfile);
    const auto answer = QMessageBox::question(
        m_window, tr("Сохранить профиль"),
        tr("Прошлое чтение профиля ККТ %1 остановилось в таблице «%2» (%3).\n"
           "Продолжить с этого места?")
            .arg(partial->identification, caption(partial->tables.back()->tableNumber()),
                 ProgressText::done(ProgressText::Work::RecordsRead, partial->records()).toLower()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        profile = std::move(*partial);
    return profile;
}

// Checked whole before any grid changes: a bad table anywhere in the file
// leaves every grid as it was, and so does a load the user stops.
int ProfileCommands::loadProfileFile()
{
    const QString path = FileDialogs::askOpen(m_window, tr("Загрузить профиль"),
                                              tr("Профили ККТ (*.prf);;Все файлы (*.*)"));
    if (path.isEmpty())
        return ERR_CANCELLED;
    m_progressPanel.start(ProgressText::Work::RecordsLoaded, QFileInfo(path).size(), true);
    ProfileFile::Checked checked;
    QString problem;
    const auto dataOf = [this](int table) -> TableData * {
        QMyTableWidget *editor = m_tabs.editors().value(table);
        return editor ? &editor->data() : nullptr;
    };
    int result = ProfileFile::check(path, dataOf, checked, problem,
                                    [this](qint64 done) { return m_progress.eventPoint(done); });
    m_connection.setFailureDetails(problem);
    QList<QMyTableWidget *> editors;
    for (const auto &table : qAsConst(checked.tables))
        editors << m_tabs.editors().value(table.first->tableNumber());
    if (result == ERR_OK && !m_tabs.confirmDroppingEdits(editors))
        result = ERR_CANCELLED;
    if (result == ERR_OK)
        result = applyProfile(checked, editors);
    qint64 records = 0;
    if (result == ERR_OK) {
        for (QMyTableWidget *editor : qAsConst(editors)) {
            m_tabs.setIncomplete(editor, false);
            records += editor->rowCount();
        }
        qDebug().noquote() << "MainWindow: profile of" << checked.header.identification << "from"
                           << checked.header.saved.toString(Qt::ISODate) << "loaded from" << path;
    }
    m_progressPanel.finish(records, result);
    return result;
}

// Every table goes into its grid, each a part of the progress; the grids
// keep what the loads replace until all of them are in, so that a stop in
// any table puts every grid back as it was.
int ProfileCommands::applyProfile(const ProfileFile::Checked &checked,
                                  const QList<QMyTableWidget *> &editors)
{
    int result = ERR_OK;
    int applied = 0;
    for (; applied < editors.size() && result == ERR_OK; ++applied) {
        m_progress.startPart(
            TableOperations::partLabel(applied, editors.size(), editors.at(applied)->tableNumber()),
            -1);
        result = editors.at(applied)->applyLoad(checked.tables.at(applied).second);
    }
    GridHistory::Parts step;
    for (int index = 0; index < applied; ++index) {
        if (result == ERR_OK)
            step.push_back(editors.at(index)->settleLoad());
        else
            editors.at(index)->takeBackLoad();
    }
    if (result == ERR_OK)
        m_tabs.history().record(tr("загрузка профиля"), std::move(step));
    return result;
}

QString ProfileCommands::registerToWrite()
{
    const PortInfo port = m_connection.currentPort();
    const QString where = tr("Порт: %1, %2")
                              .arg(port.systemLocation() == QLatin1String(builtInRegisterLocation)
                                       ? port.portName()
                                       : port.systemLocation(),
                                   m_connection.baudRateBox()->currentText());
    DeviceMetrics metrics;
    protocolPelto &protocol = m_connection.protocol();
    if (protocol.identifyAt(port, RegisterFinder::attemptTimeoutMs, metrics) != ERR_OK) {
        qDebug().noquote() << "MainWindow: no register answers before the write of every table:"
                           << protocol.failureCause();
        return where + tr("\nККТ на этом порту не ответила на запрос идентификации.\n%1")
                           .arg(protocol.failureCause());
    }
    QStringList named{metrics.description};
    if (!metrics.serialNumber.isEmpty())
        named << tr("заводской номер %1").arg(metrics.serialNumber);
    named << tr("ПО %1").arg(metrics.firmware());
    return where + tr("\nККТ: %1").arg(named.join(QStringLiteral(", ")));
}

// Makes the register hold what every table's grid shows, in one connection,
// after one question: each table is read from the register first, and only
// the fields that differ are written.
int ProfileCommands::writeAllTables()
{
    QList<QMyTableWidget *> editors;
    QList<TableData *> tables;
    QStringList listed;
    for (int table : TableCatalogue::numbers()) {
        QMyTableWidget *editor = m_tabs.editors().value(table);
        if (!editor->isWritable() || editor->rowCount() == 0)
            continue;
        editors << editor;
        tables << &editor->data();
        listed << tr("«%1»: строк %2").arg(caption(table)).arg(editor->rowCount());
    }
    if (tables.isEmpty()) {
        QMessageBox::information(m_window, tr("Записать всё"),
                                 tr("Нет прочитанных или загруженных таблиц для записи."));
        return ERR_OK;
    }
    QString question = tr("Записать в ККТ таблицы:\n%1\n\nКаждая таблица будет прочитана из ККТ, "
                          "и записаны будут только поля, которые в ней отличаются.")
                           .arg(listed.join(QLatin1Char('\n')));
    QString invalidCell;
    for (QMyTableWidget *editor : qAsConst(editors)) {
        if (const QTableWidgetItem *invalid = editor->findInvalidItem();
            invalid && invalidCell.isEmpty())
            invalidCell =
                TableOperations::describeCell(editor->data(), invalid->row(), invalid->column());
    }
    if (!invalidCell.isEmpty())
        question += tr("\n\nОбнаружены некорректные данные.");
    question += tr("\n\nПродолжить?");
    QMessageBox box(QMessageBox::Question, tr("Записать всё"), question,
                    QMessageBox::Yes | QMessageBox::No, m_window);
    box.setDefaultButton(QMessageBox::No);
    // With registers on several ports, the one written is to be seen before.
    box.setInformativeText(registerToWrite() + (invalidCell.isEmpty()
                                                    ? QString()
                                                    : QStringLiteral("\n\n") + invalidCell));
    if (box.exec() != QMessageBox::Yes)
        return ERR_CANCELLED;

    for (QMyTableWidget *editor : qAsConst(editors))
        m_tabs.history().forget(*editor);
    RegisterSync sync(tables, m_checkWrites.isChecked());
    protocolPelto &protocol = m_connection.protocol();
    const int result = m_connection.withOpenPort(
        [&] { return sync.run(protocol, m_progress); }, ProgressText::Work::FieldsWritten, -1,
        [&protocol] { return protocol.fieldsWritten(); }, [&sync] { return sync.details(); });
    if (sync.rowsMissing()) {
        m_connection.setFailureDetails(sync.rowsMissingProblem());
        return ERR_INVALID_DATA;
    }
    qDebug().noquote() << "MainWindow: write of every table:" << sync.differences()
                       << "fields differed from the register," << protocol.fieldsWritten()
                       << "written, result" << result;
    return result;
}
