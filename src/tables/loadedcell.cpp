#include "loadedcell.h"

#include "cellmarks.h"

#include <QTableWidget>

void placeLoadedCells(QTableWidget &grid, const QVector<LoadedCell> &cells)
{
    int rows = grid.rowCount();
    for (const LoadedCell &loaded : cells)
        rows = qMax(rows, loaded.row + 1);
    grid.setRowCount(rows);
    for (const LoadedCell &loaded : cells) {
        const QTableWidgetItem *existing = grid.item(loaded.row, loaded.column);
        if (existing && existing->text() == loaded.text)
            continue;
        auto *cell = new QTableWidgetItem(loaded.text, loaded.width);
        CellMarks::setWeight(*cell, CellMarks::changedWeight);
        // Placing the cell checks it; a cell already white is checked once, not
        // again for the colour change, which halves the cost of a large load.
        CellMarks::setValidity(*cell, true);
        grid.setItem(loaded.row, loaded.column, cell);
    }
}
