#pragma once

#include "tablefilereader.h"

#include <QString>

class QTableWidget;
class QTextStream;

// The tab-separated table file: the table number on line 1, then one line per
// cell: row, TAB, field, TAB, width, TAB, cell text. Rows and fields count
// from 1.
namespace GenericTableFile {

// Every cell of fields 1 to fieldCount(table), row by row.
int save(const QTableWidget &grid, int table, const QString &path);
int write(const QTableWidget &grid, int table, QTextStream &out);
// All or nothing: the grid changes only when the whole file is good. Cells the
// file does not mention keep their content; the grid never shrinks.
int load(QTableWidget &grid, int table, const QString &path);
// Checks the lines after the first; on success apply puts them into the grid
// as load does. A field beyond the grid's columns is passed by, or refused
// when strict.
int parse(TableLines &lines, const QString &firstLine, QTableWidget &grid, int table, bool strict,
          PendingLoad &apply);

} // namespace GenericTableFile
