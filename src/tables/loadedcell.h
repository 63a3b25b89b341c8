#pragma once

#include <QString>
#include <QVector>

class QTableWidget;

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

// Puts the cells of a checked file into the grid in file order, growing the
// grid to reach them: a cell whose text is already there stays as it is;
// otherwise a new cell, marked changed, takes its place. Placing a cell
// colours it by its check.
void placeLoadedCells(QTableWidget &grid, const QVector<LoadedCell> &cells);
