#include "trafficmodel.h"

#include "exchangejournal.h"
#include "exchangetext.h"

#include <QBrush>

TrafficModel::TrafficModel(const ExchangeJournal &journal, QObject *parent)
    : QAbstractTableModel(parent), m_journal(journal)
{
}

QColor TrafficModel::failedColor()
{
    return QColor(255, 200, 200); // light red
}

QColor TrafficModel::retriedColor()
{
    return QColor(255, 240, 170); // light yellow
}

int TrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ExchangeText::ColumnCount;
}

QVariant TrafficModel::data(const QModelIndex &index, int role) const
{
    const ExchangeRecord *shown = record(index.row());
    if (!shown)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return ExchangeText::text(*shown, index.column());
    case Qt::BackgroundRole:
        if (shown->failed)
            return QBrush(failedColor());
        if (shown->retries > 0)
            return QBrush(retriedColor());
        break;
    case Qt::ToolTipRole:
        if (shown->failed)
            return tr("Сбой: нет ответа, который можно принять");
        if (shown->retries > 0)
            return tr("Ответ получен после повторов: %1").arg(shown->retries);
        break;
    }
    return QVariant();
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return ExchangeText::headers().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

const ExchangeRecord *TrafficModel::record(int row) const
{
    const qint64 index = m_first + row - (m_journal.added() - m_journal.size());
    if (row < 0 || row >= m_rows || index < 0)
        return nullptr;
    return &m_journal.at(int(index));
}

bool TrafficModel::catchUp()
{
    const qint64 added = m_journal.added();
    if (added == m_first + m_rows)
        return false;
    const qint64 oldest = added - m_journal.size();
    const int dropped = int(qBound<qint64>(0, oldest - m_first, m_rows));
    if (dropped > 0) {
        beginRemoveRows(QModelIndex(), 0, dropped - 1);
        m_first += dropped;
        m_rows -= dropped;
        endRemoveRows();
    }
    // All shown rows gone and more besides: the rows start again at the oldest held.
    if (m_rows == 0)
        m_first = oldest;
    const int from = m_rows;
    beginInsertRows(QModelIndex(), from, int(added - m_first) - 1);
    m_rows = int(added - m_first);
    endInsertRows();
    noteTables(from);
    return true;
}

void TrafficModel::noteTables(int fromRow)
{
    for (int row = fromRow; row < m_rows; ++row) {
        const ExchangeRecord &added = *record(row);
        if (added.table > 0 && !m_tablesSeen.test(added.table)) {
            m_tablesSeen.set(added.table);
            emit tableSeen(added.table, ExchangeText::text(added, ExchangeText::Table));
        }
    }
}
