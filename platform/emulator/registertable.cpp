#include "registertable.h"

#include "registertext.h"

#include <cstring>

RegisterTable::RegisterTable(const QVector<Field> &fields, int rowCount)
    : m_fields(fields), m_rowCount(rowCount)
{
    m_offsets.reserve(fields.size());
    for (const Field &field : fields) {
        m_offsets.append(m_recordWidth);
        m_recordWidth += field.width;
    }
    m_data.fill('\0', m_recordWidth * rowCount);
}

QByteArray RegisterTable::readField(int row, int field) const
{
    const QByteArray stored(fieldData(row, field), fieldWidth(field));
    if (m_fields[field - 1].layout == Layout::GeneralText)
        return RegisterText::toGeneralReadLayout(stored);
    return stored;
}

QByteArray RegisterTable::readRecord(int row) const
{
    QByteArray record;
    record.reserve(m_recordWidth);
    for (int field = 1; field <= fieldCount(); ++field)
        record.append(readField(row, field));
    return record;
}

void RegisterTable::writeField(int row, int field, const QByteArray &bytes)
{
    const int offset = (row - 1) * m_recordWidth + m_offsets[field - 1];
    std::memcpy(m_data.data() + offset, bytes.constData(),
                size_t(qMin(bytes.size(), fieldWidth(field))));
}

bool RegisterTable::setContents(const QByteArray &bytes)
{
    if (bytes.size() != m_data.size())
        return false;
    m_data = bytes;
    return true;
}

const char *RegisterTable::fieldData(int row, int field) const
{
    return m_data.constData() + (row - 1) * m_recordWidth + m_offsets[field - 1];
}
