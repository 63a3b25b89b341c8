#pragma once

#include "tablefilereader.h"

#include <QString>

class TableData;
class QTextStream;

// The tab-separated table file: the table number on line 1, then one line per
// cell: row, TAB, field, TAB, width, TAB, cell text. Rows and fields count
// from 1.
namespace GenericTableFile {

// Every cell of fields 1 to fieldCount(table), row by row.
int save(const TableData &table, const QString &path);
int write(const TableData &table, QTextStream &out);
// All or nothing: the table changes only when the whole file is good. Cells
// the file does not mention keep their content; the table never shrinks.
int load(TableData &table, const QString &path);
// Checks the lines after the first; on success apply puts them into the
// table as load does. A field beyond the table's columns is passed by, or
// refused when strict.
int parse(TableLines &lines, const QString &firstLine, TableData &table, bool strict,
          PendingLoad &apply);

} // namespace GenericTableFile
