#pragma once

#include "tablefilereader.h"

#include <QString>

class TableData;
class QTextStream;

// The tab-separated table file: the table number on line 1, then one line per
// cell: row, TAB, field, TAB, width, TAB, cell text. Rows and fields count
// from 1.
namespace GenericTableFile {

// Every cell of fields 1 to fieldCount(table), row by row; the event point is
// given the rows written, and a stop ends it with ERR_CANCELLED.
int write(const TableData &table, QTextStream &out, const FileEventPoint &point = {});
// Checks the lines after the first; on success apply puts them into the
// table. Cells the file does not mention keep their content; the table never
// shrinks. A field beyond the table's columns is passed by, or refused when
// strict.
int parse(TableLines &lines, const QString &firstLine, TableData &table, bool strict,
          PendingLoad &apply);

} // namespace GenericTableFile
