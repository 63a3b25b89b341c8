#include "cellfield.h"
#include "errorcode.h"
#include "eventpoint.h"
#include "protocolbase.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tableoperations.h"
#include "tableshape.h"
#include "writecheck.h"

namespace TableOperations {

namespace {

// Writes the cell to its field. Once written, the cell is no longer changed
// nor highlighted, and the check, if any, notes it.
int sendCell(protocolBase &protocol, TableData &table, int row, int column, WriteCheck *check)
{
    FieldAddress address;
    if (!TableShape::fieldAddress(table, row, column, address))
        return ERR_INVALID_DATA;
    FieldPtr sent;
    int result = fieldFromText(address, table.width(row, column), table.text(row, column), sent);
    if (result == ERR_OK)
        result = protocol.writeField(sent.get(), true);
    if (result != ERR_OK)
        return result;
    if (table.isChanged(row, column))
        table.setChanged(row, column, false);
    table.setHighlight(row, column, CellHighlight::None);
    if (check)
        check->noteWritten(address, *sent, row, column);
    return ERR_OK;
}

int sendIfChanged(protocolBase &protocol, TableData &table, int row, int column, WriteCheck *check,
                  int &written)
{
    if (!table.isChanged(row, column))
        return ERR_OK;
    const int result = sendCell(protocol, table, row, column, check);
    if (result == ERR_OK)
        ++written;
    return result;
}

int writeRecords(protocolBase &protocol, TableData &table, WriteCheck *check,
                 OperationProgress *progress)
{
    if (table.rowCount() == 0)
        return ERR_TABLE_EMPTY;
    const int fields = fieldCount(table.tableNumber());
    int written = 0;
    for (int row = 1; row <= table.rowCount(); ++row) {
        for (int field = 1; field <= fields; ++field) {
            if (!table.hasCell(row - 1, field - 1))
                return ERR_INVALID_DATA;
            const int result = sendIfChanged(protocol, table, row - 1, field - 1, check, written);
            if (result != ERR_OK)
                return result;
        }
        // A stop asked for after the last row comes too late to matter.
        if (row % 2 == 1 && !eventPoint(progress, written) && row < table.rowCount())
            return ERR_CANCELLED;
    }
    return ERR_OK;
}

// Every value, changed or not.
int writeSettings(protocolBase &protocol, TableData &table, WriteCheck *check)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.hasCell(row, TableShape::settingsValueColumn))
            return ERR_INVALID_DATA;
        const int result = sendCell(protocol, table, row, TableShape::settingsValueColumn, check);
        if (result != ERR_OK)
            return result;
    }
    return ERR_OK;
}

int writeWireless(protocolBase &protocol, TableData &table, WriteCheck *check,
                  OperationProgress *progress)
{
    if (table.rowCount() == 0)
        return ERR_TABLE_EMPTY;
    int written = 0;
    const int columns = table.columnCount();
    for (int column = 1; column <= columns; ++column) {
        if (!table.hasCell(0, column - 1))
            return ERR_INVALID_DATA;
        const bool changed = table.isChanged(0, column - 1);
        const int result = sendIfChanged(protocol, table, 0, column - 1, check, written);
        if (result != ERR_OK)
            return result;
        if (changed && column % 2 == 1 && !eventPoint(progress, written) && column < columns)
            return ERR_CANCELLED;
    }
    return ERR_OK;
}

int changedCells(const TableData &table, bool firstOnly)
{
    int count = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (!table.isChanged(row, column))
                continue;
            ++count;
            if (firstOnly)
                return count;
        }
    }
    return count;
}

} // namespace

int writeTable(protocolBase &protocol, TableData &table, WriteCheck *check,
               OperationProgress *progress)
{
    switch (table.tableNumber()) {
    case TableShape::settingsTable:
        return writeSettings(protocol, table, check);
    case TableShape::wirelessTable:
        return writeWireless(protocol, table, check, progress);
    default:
        return writeRecords(protocol, table, check, progress);
    }
}

int cellsToWrite(const TableData &table)
{
    return table.tableNumber() == TableShape::settingsTable ? table.rowCount()
                                                            : changedCells(table, false);
}

bool hasChangedCells(const TableData &table)
{
    return changedCells(table, true) > 0;
}

} // namespace TableOperations
