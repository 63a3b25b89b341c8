#include "tablecomparison.h"

#include "tableshape.h"

namespace {

bool isDifference(const TableData &table, int row, int column)
{
    return table.hasCell(row, column) && table.highlight(row, column) == CellHighlight::Difference;
}

} // namespace

// One pass both marks and unmarks: a large table is walked once, and a cell
// that differs again keeps its mark rather than losing and regaining it.
void TableComparison::compare(TableData &table, const TableData &other)
{
    *this = TableComparison();
    // A mark is no edit: an editor would only check each unchanged text
    // again, which costs more than the comparison.
    const QuietTable quiet(table);
    const int columns = table.columnCount();
    m_tableRows = table.rowCount();
    m_commonRows = qMin(m_tableRows, other.rowCount());
    m_rowsOnlyInTable = m_tableRows - m_commonRows;
    m_rowsOnlyInOther = other.rowCount() - m_commonRows;

    for (int row = 0; row < m_commonRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const bool present = table.hasCell(row, column);
            const QString text = table.text(row, column);
            const QString otherText = other.text(row, column);
            const bool same =
                text == otherText || TableShape::sameValue(table, row, column, text, otherText);
            if (same) {
                if (isDifference(table, row, column))
                    table.setHighlight(row, column, CellHighlight::None);
                continue;
            }
            ++m_differentCells;
            if (present)
                table.setHighlight(row, column, CellHighlight::Difference);
            else
                m_missingCells.append(QPoint(column, row));
        }
    }
    for (int row = m_commonRows; row < m_tableRows; ++row) {
        for (int column = 0; column < columns; ++column)
            table.setHighlight(row, column, CellHighlight::Difference);
    }
}

void TableComparison::clear(TableData &table)
{
    const QuietTable quiet(table);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (isDifference(table, row, column))
                table.setHighlight(row, column, CellHighlight::None);
        }
    }
}

bool TableComparison::nextDifference(const TableData &table, int &row, int &column, bool forward)
{
    const int columns = table.columnCount();
    const qint64 cells = qint64(table.rowCount()) * columns;
    if (cells == 0)
        return false;
    qint64 start = qint64(row) * columns + column;
    if (row < 0 || column < 0 || column >= columns || start >= cells)
        start = forward ? cells - 1 : 0;
    const qint64 step = forward ? 1 : cells - 1;
    // The start itself comes last: the only difference left may be the one at hand.
    for (qint64 index = (start + step) % cells, seen = 0; seen < cells;
         index = (index + step) % cells, ++seen) {
        const int candidateRow = int(index / columns);
        const int candidateColumn = int(index % columns);
        if (isDifference(table, candidateRow, candidateColumn)) {
            row = candidateRow;
            column = candidateColumn;
            return true;
        }
    }
    return false;
}

int TableComparison::remaining(const TableData &table) const
{
    const int columns = table.columnCount();
    const int commonRows = qMin(m_commonRows, table.rowCount());
    int count = m_rowsOnlyInOther;
    for (int row = 0; row < commonRows; ++row) {
        for (int column = 0; column < columns; ++column)
            count += isDifference(table, row, column);
    }
    for (const QPoint &missing : m_missingCells) {
        count += missing.y() < commonRows && missing.x() < columns &&
                 !table.hasCell(missing.y(), missing.x());
    }
    const int tableRows = qMin(m_tableRows, table.rowCount());
    for (int row = m_commonRows; row < tableRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (!table.hasCell(row, column) || isDifference(table, row, column)) {
                ++count;
                break;
            }
        }
    }
    return count;
}
