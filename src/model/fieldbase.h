#pragma once

#include <QByteArray>
#include <QString>

// One field of a register table: its raw register bytes with the field's
// address and width, converted to and from 64-bit integers and display text.
class FieldInterface
{
public:
    virtual int type() = 0;
    virtual QString typeDescription() = 0;
    virtual int toInt64(qint64 &value) = 0;
    // On failure the text is left as it was.
    virtual int toString(QString &text) = 0;
    // On failure the raw bytes are left as they were.
    virtual int fromInt64(qint64 value) = 0;
    virtual int fromString(QString text) = 0;
    // Takes the bytes as they are, whatever their length.
    virtual void setRawData(const QByteArray &data) = 0;
    virtual ~FieldInterface() = default;
};

// Holds the field's data and fails every conversion; the typed fields
// override what they support.
class FieldBase : public FieldInterface
{
public:
    FieldBase(int table, int row, int field, int width);

    int type() override;
    QString typeDescription() override;
    int toInt64(qint64 &value) override;
    int toString(QString &text) override;
    int fromInt64(qint64 value) override;
    int fromString(QString text) override;
    void setRawData(const QByteArray &data) override;

    int tableNumber() const { return m_table; }
    int rowNumber() const { return m_row; }
    int fieldNumber() const { return m_field; }
    int width() const { return m_width; }
    QByteArray rawData() const { return m_raw; }

protected:
    const int m_table;
    const int m_row;
    const int m_field;
    const int m_width;
    QByteArray m_raw;
};
