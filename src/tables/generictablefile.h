#pragma once

#include <QString>

class QTableWidget;

// The tab-separated table file: the table number on line 1, then one line per
// cell: row, TAB, field, TAB, width, TAB, cell text. Rows and fields count
// from 1.
namespace GenericTableFile {

// Every cell of fields 1 to fieldCount(table), row by row.
int save(const QTableWidget &grid, int table, const QString &path);
// All or nothing: the grid changes only when the whole file is good. Cells the
// file does not mention keep their content; the grid never shrinks.
int load(QTableWidget &grid, int table, const QString &path);

} // namespace GenericTableFile
