#include "trafficfilter.h"

#include "exchangerecord.h"
#include "exchangetext.h"
#include "trafficmodel.h"

namespace {

bool madeOf(const QString &text, QLatin1String characters)
{
    const QString allowed(characters);
    for (const QChar character : text) {
        if (!allowed.contains(character, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

} // namespace

TrafficFilter::TrafficFilter(TrafficModel &model, QObject *parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(&model);
}

void TrafficFilter::setScope(Scope scope, int table)
{
    m_scope = scope;
    m_table = table;
    invalidateFilter();
}

void TrafficFilter::setSearch(const QString &text, bool searchBytes)
{
    m_search = text;
    // "12:05:33.120" and "46 01 00 a5": a text with any other character is
    // in neither.
    m_searchTime = madeOf(text, QLatin1String("0123456789:."));
    m_searchBytes = searchBytes && madeOf(text, QLatin1String("0123456789abcdef "));
    invalidateFilter();
}

bool TrafficFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const ExchangeRecord *record = m_model.record(sourceRow);
    if (!record)
        return false;
    if (m_scope == Scope::Problems && !record->failed && record->retries == 0)
        return false;
    if (m_scope == Scope::Table && record->table != m_table)
        return false;
    if (m_search.isEmpty())
        return true;
    // The time is the first column, the bytes are the last.
    const int first = m_searchTime ? int(ExchangeText::Time) : int(ExchangeText::Time) + 1;
    const int end = m_searchBytes ? int(ExchangeText::ColumnCount) : int(ExchangeText::Request);
    for (int column = first; column < end; ++column) {
        if (ExchangeText::text(*record, column).contains(m_search, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
