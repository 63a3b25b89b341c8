#include "priceupdate.h"

#include "cellfield.h"
#include "csvline.h"
#include "fieldtypes.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tableshape.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace {

using TableShape::goodsTable;
constexpr int nameColumn = TableShape::goodsNameColumn;
constexpr int barcodeColumn = TableShape::goodsBarcodeColumn;
constexpr int priceColumn = TableShape::goodsPriceColumn;

QString tr(const char *text)
{
    return QCoreApplication::translate("PriceUpdate", text);
}

QString withoutBlanks(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar character : text) {
        if (!character.isSpace())
            kept += character;
    }
    return kept;
}

// Without the blanks a spreadsheet groups digits by, a leading apostrophe or
// a text formula around it, which keep a barcode as text.
QString barcodeText(const QString &cell)
{
    QString text = cell.trimmed();
    if (CsvLine::isTextFormula(text))
        text = CsvLine::fieldValue(text);
    if (text.startsWith(QLatin1Char('\'')))
        text.remove(0, 1);
    return withoutBlanks(text);
}

// The digits without leading zeroes, as the register shows a barcode; empty
// for no barcode, and for a text that is not one.
QString barcodeKey(const QString &text)
{
    for (const QChar character : text) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            return QString();
    }
    int first = 0;
    while (first < text.size() && text.at(first) == QLatin1Char('0'))
        ++first;
    return text.mid(first);
}

// A number without the blanks that group its digits, a sum with a decimal
// comma as with a point; a text as it is, but for the blanks around it.
QString valueText(int column, const QString &cell)
{
    const int type = fieldType(goodsTable, column + 1);
    QString text = cell.trimmed();
    if (type == FIELD_STR)
        return text;
    text = withoutBlanks(text);
    if ((type == FIELD_CURRENCY_BCD || type == FIELD_CURRENCY_BIN) &&
        !text.contains(QLatin1Char('.')) && text.count(QLatin1Char(',')) == 1)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

bool isEmptyRecord(const TableData &goods, int row)
{
    return barcodeKey(goods.text(row, barcodeColumn).trimmed()).isEmpty() &&
           goods.text(row, nameColumn).trimmed().isEmpty();
}

} // namespace

// A row of the list with a barcode, and the values it gives.
struct PriceUpdate::Line
{
    int line;
    QString barcode;
    QMap<int, QString> values;
};

PriceUpdate::PriceUpdate(const TableData &goods, const SheetRows &rows, const PriceColumns &columns,
                         bool addNew, const FileEventPoint &point)
    : m_goods(goods), m_addNew(addNew), m_stored(goods)
{
    QHash<QString, QVector<int>> recordsOf;
    recordsOf.reserve(goods.rowCount());
    QStringList keys;
    keys.reserve(goods.rowCount());
    for (int row = 0; row < goods.rowCount(); ++row) {
        keys << barcodeKey(goods.text(row, barcodeColumn).trimmed());
        if (!keys.last().isEmpty())
            recordsOf[keys.last()].append(row);
    }
    for (int row = 0; row < goods.rowCount(); ++row) {
        const QVector<int> records = recordsOf.value(keys[row]);
        if (records.size() > 1 && records.first() == row)
            m_duplicates.append({goods.text(row, barcodeColumn), records});
    }
    m_nextEmpty = goods.rowCount();
    while (m_nextEmpty > 0 && isEmptyRecord(goods, m_nextEmpty - 1))
        --m_nextEmpty;
    m_emptyRecords = goods.rowCount() - m_nextEmpty;

    const int barcodeCell = columns.fileColumns.value(barcodeColumn);
    QHash<QString, int> lineOf;
    PacedEventPoint paced(point);
    for (int row = columns.headerRow + 1; row < rows.size(); ++row) {
        if (!paced.step(row)) {
            m_stopped = true;
            return;
        }
        const QStringList &cells = rows[row];
        const QString barcode = barcodeText(cells.value(barcodeCell));
        if (barcode.isEmpty())
            continue;
        const QString key = barcodeKey(barcode);
        if (key.isEmpty()) {
            m_invalid.append({row + 1, barcodeColumn, cells.value(barcodeCell),
                              tr("Штрихкод — только цифры, не все нули")});
            continue;
        }
        if (lineOf.contains(key)) {
            m_invalid.append({row + 1, barcodeColumn, cells.value(barcodeCell),
                              tr("Штрихкод уже был в строке %1; взята она").arg(lineOf[key])});
            continue;
        }
        lineOf.insert(key, row + 1);
        Line line{row + 1, key, {}};
        for (auto column = columns.fileColumns.cbegin(); column != columns.fileColumns.cend();
             ++column) {
            const QString text = valueText(column.key(), cells.value(column.value()));
            if (column.key() != barcodeColumn && !text.isEmpty())
                line.values.insert(column.key(), text);
        }
        const QVector<int> records = recordsOf.value(key);
        if (records.isEmpty())
            addLine(line, key);
        else
            planLine(line, records);
    }
}

// Checked once, against the first record: the others have the same field.
void PriceUpdate::planLine(const Line &line, const QVector<int> &records)
{
    for (auto value = line.values.cbegin(); value != line.values.cend(); ++value) {
        if (!takes(line, records.first(), value.key(), value.value()))
            continue;
        for (int record : records) {
            const QString before = m_goods.text(record, value.key());
            if (differs(record, value.key(), before, value.value()))
                m_changes.append({record, m_goods.text(record, barcodeColumn),
                                  m_goods.text(record, nameColumn), value.key(), before,
                                  value.value()});
        }
    }
}

void PriceUpdate::addLine(const Line &line, const QString &key)
{
    PriceUnknown unknown{line.line, key, line.values.value(nameColumn),
                         line.values.value(priceColumn)};
    if (m_addNew && m_nextEmpty < m_goods.rowCount() &&
        takes(line, m_nextEmpty, barcodeColumn, key)) {
        unknown.record = m_nextEmpty++;
        ++m_added;
        QMap<int, QString> values = line.values;
        values.insert(barcodeColumn, key);
        for (auto value = values.cbegin(); value != values.cend(); ++value) {
            const int column = value.key();
            const QString before = m_goods.text(unknown.record, column);
            if ((column == barcodeColumn || takes(line, unknown.record, column, value.value())) &&
                differs(unknown.record, column, before, value.value()))
                m_changes.append(
                    {unknown.record, key, unknown.name, column, before, value.value()});
        }
    }
    m_unknown.append(unknown);
}

bool PriceUpdate::takes(const Line &line, int record, int column, const QString &text)
{
    if (stored(record, column, text).valid)
        return true;
    const int width = m_goods.width(record, column);
    FieldAddress address;
    TableShape::fieldAddress(m_goods, record, column, address);
    m_invalid.append({line.line, column, text, fieldRule(address, width)});
    return false;
}

const FieldValueCache::Value &PriceUpdate::stored(int record, int column, const QString &text)
{
    return m_stored.value(record, column, m_goods.width(record, column), text);
}

// A new text the field takes, against the cell's: the same text, or another
// that the register keeps as the same bytes ("12.5", "12.50"), is no change.
bool PriceUpdate::differs(int record, int column, const QString &before, const QString &text)
{
    if (before == text)
        return false;
    const QByteArray after = stored(record, column, text).bytes;
    const FieldValueCache::Value &was = stored(record, column, before);
    return !was.valid || !sameStoredBytes(fieldType(goodsTable, column + 1), was.bytes, after);
}

int PriceUpdate::notFitted() const
{
    if (!m_addNew)
        return 0;
    return int(std::count_if(m_unknown.begin(), m_unknown.end(),
                             [](const PriceUnknown &unknown) { return unknown.record < 0; }));
}

void PriceUpdate::apply(TableData &goods) const
{
    for (const PriceChange &change : m_changes)
        goods.setCell(change.record, change.column, change.after,
                      goods.width(change.record, change.column), TableData::Changed);
}

QString PriceUpdate::stepName() const
{
    return tr("обновление по штрихкодам (%1)").arg(m_changes.size());
}

QStringList PriceUpdate::lines() const
{
    QStringList lines;
    for (const PriceChange &change : m_changes) {
        const QStringList cells = texts(change);
        lines << cells.mid(0, 5).join(QLatin1Char('\t')) + QStringLiteral(" → ") + cells[5];
    }
    for (const PriceUnknown &unknown : m_unknown) {
        QStringList cells = texts(unknown);
        cells.last() = unknown.record >= 0 ? tr("добавлен в запись %1").arg(cells.last())
                       : m_addNew ? tr("не поместился: нет пустых записей")
                                  : QString();
        lines << tr("Нет в ККТ: строка ") + cells.join(QLatin1Char('\t'));
    }
    for (const PriceDuplicate &duplicate : m_duplicates) {
        const QStringList cells = texts(duplicate);
        lines << tr("Дважды в ККТ: %1\tзаписи %2; обновлены все").arg(cells[0], cells[1]);
    }
    for (const PriceInvalid &invalid : m_invalid) {
        QStringList cells = texts(invalid);
        cells[1] = QStringLiteral("«%1»").arg(cells[1]);
        lines << tr("Неверное значение: строка ") + cells.join(QLatin1Char('\t'));
    }
    return lines;
}

QStringList PriceUpdate::texts(const PriceChange &change)
{
    return {QString::number(change.record + 1),
            change.barcode,
            change.name,
            TableShape::columnHeader(goodsTable, change.column),
            change.before,
            change.after};
}

QStringList PriceUpdate::texts(const PriceUnknown &unknown)
{
    return {QString::number(unknown.line), unknown.barcode, unknown.name, unknown.price,
            unknown.record < 0 ? QString() : QString::number(unknown.record + 1)};
}

QStringList PriceUpdate::texts(const PriceDuplicate &duplicate)
{
    QStringList records;
    for (int record : duplicate.records)
        records << QString::number(record + 1);
    return {duplicate.barcode, records.join(QStringLiteral(", "))};
}

QStringList PriceUpdate::texts(const PriceInvalid &invalid)
{
    return {QString::number(invalid.line), TableShape::columnHeader(goodsTable, invalid.column),
            invalid.value, invalid.reason};
}
