#pragma once

#include "loadedcell.h"
#include "tablefilereader.h"

#include <QString>

class QTextStream;
class TableData;

// The goods database CSV file: the table name on line 1, the goods' column
// headers on line 2, then one line per record, every value in double quotes
// (or, for spreadsheets, some as text formulas ="…") and separated by ";".
// The plain file keeps a value's quotes as they are; the file for spreadsheets
// doubles them, as spreadsheets write CSV. Loads take both: a line whose
// quoted fields are all as spreadsheets write them (closed by a quote before
// a ";" or the line's end, a quote inside doubled) as such, any other as the
// plain file's readers do, split at every ";" with one quote taken from
// either end of a value.
namespace GoodsCsvFile {

// The first line's text.
QString tableName();

enum class Variant
{
    Plain,
    // For spreadsheet programs: a value they would turn into a number, a
    // barcode or a long run of digits, is written as a text formula ="…",
    // which they keep as text; any other is quoted, its quotes doubled.
    ForSpreadsheets,
};

// Refuses with -97 a value that would load differently: one that holds a line
// break, in the plain file a ";" or two quotes in a row, or one that reads as a
// text formula. The event point is given the records written, and a stop ends
// it with ERR_CANCELLED.
int write(const TableData &table, const QString &tableName, QTextStream &out, Variant variant,
          const FileEventPoint &point = {});
// Why write refuses the table: the first value it cannot hold, named by its
// record and field, and the files that can; empty when there is none.
QString refusal(const TableData &table, Variant variant);
// Checks the whole file, with the event point given the bytes read, and
// changes nothing; apply then puts it into the table, which ends with as many
// rows as the file has records. A byte-order mark is read as such, a text
// formula ="…" as its text, and a price with a decimal comma as with a point.
int check(TableData &table, const QString &tableName, const QString &path, PendingLoad &apply,
          const FileEventPoint &point = {});

// What the goods' other files share with the CSV.

// Whether a spreadsheet would take the text for a number and not give it back
// as it is: every barcode (a leading zero is a digit of it), any long number,
// and any number with a leading zero.
bool becomesNumber(int column, const QString &text);
// "Запись 2, поле «Название»", for a refusal.
QString fieldPlace(int row, int column);
// Whether a file's header names the goods' columns, as far as it goes.
bool isHeader(const QStringList &captions);
// A text formula ="…", as a spreadsheet keeps a number as text, as its text.
QString cellText(const QString &text);
// Adds the cells of the next record from its field texts, a price with a
// decimal comma taken as with a point where its field takes it so.
void addRecord(const TableData &table, const QStringList &fields, QVector<LoadedCell> &cells,
               int &records);
// The load of the records' cells, which leaves the table as many rows.
PendingLoad recordsLoad(TableData &table, QVector<LoadedCell> cells, int records);

} // namespace GoodsCsvFile
