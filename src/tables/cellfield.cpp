#include "cellfield.h"

#include "errorcode.h"
#include "fieldfactory.h"
#include "fieldtypes.h"
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

bool sameStoredBytes(int type, const QByteArray &first, const QByteArray &second)
{
    if (type != FIELD_STR)
        return first == second;
    const auto withoutPadding = [](const QByteArray &bytes) {
        int end = bytes.size();
        while (end > 0 && (bytes.at(end - 1) == ' ' || bytes.at(end - 1) == '\0'))
            --end;
        return bytes.left(end);
    };
    return withoutPadding(first) == withoutPadding(second);
}

bool sameValue(const FieldAddress &address, int width, const QString &first, const QString &second)
{
    FieldPtr firstValue;
    FieldPtr secondValue;
    return fieldFromText(address, width, first, firstValue) == ERR_OK &&
           fieldFromText(address, width, second, secondValue) == ERR_OK &&
           sameStoredBytes(address.type, firstValue->rawData(), secondValue->rawData());
}
