#include "cellfield.h"

#include "errorcode.h"
#include "fieldfactory.h"
#include "protocolbase.h"

#include <QTableWidgetItem>

int fieldFromText(const FieldAddress &address, int width, const QString &text, FieldPtr &value)
{
    FieldPtr candidate;
    try {
        candidate.reset(
            createField(address.table, address.row, address.field, address.type, width));
    } catch (ErrorCode code) {
        return code;
    }
    const int result = candidate->fromString(text);
    if (result == ERR_OK)
        value = std::move(candidate);
    return result;
}

bool cellIsValid(const FieldAddress &address, const QTableWidgetItem &cell)
{
    FieldPtr value;
    return fieldFromText(address, cell.type(), cell.text(), value) == ERR_OK;
}

int writeCell(protocolBase &protocol, const FieldAddress &address, const QTableWidgetItem &cell,
              FieldPtr &sent)
{
    const int result = fieldFromText(address, cell.type(), cell.text(), sent);
    if (result != ERR_OK)
        return result;
    return protocol.writeField(sent.get(), true);
}
