#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QTableWidget;

// Blocks of tab-separated text, as a spreadsheet copies and takes them, for
// the grids' clipboard.
namespace GridPaste {

using Block = QVector<QStringList>;

// Rows at "\n" or "\r\n", a trailing line break ignored; cells at tabs.
Block parse(const QString &text);
// Why the block cannot go into the grid from the cell on, rows down and
// columns right, or empty when it can: it must fit, and change no cell the
// grid does not let the user edit.
QString refusal(const QTableWidget &grid, int row, int column, const Block &block);
// The whole grid, its column captions as the first line.
QString tableText(const QTableWidget &grid);

} // namespace GridPaste
