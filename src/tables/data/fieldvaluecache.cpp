#include "fieldvaluecache.h"

#include "errorcode.h"
#include "tableshape.h"

const FieldValueCache::Value &FieldValueCache::value(int row, int column, int width,
                                                     const QString &text)
{
    static const Value none{false, {}};
    FieldAddress address;
    if (!TableShape::fieldAddress(m_table, row, column, address))
        return none;
    // A field's value does not depend on its register row: the row stays out.
    const quint64 field = quint64(quint16(address.table)) << 48 |
                          quint64(quint16(address.field)) << 32 |
                          quint64(quint16(address.type)) << 16 | quint16(width);
    QHash<QString, Value> &texts = m_values[field];
    const auto known = texts.constFind(text);
    if (known != texts.cend())
        return *known;
    FieldPtr made;
    const bool valid = fieldFromText(address, width, text, made) == ERR_OK;
    return *texts.insert(text, {valid, valid ? made->rawData() : QByteArray()});
}

bool FieldValueCache::isValid(int row, int column, int width, const QString &text)
{
    FieldAddress address;
    if (!TableShape::fieldAddress(m_table, row, column, address))
        return TableShape::isValid(m_table, row, column, width, text);
    return value(row, column, width, text).valid;
}
