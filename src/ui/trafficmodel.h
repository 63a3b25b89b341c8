#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <bitset>

class ExchangeJournal;
struct ExchangeRecord;

// The journal's records as rows, oldest first, in the exchange's words a
// column each. It looks at the journal only when told to catch up, so that an
// exchange costs it nothing: the rows the ring dropped since then leave at the
// front, the records added come in at the end, a batch at a time.
class TrafficModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TrafficModel(const ExchangeJournal &journal, QObject *parent = nullptr);

    // Failed exchanges and those that needed retries stand out in these.
    static QColor failedColor();
    static QColor retriedColor();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Null when the ring has dropped the row's record since the last catch-up.
    const ExchangeRecord *record(int row) const;
    // Brings the rows level with the journal; false when nothing had changed.
    bool catchUp();

signals:
    // A table addressed for the first time in this run; text is its cell's,
    // "1 База товаров".
    void tableSeen(int table, const QString &text);

private:
    void noteTables(int fromRow);

    const ExchangeJournal &m_journal;
    // The journal's number of the record in row 0.
    qint64 m_first = 0;
    int m_rows = 0;
    std::bitset<256> m_tablesSeen;
};
