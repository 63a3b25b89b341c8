#include "loadedcell.h"

#include "cellmarks.h"

#include <QTableWidget>

void placeLoadedCell(QTableWidget &grid, int row, int column, const QString &text, int width)
{
    const QTableWidgetItem *existing = grid.item(row, column);
    if (existing && existing->text() == text)
        return;
    if (row >= grid.rowCount())
        grid.setRowCount(row + 1);
    auto *cell = new QTableWidgetItem(text, width);
    CellMarks::setWeight(*cell, CellMarks::changedWeight);
    // Placing the cell checks it; a cell already white is checked once, not
    // again for the colour change, which halves the cost of a large load.
    CellMarks::setValidity(*cell, true);
    grid.setItem(row, column, cell);
}
