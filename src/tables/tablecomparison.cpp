#include "tablecomparison.h"

#include "cellmarks.h"

#include <QSignalBlocker>
#include <QTableWidget>

namespace {

using CellMarks::Highlight;

QString textOf(const QTableWidgetItem *cell)
{
    return cell ? cell->text() : QString();
}

bool isDifference(const QTableWidgetItem *cell)
{
    return cell && CellMarks::isHighlighted(*cell, Highlight::Difference);
}

} // namespace

// One pass both marks and unmarks: a large table is walked once, and a cell
// that differs again keeps its mark rather than losing and regaining it.
void TableComparison::compare(QTableWidget &grid, const QTableWidget &other,
                              const SameValue &sameValue)
{
    *this = TableComparison();
    // A mark is no edit: the editor would only check each unchanged text
    // again, three times a cell, which costs more than the comparison.
    const QSignalBlocker quiet(grid);
    const int columns = grid.columnCount();
    m_gridRows = grid.rowCount();
    m_commonRows = qMin(m_gridRows, other.rowCount());
    m_rowsOnlyInGrid = m_gridRows - m_commonRows;
    m_rowsOnlyInOther = other.rowCount() - m_commonRows;

    for (int row = 0; row < m_commonRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            QTableWidgetItem *cell = grid.item(row, column);
            const QString text = textOf(cell);
            const QString otherText = textOf(other.item(row, column));
            const bool same =
                text == otherText || (sameValue && sameValue(row, column, text, otherText));
            if (same) {
                if (cell && CellMarks::highlight(*cell) == Highlight::Difference)
                    CellMarks::setHighlight(*cell, Highlight::None);
                continue;
            }
            ++m_differentCells;
            if (cell)
                CellMarks::setHighlight(*cell, Highlight::Difference);
            else
                m_missingCells.append(QPoint(column, row));
        }
    }
    for (int row = m_commonRows; row < m_gridRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (QTableWidgetItem *cell = grid.item(row, column))
                CellMarks::setHighlight(*cell, Highlight::Difference);
        }
    }
}

void TableComparison::clear(QTableWidget &grid)
{
    const QSignalBlocker quiet(grid);
    CellMarks::clearHighlights(grid, Highlight::Difference);
}

QTableWidgetItem *TableComparison::nextDifference(QTableWidget &grid, int row, int column,
                                                  bool forward)
{
    const int columns = grid.columnCount();
    const qint64 cells = qint64(grid.rowCount()) * columns;
    if (cells == 0)
        return nullptr;
    qint64 start = qint64(row) * columns + column;
    if (row < 0 || column < 0 || column >= columns || start >= cells)
        start = forward ? cells - 1 : 0;
    const qint64 step = forward ? 1 : cells - 1;
    // The start itself comes last: the only difference left may be the one at hand.
    for (qint64 index = (start + step) % cells, seen = 0; seen < cells;
         index = (index + step) % cells, ++seen) {
        QTableWidgetItem *cell = grid.item(int(index / columns), int(index % columns));
        if (isDifference(cell))
            return cell;
    }
    return nullptr;
}

int TableComparison::remaining(const QTableWidget &grid) const
{
    const int columns = grid.columnCount();
    const int commonRows = qMin(m_commonRows, grid.rowCount());
    int count = m_rowsOnlyInOther;
    for (int row = 0; row < commonRows; ++row) {
        for (int column = 0; column < columns; ++column)
            count += isDifference(grid.item(row, column));
    }
    for (const QPoint &missing : m_missingCells) {
        count += missing.y() < commonRows && missing.x() < columns &&
                 !grid.item(missing.y(), missing.x());
    }
    const int gridRows = qMin(m_gridRows, grid.rowCount());
    for (int row = m_commonRows; row < gridRows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            if (!cell || isDifference(cell)) {
                ++count;
                break;
            }
        }
    }
    return count;
}
