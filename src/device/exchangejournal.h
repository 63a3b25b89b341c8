#pragma once

#include "exchangerecord.h"

#include <QVector>

// The last exchanges of this run, oldest first: a ring that drops the oldest
// once it holds its capacity, so that its memory stays bounded however long
// the program runs.
class ExchangeJournal : public ExchangeObserver
{
public:
    static constexpr int defaultCapacity = 100000;

    explicit ExchangeJournal(int capacity = defaultCapacity);

    void exchanged(const ExchangeRecord &record) override;

    int size() const { return m_records.size(); }
    // The record index places after the oldest held.
    const ExchangeRecord &at(int index) const;
    // Records ever added; the oldest held is number added() - size().
    qint64 added() const { return m_added; }
    void clear();

private:
    int m_capacity;
    QVector<ExchangeRecord> m_records;
    qint64 m_added = 0;
};
