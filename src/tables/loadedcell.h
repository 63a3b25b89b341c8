#pragma once

#include <QString>

class QTableWidget;

// Puts a cell loaded from a file into the grid: a cell whose text is already
// there stays as it is; otherwise a new cell, marked changed, takes its place,
// and the grid grows to reach it. Placing the cell colours it by its check.
void placeLoadedCell(QTableWidget &grid, int row, int column, const QString &text, int width);
