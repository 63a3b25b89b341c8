#include "loadedcell.h"

#include "tabledata.h"

void placeLoadedCells(TableData &table, const QVector<LoadedCell> &cells)
{
    int rows = table.rowCount();
    for (const LoadedCell &loaded : cells)
        rows = qMax(rows, loaded.row + 1);
    table.setRowCount(rows);
    for (const LoadedCell &loaded : cells) {
        if (table.hasCell(loaded.row, loaded.column) &&
            table.text(loaded.row, loaded.column) == loaded.text)
            continue;
        table.setCell(loaded.row, loaded.column, loaded.text, loaded.width, TableData::Changed);
    }
}
