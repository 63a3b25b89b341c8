#pragma once

#include <QSortFilterProxyModel>

class TrafficModel;

// Which exchanges the traffic view shows: all, only those that failed or
// needed retries, or those of one table; and of them those with the searched
// text in a cell. It reads the records themselves rather than the model's
// data, which would wrap every cell in a variant.
class TrafficFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum class Scope
    {
        All,
        Problems,
        Table
    };

    // Filters the model, its source.
    explicit TrafficFilter(TrafficModel &model, QObject *parent = nullptr);

    // table only for Scope::Table.
    void setScope(Scope scope, int table = 0);
    // Any cell's text, case aside; in the bytes' cells only when searchBytes.
    void setSearch(const QString &text, bool searchBytes);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    const TrafficModel &m_model;
    Scope m_scope = Scope::All;
    int m_table = 0;
    QString m_search;
    // Whether the search can be in a time's or in the bytes' cell, the
    // costliest to make.
    bool m_searchTime = false;
    bool m_searchBytes = false;
};
