#include "memorytable.h"

#include "tablecatalogue.h"
#include "tableshape.h"

namespace {

int catalogueColumns(int table)
{
    const auto *catalogued = TableCatalogue::find(table);
    return catalogued ? catalogued->columns.size() : 0;
}

} // namespace

MemoryTable::MemoryTable(int table) : m_table(table), m_columns(catalogueColumns(table)) {}

void MemoryTable::setRowCount(int rows)
{
    m_rows = qMax(0, rows);
    m_cells.resize(std::size_t(m_rows) * std::size_t(m_columns));
}

const MemoryTable::Cell *MemoryTable::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return nullptr;
    const Cell &found = m_cells[std::size_t(row) * std::size_t(m_columns) + std::size_t(column)];
    return found.present ? &found : nullptr;
}

MemoryTable::Cell *MemoryTable::cell(int row, int column)
{
    return const_cast<Cell *>(static_cast<const MemoryTable *>(this)->cell(row, column));
}

bool MemoryTable::hasCell(int row, int column) const
{
    return cell(row, column) != nullptr;
}

QString MemoryTable::text(int row, int column) const
{
    const Cell *found = cell(row, column);
    return found ? found->text : QString();
}

int MemoryTable::width(int row, int column) const
{
    const Cell *found = cell(row, column);
    return found ? found->width : 0;
}

// A cell outside the columns is dropped, as a grid drops it.
void MemoryTable::setCell(int row, int column, const QString &text, int width, int flags)
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return;
    m_cells[std::size_t(row) * std::size_t(m_columns) + std::size_t(column)] = {
        text, qint16(width), true, (flags & Changed) != 0, CellHighlight::None};
}

bool MemoryTable::isChanged(int row, int column) const
{
    const Cell *found = cell(row, column);
    return found && found->changed;
}

void MemoryTable::setChanged(int row, int column, bool changed)
{
    if (Cell *found = cell(row, column))
        found->changed = changed;
}

bool MemoryTable::isInvalid(int row, int column) const
{
    return hasCell(row, column) && !TableShape::isValid(*this, row, column);
}

CellHighlight MemoryTable::highlight(int row, int column) const
{
    const Cell *found = cell(row, column);
    return found ? found->highlight : CellHighlight::None;
}

void MemoryTable::setHighlight(int row, int column, CellHighlight kind)
{
    if (Cell *found = cell(row, column))
        found->highlight = kind;
}
