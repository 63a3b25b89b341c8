#pragma once

#include "fieldvaluecache.h"
#include "fileeventpoint.h"
#include "pricelist.h"

#include <QString>
#include <QVector>

class TableData;

// A cell of the goods whose value the price list changes.
struct PriceChange
{
    int record; // the goods row, from 0
    QString barcode;
    QString name;
    int column;
    QString before;
    QString after;
};

// A barcode of the list that no goods record has; added, it went into the
// empty record at record, else record is -1.
struct PriceUnknown
{
    int line; // the list's row, from 1
    QString barcode;
    QString name;
    QString price;
    int record = -1;
};

// A barcode that more goods records than one have: each of them is updated.
struct PriceDuplicate
{
    QString barcode;
    QVector<int> records;
};

// A value of the list that its field does not take, or a barcode that is no
// barcode or that came earlier in the list: not applied.
struct PriceInvalid
{
    int line;
    int column;
    QString value;
    QString reason;
};

// What a price list changes in the goods, worked out without changing them:
// the goods are found by barcode, in spaces, a leading apostrophe or a text
// formula ="…", leading zeroes alike; a change is a value the field takes
// that differs from the cell's in the register ("12,5" and "12.50" do not).
// Added goods go into the empty records at the table's end (barcode 0, no
// name), as many as there are. The event point is given the list's rows
// planned; stopped there, the plan is left unfinished (stopped()).
class PriceUpdate
{
public:
    PriceUpdate(const TableData &goods, const SheetRows &rows, const PriceColumns &columns,
                bool addNew, const FileEventPoint &point = {});

    bool stopped() const { return m_stopped; }

    const QVector<PriceChange> &changes() const { return m_changes; }
    const QVector<PriceUnknown> &unknown() const { return m_unknown; }
    const QVector<PriceDuplicate> &duplicates() const { return m_duplicates; }
    const QVector<PriceInvalid> &invalid() const { return m_invalid; }
    // The empty records at the table's end, and those the unknown goods left.
    int emptyRecords() const { return m_emptyRecords; }
    int added() const { return m_added; }
    int notFitted() const;

    // Puts the changes into a table in memory, each cell marked changed.
    void apply(TableData &goods) const;
    // "обновление по штрихкодам (120)": the name of the step to undo.
    QString stepName() const;
    // A change, an unknown barcode, a duplicate, an invalid value, as lines
    // of tab-separated text: what the command line prints.
    QStringList lines() const;

    // What the preview's columns and the command line's lines show of each:
    // the record (from 1), barcode, name, field, was, becomes; the list's
    // row, barcode, name, price, the record it went into; the barcode and its
    // records; the list's row, field, value and why.
    static QStringList texts(const PriceChange &change);
    static QStringList texts(const PriceUnknown &unknown);
    static QStringList texts(const PriceDuplicate &duplicate);
    static QStringList texts(const PriceInvalid &invalid);

private:
    struct Line;
    void planLine(const Line &line, const QVector<int> &records);
    void addLine(const Line &line, const QString &key);
    bool takes(const Line &line, int record, int column, const QString &text);
    const FieldValueCache::Value &stored(int record, int column, const QString &text);
    bool differs(int record, int column, const QString &before, const QString &text);

    const TableData &m_goods;
    const bool m_addNew;
    bool m_stopped = false;
    int m_nextEmpty = 0;
    int m_emptyRecords = 0;
    int m_added = 0;
    QVector<PriceChange> m_changes;
    QVector<PriceUnknown> m_unknown;
    QVector<PriceDuplicate> m_duplicates;
    QVector<PriceInvalid> m_invalid;
    // Prices repeat, and each field made from a text costs more than the
    // rest of the plan.
    FieldValueCache m_stored;
};
