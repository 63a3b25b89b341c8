#pragma once

#include "tablefilereader.h"

#include <QString>

class QTextStream;
class TableData;

// The goods database CSV file: the table name on line 1, the goods' column
// headers on line 2, then one line per record, every value in double quotes
// and separated by ";". Values are not escaped: the loader splits at every
// ";" and strips one double quote from each end of a value.
namespace GoodsCsvFile {

// The first line's text.
QString tableName();

// Refuses with -97 a value that holds a ";" or a line break, which would load
// differently. The event point is given the records written, and a stop ends
// it with ERR_CANCELLED.
int write(const TableData &table, const QString &tableName, QTextStream &out,
          const FileEventPoint &point = {});
// Checks the whole file, with the event point given the bytes read, and
// changes nothing; apply then puts it into the table, which ends with as many
// rows as the file has records. A byte-order mark is read as such.
int check(TableData &table, const QString &tableName, const QString &path, PendingLoad &apply,
          const FileEventPoint &point = {});

} // namespace GoodsCsvFile
