#pragma once

#include "tablefilereader.h"

#include <QString>

class QTextStream;
class TableData;

// One entry point for "load or save this table as this file": the goods
// database is kept as CSV when its file's name ends in ".csv" (case-sensitive,
// the name decides both ways, so a file always loads back), the settings in
// their own file, every other table as the tab-separated table file.
namespace TableFile {

enum class Format
{
    // The table's own file: the tab-separated one, or the settings file.
    Table,
    GoodsCsv,
    // The goods CSV in UTF-8 with a byte-order mark, for spreadsheet programs,
    // which keep its barcodes as text (GoodsCsvFile::Variant::ForSpreadsheets).
    GoodsCsvForSpreadsheets,
    // An Excel workbook, chosen by its name's ".xlsx" both ways.
    GoodsXlsx,
};

// The file dialogs' filter string of the table's files.
QString fileFilter(int table);
// What a save to path writes, with the dialog's filter chosen, if any.
Format formatOf(int table, const QString &path, const QString &filter = QString());

// The largest legal file of the table's own format.
TableFileBound bound(int table);

// Through QSaveFile: a save that fails, or that the user stops at an event
// point (given the records written; ERR_CANCELLED), leaves the file as it was.
int save(const TableData &table, const QString &path, Format format,
         const FileEventPoint &point = {});
// Why a save or write in the format refused the table: the value at fault,
// where it is, and the files that hold it; empty when no value is at fault.
QString refusal(const TableData &table, Format format);
// Checks the whole file, with the event point given the bytes read, and
// changes nothing; apply then puts it into the table. why, if given, is told
// what is wrong with a workbook refused with ERR_INVALID_DATA.
int check(TableData &table, const QString &path, PendingLoad &apply,
          const FileEventPoint &point = {}, QString *why = nullptr);
// All or nothing: the table changes only when the whole file is good. The
// event point is given the bytes read, then the records put in, which
// checked, if any, is told of before they go in. A stop leaves the table
// holding part of the file.
int load(TableData &table, const QString &path, const FileEventPoint &point = {},
         const std::function<void(qint64 records)> &checked = {}, QString *why = nullptr);

// The file's content, to any stream (a profile, standard output), which the
// CSV for spreadsheets switches to UTF-8 with a byte-order mark; the event
// point is given the records written. The settings, a few dozen rows, have none.
// A workbook is written by save only: ERR_NOT_SUPPORTED.
int write(const TableData &table, QTextStream &out, Format format = Format::Table,
          const FileEventPoint &point = {});
// The table's own file from lines whose first one is given, as a profile
// holds it: checked whole, put in by apply. A profile knows every field it
// names, so a field beyond the table's columns is refused.
int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply);

} // namespace TableFile
