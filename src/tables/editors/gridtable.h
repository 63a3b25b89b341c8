#pragma once

#include "tabledata.h"

class GridRollback;
class QTableWidget;

// The table an editor's grid shows, as data: the grid's items are the cells,
// with no copy of their own. The marks are the cells' looks (CellMarks): a
// bold font for a changed cell, red for an invalid one, a colour per
// highlight. The grid hears of every change of an item, marks included,
// unless it is kept quiet.
class GridTable : public TableData
{
public:
    GridTable(QTableWidget &grid, int table) : m_grid(grid), m_table(table) {}

    int tableNumber() const override { return m_table; }
    int rowCount() const override;
    int columnCount() const override;
    void setRowCount(int rows) override;

    bool hasCell(int row, int column) const override;
    QString text(int row, int column) const override;
    int width(int row, int column) const override;
    void setCell(int row, int column, const QString &text, int width, int flags = 0) override;

    bool isChanged(int row, int column) const override;
    void setChanged(int row, int column, bool changed) override;
    bool isInvalid(int row, int column) const override;
    CellHighlight highlight(int row, int column) const override;
    void setHighlight(int row, int column, CellHighlight kind) override;
    bool setQuiet(bool quiet) override;

    // While set, the cells and rows replaced or dropped go to rollback
    // rather than away, and a copy of a cell whose highlight changes; nullptr
    // ends that.
    void setRollback(GridRollback *rollback) { m_rollback = rollback; }

private:
    QTableWidget &m_grid;
    const int m_table;
    GridRollback *m_rollback = nullptr;
};
