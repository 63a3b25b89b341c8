#include "errorcode.h"
#include "eventpoint.h"
#include "fieldtypes.h"
#include "operationprogress.h"
#include "protocolbase.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tablelimits.h"
#include "tableoperations.h"
#include "tableshape.h"

#include <QCoreApplication>

#include <memory>

bool eventPoint(OperationProgress *progress, qint64 done)
{
    if (progress)
        return progress->eventPoint(done);
    QCoreApplication::processEvents();
    return true;
}

namespace TableOperations {

namespace {

using FieldPtr = std::unique_ptr<FieldBase>;

using TableShape::goodsTable;
// Events are processed before every this many rows of a read; the goods, the
// longest table, less often than the others.
constexpr int readEventInterval = 20;
constexpr int goodsReadEventInterval = 50;
constexpr int settingsRow = 1;
constexpr int wirelessValueField = 1;

// A value read from a table the program never writes is not to be edited.
int readCellFlags(const TableData &table)
{
    return TableCatalogue::isWritable(table.tableNumber()) ? 0 : TableData::ReadOnly;
}

void setReadCell(TableData &table, int row, int column, FieldBase &value, int flags)
{
    QString text;
    value.toString(text);
    table.setCell(row, column, text, value.width(), flags);
}

// Rows first, first + 1, ... until the register answers -259; -260 skips the
// rest of a row.
int readRecords(protocolBase &protocol, TableData &table, OperationProgress *progress, int first)
{
    const int number = table.tableNumber();
    const int fields = fieldCount(number);
    const int flags = readCellFlags(table);
    for (int row = first; row <= maxTableRows; ++row) {
        if (row % readEventInterval == 0 && !eventPoint(progress, row - 1))
            return ERR_CANCELLED;
        try {
            for (int field = 1; field <= fields; ++field) {
                const FieldPtr value(
                    protocol.readField(fieldType(number, field), number, row, field));
                table.setRowCount(row);
                setReadCell(table, row - 1, field - 1, *value, flags);
            }
        } catch (ErrorCode code) {
            if (code == ERR_DEVICE_WRONG_ROW)
                return ERR_OK;
            // -260 ends the record early; the rest of the row stays empty.
            if (code != ERR_DEVICE_WRONG_FIELD)
                return code;
        }
    }
    return ERR_OK;
}

// A whole record per exchange, in one list for the whole read: the protocol
// fills it on the first record and refreshes its values for every later one.
int readGoods(protocolBase &protocol, TableData &table, OperationProgress *progress, int first)
{
    FieldList fields;
    const int flags = readCellFlags(table) | TableData::ShownValid;
    for (int row = first; row <= maxTableRows; ++row) {
        if (row % goodsReadEventInterval == 0 && !eventPoint(progress, row - 1))
            return ERR_CANCELLED;
        const int result = protocol.readRow(goodsTable, row, &fields);
        if (result == ERR_DEVICE_WRONG_ROW)
            return ERR_OK;
        if (result != ERR_OK)
            return result;
        table.setRowCount(row);
        for (int column = 0; column < fields.size(); ++column)
            setReadCell(table, row - 1, column, *fields[column], flags);
    }
    return ERR_OK;
}

// Fields first to 255 until the register answers -260; a field refused
// otherwise leaves its row empty.
int readSettings(protocolBase &protocol, TableData &table, int first)
{
    const int number = table.tableNumber();
    for (int field = first; field <= maxSettingsField; ++field) {
        try {
            const FieldPtr value(
                protocol.readField(fieldType(number, field), number, settingsRow, field));
            table.setRowCount(field);
            QString text;
            value->toString(text);
            TableShape::setSettingsRow(table, *value, text);
        } catch (ErrorCode code) {
            // -260 marks the end of the row; any other refusal skips one
            // field. A register that did not answer has ended nothing: the
            // read fails with the fields read so far.
            if (code == ERR_DEVICE_WRONG_FIELD)
                return ERR_OK;
            if (!protocol.answeredLastRequest())
                return code;
        }
    }
    return ERR_OK;
}

// Register rows first, first + 1, ... into the columns of one row, until the
// register refuses one or the catalogue knows no type for it.
int readWireless(protocolBase &protocol, TableData &table, OperationProgress *progress, int first)
{
    const int number = table.tableNumber();
    const int flags = readCellFlags(table);
    table.setRowCount(1);
    for (int row = first; row <= maxTableRows; ++row) {
        if (row % readEventInterval == 0 && !eventPoint(progress, row - 1))
            return ERR_CANCELLED;
        try {
            const FieldPtr value(
                protocol.readField(fieldType(number, row), number, row, wirelessValueField));
            setReadCell(table, 0, row - 1, *value, flags);
        } catch (ErrorCode code) {
            if (code == ERR_DEVICE_WRONG_ROW || code == ERR_DEVICE_WRONG_FIELD)
                return ERR_OK;
            return code;
        }
    }
    return ERR_OK;
}

// The register row or field to read first: 1 for a new read; for one that
// goes on, the row after the last for the goods and the settings, whose rows
// come whole, the first column without a value for GSM/Wi-Fi, and the last
// row again for the others, which a stop may have cut inside a row.
int firstToRead(const TableData &table, bool goOn)
{
    if (!goOn)
        return 1;
    switch (table.tableNumber()) {
    case goodsTable:
    case TableShape::settingsTable:
        return table.rowCount() + 1;
    case TableShape::wirelessTable: {
        int column = 0;
        while (column < table.columnCount() && table.hasCell(0, column))
            ++column;
        return column + 1;
    }
    default:
        return qMax(1, table.rowCount());
    }
}

int read(protocolBase &protocol, TableData &table, OperationProgress *progress, bool goOn)
{
    const int first = firstToRead(table, goOn);
    switch (table.tableNumber()) {
    case goodsTable:
        return readGoods(protocol, table, progress, first);
    case TableShape::settingsTable:
        return readSettings(protocol, table, first);
    case TableShape::wirelessTable:
        return readWireless(protocol, table, progress, first);
    default:
        return readRecords(protocol, table, progress, first);
    }
}

} // namespace

int readTable(protocolBase &protocol, TableData &table, OperationProgress *progress)
{
    return read(protocol, table, progress, false);
}

int continueTable(protocolBase &protocol, TableData &table, OperationProgress *progress)
{
    return read(protocol, table, progress, true);
}

} // namespace TableOperations
