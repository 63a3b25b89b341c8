#include "qmytable11widget.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "errorcode.h"
#include "protocolbase.h"
#include "tablecatalogue.h"
#include "tablelimits.h"

namespace {

constexpr int wirelessTable = 11;
constexpr int valueField = 1;
constexpr int readEventInterval = 20;

} // namespace

int QMyTable11Widget::readTable(protocolBase &protocol)
{
    setRowCount(1);
    for (int row = 1; row <= maxTableRows; ++row) {
        if (row % readEventInterval == 0 && !eventPoint(row - 1))
            return ERR_CANCELLED;
        try {
            const FieldPtr value(
                protocol.readField(fieldType(wirelessTable, row), wirelessTable, row, valueField));
            setItem(0, row - 1, newReadCell(*value));
        } catch (ErrorCode code) {
            if (code == ERR_DEVICE_WRONG_ROW || code == ERR_DEVICE_WRONG_FIELD)
                return ERR_OK;
            return code;
        }
    }
    return ERR_OK;
}

int QMyTable11Widget::writeTable(protocolBase &protocol)
{
    if (rowCount() == 0)
        return ERR_TABLE_EMPTY;
    int written = 0;
    for (int column = 1; column <= columnCount(); ++column) {
        QTableWidgetItem *cell = item(0, column - 1);
        if (!cell)
            return ERR_INVALID_DATA;
        const bool changed = CellMarks::isChanged(*cell);
        FieldAddress address;
        fieldAddress(0, column - 1, address);
        const int result = writeIfChanged(protocol, *cell, address, written);
        if (result != ERR_OK)
            return result;
        if (changed && column % 2 == 1 && !eventPoint(written) && column < columnCount())
            return ERR_CANCELLED;
    }
    return ERR_OK;
}

bool QMyTable11Widget::fieldAddress(int, int column, FieldAddress &address)
{
    address = {wirelessTable, column + 1, valueField, fieldType(wirelessTable, column + 1)};
    return true;
}
