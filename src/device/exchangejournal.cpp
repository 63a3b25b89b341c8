#include "exchangejournal.h"

ExchangeJournal::ExchangeJournal(int capacity) : m_capacity(qMax(1, capacity)) {}

void ExchangeJournal::exchanged(const ExchangeRecord &record)
{
    if (m_records.size() < m_capacity)
        m_records.append(record);
    else
        m_records[int(m_added % m_capacity)] = record;
    ++m_added;
}

const ExchangeRecord &ExchangeJournal::at(int index) const
{
    if (m_records.size() < m_capacity)
        return m_records.at(index);
    return m_records.at(int((m_added + index) % m_capacity));
}

void ExchangeJournal::clear()
{
    m_records.clear();
    m_added = 0;
}
