#include "registersync.h"

#include "errorcode.h"
#include "memorytable.h"
#include "operationprogress.h"
#include "tablecatalogue.h"
#include "tableoperations.h"
#include "tableshape.h"
#include "writecheck.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RegisterSync", text);
}

// Marks the table's cells changed where they differ in value from the
// register's, and unchanged where they do not; a cell the table lacks takes
// the register's, which then stays. Returns the number of cells marked.
qint64 markDifferences(TableData &table, const TableData &registerTable)
{
    // A mark is no edit, and a cell taken from the register was checked
    // there: an editor would only check the texts again.
    const QuietTable quiet(table);
    qint64 marked = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            FieldAddress address;
            const bool kept = registerTable.hasCell(row, column);
            if (!TableShape::fieldAddress(table, row, column, address))
                continue;
            if (!table.hasCell(row, column)) {
                if (kept)
                    table.setCell(row, column, registerTable.text(row, column),
                                  registerTable.width(row, column));
                continue;
            }
            const QString text = table.text(row, column);
            const QString inRegister = registerTable.text(row, column);
            const bool differs =
                !kept || (text != inRegister &&
                          !TableShape::sameValue(table, row, column, text, inRegister));
            table.setChanged(row, column, differs);
            marked += differs ? 1 : 0;
        }
    }
    return marked;
}

} // namespace

RegisterSync::RegisterSync(QList<TableData *> tables, bool checking)
    : m_tables(std::move(tables)), m_checking(checking)
{
}

RegisterSync::~RegisterSync() = default;

int RegisterSync::run(protocolBase &protocol, OperationProgress &progress)
{
    const int read = readRegisterTables(protocol, progress);
    if (read != ERR_OK || m_rowsMissing)
        return read;
    return writeDifferences(protocol, progress);
}

int RegisterSync::readRegisterTables(protocolBase &protocol, OperationProgress &progress)
{
    for (int index = 0; index < m_tables.size(); ++index) {
        TableData &table = *m_tables.at(index);
        m_registerTables.push_back(std::make_unique<MemoryTable>(table.tableNumber()));
        MemoryTable &kept = *m_registerTables.back();
        progress.startPart(TableOperations::partLabel(index, m_tables.size(), table.tableNumber()) +
                               tr("чтение: "),
                           -1);
        const int result = TableOperations::readTable(protocol, kept, &progress);
        if (result != ERR_OK)
            return result;
        if (table.rowCount() > kept.rowCount()) {
            m_rowsMissing = &table;
            m_registerRows = kept.rowCount();
            return ERR_OK;
        }
    }
    return ERR_OK;
}

int RegisterSync::writeDifferences(protocolBase &protocol, OperationProgress &progress)
{
    for (int index = 0; index < m_tables.size(); ++index) {
        TableData &table = *m_tables.at(index);
        const qint64 differences = markDifferences(table, *m_registerTables.at(index));
        m_differences += differences;
        if (differences == 0)
            continue;
        m_written.emplace_back(&table, std::make_unique<WriteCheck>(table));
        progress.startPart(TableOperations::partLabel(index, m_tables.size(), table.tableNumber()),
                           TableOperations::cellsToWrite(table));
        const int result = TableOperations::writeAndCheck(
            protocol, table, m_checking ? m_written.back().second.get() : nullptr, progress);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}

QString RegisterSync::rowsMissingProblem() const
{
    if (!m_rowsMissing)
        return QString();
    return tr("Таблица «%1»: есть строки после последней строки таблицы ККТ (%2). "
              "Ничего не записано.")
        .arg(TableCatalogue::caption(m_rowsMissing->tableNumber()))
        .arg(m_registerRows);
}

qint64 RegisterSync::mismatches() const
{
    qint64 count = 0;
    for (const auto &written : m_written)
        count += written.second->mismatches();
    return count;
}

// The last table written is where the work stopped; it is named where there
// were several.
QString RegisterSync::details() const
{
    if (m_written.empty())
        return QString();
    const auto &[table, check] = m_written.back();
    const QString details = TableOperations::checkDetails(table->tableNumber(), *check);
    if (m_tables.size() == 1)
        return details;
    return tr("Таблица «%1».").arg(TableCatalogue::caption(table->tableNumber())) +
           (details.isEmpty() ? QString() : QLatin1Char('\n') + details);
}
