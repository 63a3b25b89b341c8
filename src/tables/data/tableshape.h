#pragma once

#include "cellfield.h"
#include "tabledata.h"

#include <QString>

// What a table's cells mean: which field of the register each shows, and so
// whether its text is valid and what it takes. Most tables show register row
// r + 1 in row r and its field c + 1 in column c; the settings show one field
// per row (columns: field number, type, value), and the GSM/Wi-Fi settings
// field 1 of register row c + 1 in column c of their single row.
namespace TableShape {

constexpr int goodsTable = 1;
constexpr int settingsTable = 2;
constexpr int wirelessTable = 11;
// The goods' columns that files and price lists find goods by and change.
constexpr int goodsNameColumn = 0;
constexpr int goodsBarcodeColumn = 1;
constexpr int goodsPriceColumn = 2;
// The settings' columns: the cells' widths there are the field number and
// the field's type code.
constexpr int settingsFieldColumn = 0;
constexpr int settingsTypeColumn = 1;
constexpr int settingsValueColumn = 2;

// Where the cell's value lives in the register; false for a cell that shows
// no field of its own.
bool fieldAddress(const TableData &data, int row, int column, FieldAddress &address);
// Whether the cell's field takes its text. A settings cell that shows no
// value is always valid; a value without its field's number or type never is.
bool isValid(const TableData &data, int row, int column);
// The same for a text and width at hand, as an editor has them for an item.
bool isValid(const TableData &data, int row, int column, int width, const QString &text);
// Whether two texts of the cell stand for the same value in the register.
bool sameValue(const TableData &data, int row, int column, const QString &first,
               const QString &second);
// What the cell's field takes, led by the reason when the cell is invalid
// (with the way round it for a barcode a spreadsheet turned into a number);
// empty for a cell without a field.
QString cellRule(const TableData &data, int row, int column);
// The first invalid cell among those that show field values, row by row;
// false when there is none.
bool firstInvalidCell(const TableData &data, int &row, int &column);

// The column's header, as the grid shows it; the column's number, from 1,
// for a column without one.
QString columnHeader(int table, int column);

// Shows a settings value in the row of its field, when the table has that
// row: its number and type, read-only, and shownText as the value.
void setSettingsRow(TableData &data, FieldBase &value, const QString &shownText);

} // namespace TableShape
