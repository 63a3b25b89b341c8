#pragma once

#include <QByteArray>
#include <QVector>

// One register table: rows of fixed-width fields, all rows alike, kept in one
// contiguous buffer so that a table of 65,535 records stays cheap to build.
// Rows and fields are numbered from 1.
class RegisterTable
{
public:
    enum class Layout
    {
        AsStored,    // numbers and mixed or capitals text: read back as written
        GeneralText, // general-scheme text: read back in the general read layout
    };

    struct Field
    {
        int width = 0;
        Layout layout = Layout::AsStored;
    };

    // rowCount rows of zero bytes.
    RegisterTable(const QVector<Field> &fields, int rowCount);

    int rowCount() const { return m_rowCount; }
    int fieldCount() const { return m_fields.size(); }
    int fieldWidth(int field) const { return m_fields[field - 1].width; }
    bool hasRow(int row) const { return row >= 1 && row <= m_rowCount; }
    bool hasField(int field) const { return field >= 1 && field <= fieldCount(); }

    // Valid row and field numbers only; bytes must have the field's width.
    QByteArray readField(int row, int field) const;
    QByteArray readRecord(int row) const;
    void writeField(int row, int field, const QByteArray &bytes);

    // All rows as stored, for keeping the table across runs.
    const QByteArray &contents() const { return m_data; }
    // False, changing nothing, when bytes do not have the size of all rows.
    bool setContents(const QByteArray &bytes);

private:
    const char *fieldData(int row, int field) const;

    QVector<Field> m_fields;
    QVector<int> m_offsets;
    int m_recordWidth = 0;
    int m_rowCount = 0;
    QByteArray m_data;
};
