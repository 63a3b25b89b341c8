#include "tableshape.h"

#include "tablecatalogue.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace TableShape {

namespace {

constexpr int settingsRow = 1;
constexpr int wirelessValueField = 1;

QString tr(const char *text)
{
    return QCoreApplication::translate("QMyTableWidget", text);
}

// "4.601E+12", "4,60123E+12": a barcode a spreadsheet took for a number, as it
// shows and saves it.
bool isSpreadsheetBarcode(const TableData &data, int column, const QString &text)
{
    const QRegularExpression scientific(
        QStringLiteral("^[+-]?[0-9]+([.,][0-9]+)?[eE][+-]?[0-9]+$"));
    return data.tableNumber() == goodsTable && column == goodsBarcodeColumn &&
           scientific.match(text.trimmed()).hasMatch();
}

} // namespace

bool fieldAddress(const TableData &data, int row, int column, FieldAddress &address)
{
    const int table = data.tableNumber();
    switch (table) {
    case settingsTable:
        if (column != settingsValueColumn || !data.hasCell(row, settingsFieldColumn) ||
            !data.hasCell(row, settingsTypeColumn))
            return false;
        address = {table, settingsRow, data.width(row, settingsFieldColumn),
                   data.width(row, settingsTypeColumn)};
        return true;
    case wirelessTable:
        address = {table, column + 1, wirelessValueField, fieldType(table, column + 1)};
        return true;
    default:
        address = {table, row + 1, column + 1, fieldType(table, column + 1)};
        return true;
    }
}

bool isValid(const TableData &data, int row, int column)
{
    return isValid(data, row, column, data.width(row, column), data.text(row, column));
}

bool isValid(const TableData &data, int row, int column, int width, const QString &text)
{
    if (data.tableNumber() == settingsTable && column != settingsValueColumn)
        return true;
    FieldAddress address;
    return fieldAddress(data, row, column, address) && cellIsValid(address, width, text);
}

bool sameValue(const TableData &data, int row, int column, const QString &first,
               const QString &second)
{
    FieldAddress address;
    return data.hasCell(row, column) && fieldAddress(data, row, column, address) &&
           ::sameValue(address, data.width(row, column), first, second);
}

QString cellRule(const TableData &data, int row, int column)
{
    FieldAddress address;
    if (!data.hasCell(row, column) || !fieldAddress(data, row, column, address))
        return QString();
    const QString rule = fieldRule(address, data.width(row, column));
    if (!data.isInvalid(row, column))
        return rule;
    if (isSpreadsheetBarcode(data, column, data.text(row, column)))
        return tr("Неверное значение: штрихкод превращён электронной таблицей в число. %1. "
                  "Чтобы штрихкоды остались цифрами, сохраните таблицу в программе как "
                  "«CSV для Excel» и откройте в электронной таблице этот файл.")
            .arg(rule);
    return tr("Неверное значение. ") + rule;
}

// The columns of the fields the catalogue lays out; in the settings, the values.
bool firstInvalidCell(const TableData &data, int &row, int &column)
{
    const bool settings = data.tableNumber() == settingsTable;
    const int first = settings ? settingsValueColumn : 0;
    const int end = settings ? settingsValueColumn + 1 : fieldCount(data.tableNumber());
    for (int r = 0; r < data.rowCount(); ++r) {
        for (int c = first; c < end; ++c) {
            if (data.hasCell(r, c) && data.isInvalid(r, c)) {
                row = r;
                column = c;
                return true;
            }
        }
    }
    return false;
}

QString columnHeader(int table, int column)
{
    const auto *catalogued = TableCatalogue::find(table);
    if (catalogued && column >= 0 && column < catalogued->columns.size() &&
        !catalogued->columns[column].hidden)
        return catalogued->columns[column].header;
    return QString::number(column + 1);
}

void setSettingsRow(TableData &data, FieldBase &value, const QString &shownText)
{
    const int row = value.fieldNumber() - 1;
    if (row >= data.rowCount())
        return;
    data.setCell(row, settingsFieldColumn, QString::number(value.fieldNumber()),
                 value.fieldNumber(), TableData::ReadOnly);
    data.setCell(row, settingsTypeColumn,
                 QString::number(value.width()) + QLatin1Char(' ') + value.typeDescription(),
                 value.type(), TableData::ReadOnly);
    data.setCell(row, settingsValueColumn, shownText, value.width());
}

} // namespace TableShape
