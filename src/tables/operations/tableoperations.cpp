#include "tableoperations.h"

#include "errorcode.h"
#include "operationprogress.h"
#include "progresstext.h"
#include "protocolbase.h"
#include "registerprofile.h"
#include "tablecatalogue.h"
#include "tableshape.h"
#include "writecheck.h"

#include <QCoreApplication>

namespace TableOperations {

namespace {

// The dump loop's bound, should a register never end its data.
constexpr int maxDumpBlocks = 100000;

QString tr(const char *text)
{
    return QCoreApplication::translate("TableOperations", text);
}

} // namespace

QString partLabel(int index, int count, int table)
{
    return tr("Таблица %1 из %2, «%3»: ")
        .arg(index + 1)
        .arg(count)
        .arg(TableCatalogue::caption(table));
}

int readProfile(protocolBase &protocol, OperationProgress &progress, RegisterProfile &profile)
{
    auto &tables = profile.tables;
    const int identified = protocol.readDeviceInfo(&profile.identification);
    if (identified != ERR_OK)
        return identified;
    const QVector<int> numbers = TableCatalogue::numbers();
    // A profile read in part goes on with its last table, which the stop cut.
    const int readBefore = int(tables.size());
    for (int index = qMax(0, readBefore - 1); index < numbers.size(); ++index) {
        const bool goOn = index < readBefore;
        if (!goOn)
            tables.push_back(std::make_unique<MemoryTable>(numbers.at(index)));
        progress.startPart(partLabel(index, numbers.size(), numbers.at(index)), -1);
        MemoryTable &table = *tables.at(std::size_t(index));
        const int result = goOn ? continueTable(protocol, table, &progress)
                                : readTable(protocol, table, &progress);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}

int writeAndCheck(protocolBase &protocol, TableData &table, WriteCheck *check,
                  OperationProgress &progress)
{
    const int written = writeTable(protocol, table, check, &progress);
    // Nothing written, nothing to check: such a write reports as it always has.
    const bool lineWorks =
        written == ERR_OK || (written != ERR_CANCELLED && protocol.answeredLastRequest());
    if (!lineWorks || !check || check->size() == 0)
        return written;
    progress.startCheck(check->size());
    const int checked = check->run(protocol, &progress);
    progress.endCheck(check->checked());
    return written != ERR_OK ? written : checked;
}

QString describeCell(const TableData &table, int row, int column)
{
    return tr("Таблица «%1», строка %2, столбец «%3»: «%4». %5")
        .arg(TableCatalogue::caption(table.tableNumber()))
        .arg(row + 1)
        .arg(TableShape::columnHeader(table.tableNumber(), column).simplified(),
             table.text(row, column), TableShape::cellRule(table, row, column));
}

// Every cell before the stop that the write had to send went and is no
// longer changed, unless the check found it not kept: the first one still to
// send is where it stopped, and the changed cells from there on stayed unsent.
QString invalidCellStop(const TableData &table)
{
    const bool everyValue = table.tableNumber() == TableShape::settingsTable;
    int stopRow = -1;
    int stopColumn = -1;
    int unsent = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            const bool changed = table.isChanged(row, column);
            const bool toSend = everyValue ? column == TableShape::settingsValueColumn : changed;
            const bool sent = table.highlight(row, column) == CellHighlight::WriteMismatch;
            if (stopRow < 0 && toSend && !sent && (changed || table.isInvalid(row, column))) {
                if (!table.isInvalid(row, column))
                    return QString();
                stopRow = row;
                stopColumn = column;
            }
            unsent += stopRow >= 0 && changed;
        }
    }
    if (stopRow < 0)
        return QString();
    return tr("Запись остановлена на ячейке, которую поле не принимает: %1\n"
              "Не записано изменённых полей: %2, с этой ячейки и после неё; они остались "
              "выделены.")
        .arg(describeCell(table, stopRow, stopColumn))
        .arg(unsent);
}

QString checkDetails(int table, const WriteCheck &check)
{
    QStringList details;
    if (check.mismatches() > 0) {
        const QString column =
            TableShape::columnHeader(table, check.firstMismatchColumn()).simplified();
        details << ProgressText::mismatches(check.mismatches(), check.firstMismatchRow() + 1,
                                            column);
    }
    if (check.checked() > 0 && check.checked() < check.size()) {
        QString checked = ProgressText::checked(check.checked(), check.size());
        checked[0] = checked.at(0).toUpper();
        details << checked + QLatin1Char('.');
    }
    return details.join(QLatin1Char('\n'));
}

int readDump(protocolBase &protocol, int processor, OperationProgress &progress, QByteArray &dump,
             bool &started)
{
    dump.clear();
    qint64 size = 0;
    int code = protocol.startReadFW(processor, &size);
    started = code == ERR_OK;
    if (!started)
        return code;
    const int limit = static_cast<int>(size);
    progress.setTotal(size);
    for (int block = 0; block < maxDumpBlocks; ++block) {
        code = protocol.readFWBlock(&dump);
        if (code == 1)
            return ERR_OK;
        if (code != ERR_OK) {
            dump.clear();
            return code;
        }
        if (dump.size() >= limit) {
            dump.truncate(limit);
            return ERR_OK;
        }
        // A stopped dump keeps nothing: half a dump must not be saved as a dump.
        if (!progress.eventPoint(dump.size())) {
            dump.clear();
            return ERR_CANCELLED;
        }
    }
    return ERR_OK;
}

} // namespace TableOperations
