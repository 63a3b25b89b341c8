#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class TableData;

// The field values of a table's texts, each made once per field, width and
// text: a price list or a pasted block repeats its prices and tax numbers,
// and making a value (and logging its conversions) costs far more than
// looking it up. Holds the table by reference; its shape must not change
// while the cache lives.
class FieldValueCache
{
public:
    // A text as its field keeps it; no bytes for a text the field refuses.
    struct Value
    {
        bool valid;
        QByteArray bytes;
    };

    explicit FieldValueCache(const TableData &table) : m_table(table) {}

    // The text as the cell's field would keep it, width bytes wide; invalid
    // for a cell that shows no field.
    const Value &value(int row, int column, int width, const QString &text);
    // As TableShape::isValid, a settings cell that shows no value included.
    bool isValid(int row, int column, int width, const QString &text);

private:
    const TableData &m_table;
    // By table, field, type and width, then text.
    QHash<quint64, QHash<QString, Value>> m_values;
};
