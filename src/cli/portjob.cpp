#include "portjob.h"

#include "cliprogress.h"
#include "errorcode.h"
#include "memorytable.h"
#include "operationprogress.h"
#include "priceupdate.h"
#include "profilefile.h"
#include "registerprofile.h"
#include "registersync.h"
#include "tablecatalogue.h"
#include "tablefile.h"
#include "tableoperations.h"
#include "tableshape.h"
#include "writecheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>

#include <map>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PortJob", text);
}

// The files a refused value points to, as the command line asks for them.
const char savedFormats[] = "\nЗдесь файл *.txt — это -o ФАЙЛ.txt, «CSV для Excel» — "
                            "--format excel.";

} // namespace

QJsonObject outcomeToJson(const PortOutcome &outcome, const QString &command)
{
    return {{QStringLiteral("port"), outcome.port},
            {QStringLiteral("command"), command},
            {QStringLiteral("exitCode"), outcome.exitCode},
            {QStringLiteral("result"), outcome.result},
            {QStringLiteral("message"), outcome.message},
            {QStringLiteral("details"), outcome.details},
            {QStringLiteral("summary"), outcome.summary},
            {QStringLiteral("count"), outcome.count},
            {QStringLiteral("identification"), outcome.identification},
            {QStringLiteral("output"), outcome.output},
            {QStringLiteral("differences"), QJsonArray::fromStringList(outcome.differences)}};
}

PortJob::PortJob(const CliOptions &options, const PortInfo &port, OperationProgress &progress,
                 CliProgress &report, std::function<bool()> interrupted, ExchangeObserver *trace)
    : m_options(options), m_port(port), m_progress(progress), m_report(report),
      m_interrupted(std::move(interrupted))
{
    m_protocol.setExchangeObserver(trace);
    m_protocol.setBaudRateCode(options.baudRateCode);
    m_protocol.setPassword(options.password);
    m_protocol.setExchangeTimeout(options.timeoutMs);
    m_protocol.setRetries(options.retries);
    m_protocol.setPortWait(options.waitPortSeconds * 1000, [this](bool waiting, qint64) {
        return !waiting || m_progress.eventPoint(m_progress.done());
    });
}

QString PortJob::outputPath(const QString &pattern, const PortInfo &port)
{
    QString name = port.portName();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QString(pattern).replace(QLatin1String("{port}"), name);
}

PortOutcome PortJob::run()
{
    using Command = CliOptions::Command;
    m_outcome.port = m_port.isTyped() ? m_port.systemLocation() : m_port.portName();
    if (!m_options.output.isEmpty())
        m_outcome.output = outputPath(m_options.output, m_port);
    switch (m_options.command) {
    case Command::Check:
        m_outcome.exitCode = check();
        break;
    case Command::Read:
        m_outcome.exitCode = read();
        break;
    case Command::Write:
        m_outcome.exitCode = write();
        break;
    case Command::Diff:
        m_outcome.exitCode = diff();
        break;
    case Command::Dump:
        m_outcome.exitCode = dump();
        break;
    case Command::Backup:
        m_outcome.exitCode = backup();
        break;
    case Command::Restore:
        m_outcome.exitCode = restore();
        break;
    case Command::Update:
        m_outcome.exitCode = update();
        break;
    case Command::Ports:
    case Command::Find:
        break;
    }
    // Last, as the window's summary has them.
    if (!m_outcome.summary.isEmpty())
        m_outcome.summary += ProgressText::exchangeTrouble(m_protocol.exchangeCounts());
    return m_outcome;
}

// ---- Steps

int PortJob::connected(const std::function<int()> &exchange)
{
    const int opened = m_protocol.openPort(m_port);
    if (opened != ERR_OK) {
        m_connectFailed = true;
        return opened;
    }
    const int result = exchange();
    m_protocol.closePort();
    return result;
}

void PortJob::begin(ProgressText::Work work, qint64 total)
{
    m_work = work;
    m_report.start(work);
    m_progress.start(total);
    // Asked before the work began, the stop comes at its first event point.
    if (m_interrupted())
        m_progress.requestCancel();
}

void PortJob::end(qint64 count, int result)
{
    m_progress.finish(count);
    m_report.clear();
    m_outcome.count = count;
    m_outcome.summary = ProgressText::done(m_work, count) + tr(" за ") +
                        ProgressText::duration(m_progress.elapsedMs());

    if (result == ERR_CANCELLED)
        m_outcome.summary += tr(" — прервано");
}

int PortJob::failed(int exitCode, int result, const QString &details)
{
    m_outcome.result = result;
    m_outcome.message = errorCodeToString(result);
    m_outcome.details = details;
    return exitCode;
}

int PortJob::stopped()
{
    m_outcome.result = ERR_CANCELLED;
    m_outcome.message = tr("Прервано пользователем");
    m_outcome.details = m_outcome.summary;
    return CliExit::Interrupted;
}

// A stop the user asked for, a port that would not open, or the register's
// own failure, with the driver's cause and how far the work got.
int PortJob::registerFailed(int result)
{
    if (result == ERR_CANCELLED)
        return stopped();
    QStringList details;
    if (!m_protocol.failureCause().isEmpty())
        details << m_protocol.failureCause();
    if (m_protocol.unansweredOnWorkingLine())
        details << tr("Если линия с помехами, увеличьте --retries (сейчас %1, не более %2).")
                       .arg(m_protocol.retries())
                       .arg(protocolPelto::maxRetries);
    if (!m_connectFailed && m_outcome.count > 0)
        details << ProgressText::done(m_work, m_outcome.count) + QLatin1Char('.');
    return failed(m_connectFailed ? CliExit::Port : CliExit::Register, result,
                  details.join(QLatin1Char('\n')));
}

int PortJob::fileFailed(int result, const QString &path, const QString &problem)
{
    if (result == ERR_CANCELLED)
        return stopped();
    return failed(CliExit::File, result,
                  problem.isEmpty() ? tr("Файл: %1").arg(path)
                                    : tr("Файл: %1\n%2").arg(path, problem));
}

FileEventPoint PortJob::beginFileWork(ProgressText::Work work, qint64 total)
{
    begin(work, total);
    return [this](qint64 done) { return m_progress.eventPoint(done); };
}

void PortJob::endFileWork()
{
    m_progress.finish(m_progress.done());
    m_report.clear();
}

// Its bytes checked, then its records put into the table.
int PortJob::loadFile(TableData &table, const QString &path)
{
    const FileEventPoint point =
        beginFileWork(ProgressText::Work::RecordsLoaded, QFileInfo(path).size());
    QString why;
    const int result = TableFile::load(
        table, path, point,
        [this](qint64 records) {
            m_progress.startStage(records, ProgressText::Work::RecordsPlaced);
        },
        &why);
    end(result == ERR_OK ? table.rowCount() : 0, result);
    return result == ERR_OK ? CliExit::Success : fileFailed(result, path, why);
}

int PortJob::loadInput(std::unique_ptr<MemoryTable> &table)
{
    table = std::make_unique<MemoryTable>(m_options.table);
    return loadFile(*table, m_options.input);
}

// The summary stays the work's before the save, which a stop only ends with
// its word.
int PortJob::savedStoppable(qint64 records, const std::function<int(const FileEventPoint &)> &save)
{
    const int result = save(beginFileWork(ProgressText::Work::RecordsSaved, records));
    endFileWork();
    if (result == ERR_CANCELLED)
        m_outcome.summary += tr(", не сохранено — прервано");
    return result;
}

// Makes the tables a profile names as it names them.
std::function<TableData *(int)>
PortJob::tableIn(std::map<int, std::unique_ptr<MemoryTable>> &tables)
{
    return [&tables](int number) -> TableData * {
        if (!TableCatalogue::numbers().contains(number))
            return nullptr;
        auto &table = tables[number];
        if (!table)
            table = std::make_unique<MemoryTable>(number);
        return table.get();
    };
}

// A value its field cannot hold is refused before anything is written, as
// the register would refuse it after the fields before it.
int PortJob::refuseInvalidValue(const TableData &file, const QString &path)
{
    int row = 0;
    int column = 0;
    return TableShape::firstInvalidCell(file, row, column)
               ? fileFailed(ERR_INVALID_DATA, path,
                            TableOperations::describeCell(file, row, column))
               : int(CliExit::Success);
}

// What --columns must say where the header did not name the columns.
QString columnsProblem(const SheetRows &rows, const PriceColumns &columns)
{
    QStringList cells;
    const QStringList header = rows.value(columns.headerRow);
    for (int cell = 0; cell < header.size(); ++cell)
        cells << QStringLiteral("%1 «%2»").arg(cell + 1).arg(header[cell]);
    return tr("Заголовок (строка %1) не называет столбец штрихкода или столбцы значений. "
              "Столбцы: %2.\nУкажите их: --columns barcode=1,price=4 (имена barcode, name, "
              "price, tax, section).")
        .arg(columns.headerRow + 1)
        .arg(cells.join(QStringLiteral(", ")));
}

// To the -o file, whole or not at all, or to standard output.
int PortJob::saveTable(const TableData &table)
{
    const int result = savedStoppable(table.rowCount(), [&](const FileEventPoint &point) {
        if (!m_outcome.output.isEmpty())
            return TableFile::save(table, m_outcome.output, m_options.format, point);
        QFile standardOutput;
        if (!standardOutput.open(stdout, QIODevice::WriteOnly))
            return int(ERR_FILE_OPEN);
        QTextStream out(&standardOutput);
        const int written = TableFile::write(table, out, m_options.format, point);
        out.flush();
        return written;
    });
    if (result == ERR_OK)
        return CliExit::Success;
    const QString refusal =
        result == ERR_INVALID_DATA ? TableFile::refusal(table, m_options.format) : QString();
    return fileFailed(result,
                      m_outcome.output.isEmpty() ? tr("стандартный вывод") : m_outcome.output,
                      refusal.isEmpty() ? refusal : refusal + tr(savedFormats));
}

// ---- Commands

int PortJob::check()
{
    begin(ProgressText::Work::RecordsRead, -1);
    const int result =
        connected([this] { return m_protocol.readDeviceInfo(&m_outcome.identification); });
    end(0, result);
    if (result != ERR_OK) {
        // No record was to be read: the count would say nothing.
        m_outcome.summary.clear();
        return registerFailed(result);
    }
    m_outcome.summary = tr("Связь установлена (%1)").arg(m_outcome.identification);
    return CliExit::Success;
}

// A read cut short keeps what it got beside the output file, which --resume
// goes on from; the output file itself is written only whole.
int PortJob::read()
{
    MemoryTable table(m_options.table);
    const QString partial = partialPath();
    if (m_options.resume && !partial.isEmpty() && QFileInfo::exists(partial)) {
        if (const int loaded = loadFile(table, partial); loaded != CliExit::Success)
            return loaded;
    }
    const int before = table.rowCount();
    begin(ProgressText::Work::RecordsRead, -1);
    const int result = connected([&] {
        return before > 0 ? TableOperations::continueTable(m_protocol, table, &m_progress)
                          : TableOperations::readTable(m_protocol, table, &m_progress);
    });
    end(qMax(0, table.rowCount() - before), result);
    if (result == ERR_OK) {
        const int saved = saveTable(table);
        if (saved == CliExit::Success && !partial.isEmpty())
            QFile::remove(partial);
        return saved;
    }
    const int exitCode = registerFailed(result);
    if (!partial.isEmpty() && table.rowCount() > 0 &&
        TableFile::save(table, partial, TableFile::Format::Table) == ERR_OK)
        notePartial(partial);
    return exitCode;
}

QString PortJob::partialPath() const
{
    return m_outcome.output.isEmpty() ? QString() : m_outcome.output + QStringLiteral(".partial");
}

// Only what differs from the register is written.
int PortJob::write()
{
    std::unique_ptr<MemoryTable> file;
    if (const int loaded = loadInput(file); loaded != CliExit::Success)
        return loaded;
    if (const int valid = refuseInvalidValue(*file, m_options.input); valid != CliExit::Success)
        return valid;
    return synced({file.get()}, tr("Нет различий с файлом — ничего не записано"));
}

int PortJob::diff()
{
    std::unique_ptr<MemoryTable> file;
    if (const int loaded = loadInput(file); loaded != CliExit::Success)
        return loaded;
    MemoryTable inRegisterTable(m_options.table);
    begin(ProgressText::Work::RecordsRead, -1);
    const int result = connected(
        [&] { return TableOperations::readTable(m_protocol, inRegisterTable, &m_progress); });
    end(inRegisterTable.rowCount(), result);
    if (result != ERR_OK)
        return registerFailed(result);
    const int rows = qMax(inRegisterTable.rowCount(), file->rowCount());
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < inRegisterTable.columnCount(); ++column) {
            const QString inRegister = inRegisterTable.text(row, column);
            const QString inFile = file->text(row, column);
            if (inRegister != inFile &&
                !TableShape::sameValue(inRegisterTable, row, column, inRegister, inFile))
                m_outcome.differences << QStringLiteral("%1\t%2\t%3\t%4")
                                             .arg(row + 1)
                                             .arg(column + 1)
                                             .arg(inRegister, inFile);
        }
    }
    m_outcome.summary = m_outcome.differences.isEmpty()
                            ? tr("Различий нет")
                            : tr("Различий: %1").arg(m_outcome.differences.size());
    return m_outcome.differences.isEmpty() ? CliExit::Success : CliExit::Differences;
}

int PortJob::dump()
{
    QByteArray dump;
    bool started = false;
    begin(ProgressText::Work::BytesRead, -1);
    const int result = connected([&] {
        return TableOperations::readDump(m_protocol, m_options.processor, m_progress, dump,
                                         started);
    });
    end(result == ERR_OK ? dump.size() : m_progress.done(), result);
    if (result != ERR_OK)
        return registerFailed(result);
    QSaveFile file(m_outcome.output);
    if (!file.open(QIODevice::WriteOnly) || file.write(dump) != dump.size() || !file.commit())
        return fileFailed(ERR_FILE_OPEN, m_outcome.output);
    return CliExit::Success;
}

// As read: a backup cut short keeps the tables it read, the last in part,
// as a profile beside the output file, which --resume goes on from.
int PortJob::backup()
{
    RegisterProfile profile;
    const QString partial = partialPath();
    if (m_options.resume && QFileInfo::exists(partial)) {
        if (const int loaded = loadPartialProfile(partial, profile); loaded != CliExit::Success)
            return loaded;
    }
    const qint64 before = profile.records();
    begin(ProgressText::Work::RecordsRead, -1);
    const int result =
        connected([&] { return TableOperations::readProfile(m_protocol, m_progress, profile); });
    end(profile.records() - before, result);
    if (result != ERR_OK) {
        const int exitCode = registerFailed(result);
        if (!profile.tables.empty() && ProfileFile::save(partial, profile) == ERR_OK)
            notePartial(partial);
        return exitCode;
    }
    m_outcome.identification = profile.identification;
    const int written = savedStoppable(profile.records(), [&](const FileEventPoint &point) {
        return ProfileFile::save(m_outcome.output, profile, point);
    });
    if (written != ERR_OK)
        return fileFailed(written, m_outcome.output);
    QFile::remove(partial);
    return CliExit::Success;
}

// Before its tables are put in, the summary is the failure's only.
int PortJob::checkProfile(const QString &path, std::map<int, std::unique_ptr<MemoryTable>> &tables,
                          ProfileFile::Checked &checked)
{
    const FileEventPoint point =
        beginFileWork(ProgressText::Work::RecordsLoaded, QFileInfo(path).size());
    QString problem;
    const int parsed = ProfileFile::check(path, tableIn(tables), checked, problem, point);
    if (parsed == ERR_OK) {
        endFileWork();
        return CliExit::Success;
    }
    end(0, parsed);
    return fileFailed(parsed, path, problem);
}

// The tables of a partial profile in the order a profile is read, up to the
// first it lacks.
int PortJob::loadPartialProfile(const QString &path, RegisterProfile &profile)
{
    std::map<int, std::unique_ptr<MemoryTable>> tables;
    ProfileFile::Checked checked;
    if (const int parsed = checkProfile(path, tables, checked); parsed != CliExit::Success)
        return parsed;
    for (const auto &[table, apply] : qAsConst(checked.tables))
        apply();
    for (int number : TableCatalogue::numbers()) {
        auto found = tables.find(number);
        if (found == tables.end())
            break;
        profile.tables.push_back(std::move(found->second));
    }
    return CliExit::Success;
}

void PortJob::notePartial(const QString &partial)
{
    m_outcome.details += (m_outcome.details.isEmpty() ? QString() : QStringLiteral("\n")) +
                         tr("Прочитанное сохранено в %1; продолжить чтение: та же команда с "
                            "--resume.")
                             .arg(partial);
}

// Each writable table of the profile as write does it, all in one connection.
int PortJob::restore()
{
    std::map<int, std::unique_ptr<MemoryTable>> tables;
    ProfileFile::Checked checked;
    if (const int parsed = checkProfile(m_options.input, tables, checked);
        parsed != CliExit::Success)
        return parsed;
    QList<TableData *> writable;
    for (const auto &[table, apply] : qAsConst(checked.tables)) {
        if (!TableCatalogue::isWritable(table->tableNumber()))
            continue;
        apply();
        if (const int valid = refuseInvalidValue(*table, m_options.input);
            valid != CliExit::Success)
            return valid;
        writable << table;
    }
    return synced(writable, tr("Нет различий с профилем — ничего не записано"));
}

int PortJob::synced(const QList<TableData *> &tables, const QString &nothingToWrite)
{
    RegisterSync sync(tables, m_options.verify);
    begin(ProgressText::Work::FieldsWritten, -1);
    const int result = connected([&] { return sync.run(m_protocol, m_progress); });
    end(m_protocol.fieldsWritten(), result);
    if (sync.rowsMissing())
        return fileFailed(ERR_INVALID_DATA, m_options.input, sync.rowsMissingProblem());
    if (result == ERR_OK && sync.differences() == 0)
        m_outcome.summary = nothingToWrite;
    else if (m_options.verify && result == ERR_OK)
        m_outcome.summary += tr(", проверено");
    if (sync.mismatches() > 0)
        return failed(CliExit::Mismatch, result, sync.details());
    return result == ERR_OK ? CliExit::Success : registerFailed(result);
}

// The goods read, the price list planned against them, and only the cells it
// changes written and checked, in one connection; --dry-run writes nothing.
int PortJob::update()
{
    SheetRows rows;
    QString why;
    const int read = PriceList::read(
        m_options.input, rows, why,
        beginFileWork(ProgressText::Work::RecordsLoaded, QFileInfo(m_options.input).size()));
    end(read == ERR_OK ? rows.size() : 0, read);
    if (read != ERR_OK)
        return fileFailed(read, m_options.input, why);
    PriceColumns columns = PriceList::findColumns(rows);
    if (!m_options.columns.isEmpty())
        PriceList::parseColumns(m_options.columns, columns, why);
    if (!columns.complete())
        return fileFailed(ERR_INVALID_DATA, m_options.input, columnsProblem(rows, columns));

    MemoryTable goods(m_options.table);
    WriteCheck check(goods);
    std::unique_ptr<PriceUpdate> planned;
    begin(ProgressText::Work::FieldsWritten, -1);
    const int result = connected([&] {
        m_progress.startStage(-1, ProgressText::Work::RecordsRead);
        const int goodsRead = TableOperations::readTable(m_protocol, goods, &m_progress);
        if (goodsRead != ERR_OK)
            return goodsRead;
        planned = std::make_unique<PriceUpdate>(goods, rows, columns, m_options.addNew);
        if (m_options.dryRun || planned->changes().isEmpty())
            return int(ERR_OK);
        planned->apply(goods);
        m_progress.startStage(planned->changes().size());
        return TableOperations::writeAndCheck(m_protocol, goods,
                                              m_options.verify ? &check : nullptr, m_progress);
    });
    end(m_protocol.fieldsWritten(), result);
    if (planned)
        m_outcome.differences = planned->lines();
    if (result == ERR_OK && planned && (m_options.dryRun || planned->changes().isEmpty()))
        m_outcome.summary = planned->changes().isEmpty()
                                ? tr("Изменений нет — ничего не записано")
                                : tr("Изменений: %1 — пробный запуск, ничего не записано")
                                      .arg(planned->changes().size());
    else if (m_options.verify && result == ERR_OK)
        m_outcome.summary += tr(", проверено");
    if (check.mismatches() > 0)
        return failed(CliExit::Mismatch, result,
                      TableOperations::checkDetails(goods.tableNumber(), check));
    return result == ERR_OK ? CliExit::Success : registerFailed(result);
}
