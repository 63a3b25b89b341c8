#include "loadedcell.h"

#include "tabledata.h"

void placeLoadedCells(TableData &table, const QVector<LoadedCell> &cells)
{
    int rows = table.rowCount();
    for (const LoadedCell &loaded : cells)
        rows = qMax(rows, loaded.row + 1);
    table.setRowCount(rows);
    for (const LoadedCell &loaded : cells) {
        // An empty text equals a missing cell's: only then is the cell looked for.
        if (table.text(loaded.row, loaded.column) == loaded.text &&
            (!loaded.text.isEmpty() || table.hasCell(loaded.row, loaded.column)))
            continue;
        table.setCell(loaded.row, loaded.column, loaded.text, loaded.width,
                      TableData::Changed | TableData::ShownValid);
    }
}
