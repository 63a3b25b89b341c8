#include "loadedcell.h"

#include "errorcode.h"
#include "tabledata.h"

int placeLoadedCells(TableData &table, const QVector<LoadedCell> &cells,
                     const FileEventPoint &point)
{
    int rows = table.rowCount();
    for (const LoadedCell &loaded : cells)
        rows = qMax(rows, loaded.row + 1);
    table.setRowCount(rows);
    PacedEventPoint paced(point);
    for (const LoadedCell &loaded : cells) {
        if (!paced.step(loaded.row))
            return ERR_CANCELLED;
        // An empty text equals a missing cell's: only then is the cell looked for.
        if (table.text(loaded.row, loaded.column) == loaded.text &&
            (!loaded.text.isEmpty() || table.hasCell(loaded.row, loaded.column)))
            continue;
        table.setCell(loaded.row, loaded.column, loaded.text, loaded.width,
                      TableData::Changed | TableData::ShownValid);
    }
    return ERR_OK;
}
