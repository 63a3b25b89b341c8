#pragma once

#include "fileeventpoint.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Cell texts of a worksheet, row by row; a missing cell is an empty string.
using SheetRows = QVector<QStringList>;

// The worksheets of an .xlsx workbook, as a spreadsheet program shows their
// cells. The workbook is a zip archive of XML parts; every part is inflated and
// parsed piece by piece, its bytes counted, so that a damaged or hostile file
// is refused before it costs more memory or time than a large price list.
namespace XlsxSheet {

// The longest text a spreadsheet cell holds.
constexpr int maxCellText = 32767;

// Reads the first worksheet of an .xlsx workbook. ERR_OK; ERR_FILE_OPEN (cannot be read);
// ERR_INVALID_DATA with why set to a Russian reason (damaged, not a workbook, too large, bad XML);
// ERR_CANCELLED when the event point stopped it (the event point is given the bytes of the sheet
// read so far, as other file loads give bytes read).
int readFirstSheet(const QString &path, SheetRows &rows, QString &why,
                   const FileEventPoint &point = {});

// A number as a spreadsheet shows it in its general format, without an
// exponent: 15 significant digits, no trailing zeros ("4600000000001", "12.5").
QString numberText(double value);

} // namespace XlsxSheet
