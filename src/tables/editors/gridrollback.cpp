#include "gridrollback.h"

#include "cellmarks.h"

#include <QSignalBlocker>
#include <QTableWidget>

GridRollback::GridRollback(QTableWidget &grid) : m_grid(grid), m_rows(grid.rowCount()) {}

GridRollback::~GridRollback()
{
    for (const Kept &kept : m_kept)
        delete kept.item;
}

// The grid's model is kept quiet while an item is taken out: the load puts
// another in its place at once, and says so, or drops its row.
void GridRollback::keep(int row, int column)
{
    if (row >= m_rows)
        return;
    const QSignalBlocker quiet(m_grid.model());
    m_kept.push_back({row, column, m_grid.takeItem(row, column)});
}

void GridRollback::keepCopy(int row, int column)
{
    if (row >= m_rows)
        return;
    const QTableWidgetItem *item = m_grid.item(row, column);
    m_kept.push_back({row, column, item ? CellMarks::copy(*item) : nullptr});
}

void GridRollback::keepRowsFrom(int row)
{
    const QSignalBlocker quiet(m_grid.model());
    for (; row < m_rows && row < m_grid.rowCount(); ++row) {
        for (int column = 0; column < m_grid.columnCount(); ++column) {
            if (QTableWidgetItem *item = m_grid.takeItem(row, column))
                m_kept.push_back({row, column, item});
        }
    }
}

void GridRollback::restore()
{
    swap();
    for (const Kept &kept : m_kept)
        delete kept.item;
    m_kept.clear();
}

// Backwards, so that a cell changed twice ends with its first item; what the
// grid held is kept in the order taken, so that a swap backwards undoes it.
// The rows the change added go out whole, and come back at the next swap.
void GridRollback::swap()
{
    const QSignalBlocker quiet(m_grid);
    const int rowsNow = m_grid.rowCount();
    std::vector<Kept> taken;
    {
        // The view, the model's only listener, repaints once rather than
        // working out each of a full table's half a million cells; the rows
        // still come and go with their signals, which its headers follow.
        const QSignalBlocker quietCells(m_grid.model());
        for (int row = m_rows; row < rowsNow; ++row) {
            for (int column = 0; column < m_grid.columnCount(); ++column) {
                if (QTableWidgetItem *item = m_grid.takeItem(row, column))
                    taken.push_back({row, column, item});
            }
        }
    }
    m_grid.setRowCount(m_rows);
    {
        const QSignalBlocker quietCells(m_grid.model());
        for (auto kept = m_kept.rbegin(); kept != m_kept.rend(); ++kept) {
            taken.push_back({kept->row, kept->column, m_grid.takeItem(kept->row, kept->column)});
            m_grid.setItem(kept->row, kept->column, kept->item);
        }
    }
    m_grid.viewport()->update();
    m_kept = std::move(taken);
    m_rows = rowsNow;
}
