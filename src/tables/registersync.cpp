#include "registersync.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "errorcode.h"
#include "qmytablewidget.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tableoperations.h"
#include "writecheck.h"

#include <QCoreApplication>
#include <QSignalBlocker>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RegisterSync", text);
}

// Marks the grid's cells changed where they differ in value from the
// register's, and unchanged where they do not; a cell the grid lacks takes
// the register's, which then stays. Returns the number of cells marked.
qint64 markDifferences(QMyTableWidget &grid, const QMyTableWidget &registerTable)
{
    // A mark is no edit, and a cell taken from the register was checked
    // there: the editor would only check the texts again.
    const QSignalBlocker quiet(grid);
    qint64 marked = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            FieldAddress address;
            const QTableWidgetItem *kept = registerTable.item(row, column);
            QTableWidgetItem *cell = grid.item(row, column);
            if (!grid.fieldAddress(row, column, address))
                continue;
            if (!cell) {
                if (kept)
                    grid.setItem(row, column, new QTableWidgetItem(*kept));
                continue;
            }
            const QString inRegister = kept ? kept->text() : QString();
            const bool differs = !kept || (cell->text() != inRegister &&
                                           !grid.sameValue(row, column, cell->text(), inRegister));
            CellMarks::setWeight(*cell,
                                 differs ? CellMarks::changedWeight : CellMarks::unchangedWeight);
            marked += differs ? 1 : 0;
        }
    }
    return marked;
}

} // namespace

RegisterSync::RegisterSync(QList<QMyTableWidget *> tables, bool checking)
    : m_tables(std::move(tables)), m_checking(checking)
{
}

RegisterSync::~RegisterSync() = default;

int RegisterSync::run(protocolBase &protocol, OperationProgress &progress, ProgressReport &report)
{
    const int read = readRegisterTables(protocol, progress, report);
    if (read != ERR_OK || m_rowsMissing)
        return read;
    return writeDifferences(protocol, progress, report);
}

int RegisterSync::readRegisterTables(protocolBase &protocol, OperationProgress &progress,
                                     ProgressReport &report)
{
    for (int index = 0; index < m_tables.size(); ++index) {
        QMyTableWidget &grid = *m_tables.at(index);
        m_registerTables.emplace_back(createTableEditor(grid.tableNumber()));
        QMyTableWidget &kept = *m_registerTables.back();
        kept.setOperationProgress(&progress);
        report.startPart(TableOperations::partLabel(index, m_tables.size(), grid.tableNumber()) +
                             tr("чтение: "),
                         -1);
        const int result = kept.readTable(protocol);
        if (result != ERR_OK)
            return result;
        if (grid.rowCount() > kept.rowCount()) {
            m_rowsMissing = &grid;
            m_registerRows = kept.rowCount();
            return ERR_OK;
        }
    }
    return ERR_OK;
}

int RegisterSync::writeDifferences(protocolBase &protocol, OperationProgress &progress,
                                   ProgressReport &report)
{
    for (int index = 0; index < m_tables.size(); ++index) {
        QMyTableWidget &grid = *m_tables.at(index);
        const qint64 differences = markDifferences(grid, *m_registerTables.at(index));
        m_differences += differences;
        if (differences == 0)
            continue;
        m_written.emplace_back(&grid, std::make_unique<WriteCheck>(grid));
        report.startPart(TableOperations::partLabel(index, m_tables.size(), grid.tableNumber()),
                         grid.cellsToWrite());
        const int result = TableOperations::writeAndCheck(
            protocol, grid, m_checking ? m_written.back().second.get() : nullptr, progress, report);
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
    const QString details = TableOperations::checkDetails(*table, *check);
    if (m_tables.size() == 1)
        return details;
    return tr("Таблица «%1».").arg(TableCatalogue::caption(table->tableNumber())) +
           (details.isEmpty() ? QString() : QLatin1Char('\n') + details);
}
