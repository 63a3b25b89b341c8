#pragma once

#include "tabledata.h"

#include <vector>

// A table held in plain memory, with the columns of its catalogue table:
// what the command line reads, loads and writes, and what a comparison or a
// profile fills unseen. Validity is worked out when asked, never kept.
class MemoryTable : public TableData
{
public:
    explicit MemoryTable(int table);

    int tableNumber() const override { return m_table; }
    int rowCount() const override { return m_rows; }
    int columnCount() const override { return m_columns; }
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

private:
    // Small, as a full goods table has nearly half a million of them.
    struct Cell
    {
        QString text;
        qint16 width = 0;
        bool present = false;
        bool changed = false;
        CellHighlight highlight = CellHighlight::None;
    };

    const Cell *cell(int row, int column) const;
    Cell *cell(int row, int column);

    const int m_table;
    const int m_columns;
    int m_rows = 0;
    // Row by row, m_columns cells each.
    std::vector<Cell> m_cells;
};
