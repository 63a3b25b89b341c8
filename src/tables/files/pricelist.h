#pragma once

#include "xlsxsheet.h"

#include <QMap>
#include <QString>

// Where a price list keeps what it names: its header row and, for each goods
// column it updates, the file's column (from 0).
struct PriceColumns
{
    int headerRow = -1;
    QMap<int, int> fileColumns;

    // A barcode to find the goods by, and something to update them with.
    bool complete() const;
};

// A supplier's or a shop's price list: a spreadsheet of barcodes and any of
// prices, names, tax numbers and sections, in its own order of columns, whose
// header names them.
namespace PriceList {

// The goods columns a price list may name, the barcode first.
const QVector<int> &goodsColumns();
// "barcode", "price": the name of a goods column in --columns.
QString optionName(int goodsColumn);

// CSV with ";" or "," (told from the header line), tab-separated text, or an
// .xlsx spreadsheet; UTF-8 with or without a byte-order mark, else
// Windows-1251. The event point is given the bytes read. ERR_FILE_OPEN,
// ERR_INVALID_DATA with why in words for the user, or ERR_CANCELLED.
int read(const QString &path, SheetRows &rows, QString &why, const FileEventPoint &point = {});

// The header row, the first near the top that names a barcode column, and the
// columns it names, by the captions the program writes and common others, in
// any case and spacing. Without one, the first row that is not empty and no
// columns.
PriceColumns findColumns(const SheetRows &rows);
// "barcode=1,price=4": columns from 1 by their names; false with error when
// the text is not such a list.
bool parseColumns(const QString &text, PriceColumns &columns, QString &error);

} // namespace PriceList
