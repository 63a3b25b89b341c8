#include "gridtable.h"

#include "cellmarks.h"
#include "gridrollback.h"

#include <QTableWidget>

int GridTable::rowCount() const
{
    return m_grid.rowCount();
}

int GridTable::columnCount() const
{
    return m_grid.columnCount();
}

void GridTable::setRowCount(int rows)
{
    if (m_rollback)
        m_rollback->keepRowsFrom(rows);
    m_grid.setRowCount(rows);
}

bool GridTable::hasCell(int row, int column) const
{
    return m_grid.item(row, column) != nullptr;
}

QString GridTable::text(int row, int column) const
{
    const QTableWidgetItem *cell = m_grid.item(row, column);
    return cell ? cell->text() : QString();
}

int GridTable::width(int row, int column) const
{
    const QTableWidgetItem *cell = m_grid.item(row, column);
    return cell ? cell->type() : 0;
}

// A cell shown valid is white already, so that the editor's check colours it
// only when it finds it invalid.
void GridTable::setCell(int row, int column, const QString &text, int width, int flags)
{
    auto *cell = new QTableWidgetItem(text, width);
    if (flags & ReadOnly)
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    if (flags & Changed)
        CellMarks::setWeight(*cell, CellMarks::changedWeight);
    if (flags & ShownValid)
        CellMarks::setValidity(*cell, true);
    if (m_rollback)
        m_rollback->keep(row, column);
    m_grid.setItem(row, column, cell);
}

bool GridTable::isChanged(int row, int column) const
{
    const QTableWidgetItem *cell = m_grid.item(row, column);
    return cell && CellMarks::isChanged(*cell);
}

void GridTable::setChanged(int row, int column, bool changed)
{
    QTableWidgetItem *cell = m_grid.item(row, column);
    if (cell)
        CellMarks::setWeight(*cell,
                             changed ? CellMarks::changedWeight : CellMarks::unchangedWeight);
}

bool GridTable::isInvalid(int row, int column) const
{
    const QTableWidgetItem *cell = m_grid.item(row, column);
    return cell && CellMarks::isInvalid(*cell);
}

CellHighlight GridTable::highlight(int row, int column) const
{
    const QTableWidgetItem *cell = m_grid.item(row, column);
    if (!cell)
        return CellHighlight::None;
    // Most cells have none, which one look-up tells.
    const CellHighlight kind = CellMarks::highlight(*cell);
    return kind != CellHighlight::None && CellMarks::isHighlighted(*cell, kind)
               ? kind
               : CellHighlight::None;
}

void GridTable::setHighlight(int row, int column, CellHighlight kind)
{
    if (QTableWidgetItem *cell = m_grid.item(row, column)) {
        if (m_rollback)
            m_rollback->keepCopy(row, column);
        CellMarks::setHighlight(*cell, kind);
    }
}

bool GridTable::setQuiet(bool quiet)
{
    return m_grid.blockSignals(quiet);
}
