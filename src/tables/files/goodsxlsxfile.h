#pragma once

#include "tablefilereader.h"

#include <QString>

class TableData;

// The goods database as an Excel workbook (.xlsx): on its first sheet a row of
// the goods' column captions, then a row per record. Barcodes and other texts
// a spreadsheet would show otherwise are text cells; a value is a number cell
// only where it reads back as the same text.
namespace GoodsXlsxFile {

// Replaces the file only once the whole workbook is written: a failure, or a
// stop at the event point (given the records written; ERR_CANCELLED), leaves
// it as it was. ERR_INVALID_DATA for a value a workbook cannot hold.
int save(const TableData &table, const QString &path, const FileEventPoint &point = {});
// Why save refuses the table: the first value a workbook cannot hold, named
// by its record and field; empty when there is none.
QString refusal(const TableData &table);
// Checks the whole workbook, with the event point given the bytes of its
// sheet read, and changes nothing; apply then puts it into the table. why
// tells what is wrong with a workbook refused with ERR_INVALID_DATA.
int check(TableData &table, const QString &path, PendingLoad &apply, QString &why,
          const FileEventPoint &point = {});

} // namespace GoodsXlsxFile
