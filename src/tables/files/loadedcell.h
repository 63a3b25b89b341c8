#pragma once

#include "fileeventpoint.h"

#include <QString>
#include <QVector>

class TableData;

// A cell read from a table file, kept until the whole file has been checked.
struct LoadedCell
{
    int row;
    int column;
    QString text;
    int width;
};
// Moved in memory as it is when the list of a large file grows.
Q_DECLARE_TYPEINFO(LoadedCell, Q_MOVABLE_TYPE);

// Puts the cells of a checked file into the table in file order, growing the
// table to reach them: a cell whose text is already there stays as it is;
// otherwise a new cell, marked changed, takes its place. The event point is
// given the row reached; ERR_CANCELLED when the user stopped it there.
int placeLoadedCells(TableData &table, const QVector<LoadedCell> &cells,
                     const FileEventPoint &point);
