#include "pricelist.h"

#include "csvline.h"
#include "errorcode.h"
#include "tablefilereader.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

bool PriceColumns::complete() const
{
    return fileColumns.contains(PriceList::goodsColumns().first()) && fileColumns.size() > 1;
}

namespace PriceList {

namespace {

using TableShape::goodsTable;
constexpr int nameColumn = TableShape::goodsNameColumn;
constexpr int barcodeColumn = TableShape::goodsBarcodeColumn;
constexpr int priceColumn = TableShape::goodsPriceColumn;
constexpr int taxColumn = 4;
constexpr int sectionColumn = 5;
// The header is looked for among the rows at the top, above the goods.
constexpr int headerSearchRows = 20;
// More goods than a register holds, as a supplier's list names goods the
// register lacks, and more columns than the goods have.
constexpr TableFileBound priceListBound{headerSearchRows, 4 * maxTableRows, 32};

QString tr(const char *text)
{
    return QCoreApplication::translate("PriceList", text);
}

// Letters and digits only, in lower case, "ё" as "е": "Цена, руб." is "ценаруб".
QString captionKey(const QString &caption)
{
    QString key;
    for (const QChar character : caption.toLower()) {
        if (character.isLetterOrNumber())
            key += character == QChar(0x451) ? QChar(0x435) : character;
    }
    return key;
}

// The goods column of each caption key, the program's own captions included.
const QHash<QString, int> &captions()
{
    static const QHash<QString, int> known = [] {
        QHash<QString, int> keys;
        const QList<QPair<int, QStringList>> alternatives = {
            {barcodeColumn, {"ШК", "Штрих-код", "Штрихкод товара", "EAN", "EAN-13", "Barcode"}},
            {priceColumn,
             {"Цена продажи", "Розничная цена", "Цена розничная", "Цена, руб.", "Price"}},
            {nameColumn, {"Наименование", "Название", "Товар", "Наименование товара", "Name"}},
            {taxColumn, {"Налог"}},
            {sectionColumn, {"Отдел", "Номер секции"}}};
        for (const auto &[column, names] : alternatives) {
            keys.insert(captionKey(TableShape::columnHeader(goodsTable, column)), column);
            for (const QString &name : names)
                keys.insert(captionKey(name), column);
        }
        return keys;
    }();
    return known;
}

PriceColumns columnsOfRow(const SheetRows &rows, int row)
{
    PriceColumns columns;
    columns.headerRow = row;
    const QStringList &cells = rows[row];
    for (int cell = 0; cell < cells.size(); ++cell) {
        const int column = captions().value(captionKey(cells[cell]), -1);
        if (column >= 0 && !columns.fileColumns.contains(column))
            columns.fileColumns.insert(column, cell);
    }
    return columns;
}

bool isEmptyRow(const QStringList &cells)
{
    return std::all_of(cells.begin(), cells.end(),
                       [](const QString &cell) { return cell.trimmed().isEmpty(); });
}

SheetRows split(const QStringList &lines, QChar separator)
{
    SheetRows rows;
    rows.reserve(lines.size());
    for (const QString &line : lines)
        rows.append(CsvLine::fields(line, separator));
    return rows;
}

// How well the rows at the top name the goods' columns: a barcode column
// counts most.
int headerScore(const SheetRows &top)
{
    const PriceColumns columns = findColumns(top);
    return (columns.fileColumns.contains(barcodeColumn) ? 100 : 0) + columns.fileColumns.size();
}

// The separator whose header names the most columns; with none named, the one
// the first line holds most of.
QChar separatorOf(const QStringList &lines)
{
    const QList<QChar> candidates{QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')};
    const QStringList top = lines.mid(0, headerSearchRows);
    QChar best = candidates.first();
    int bestScore = 0;
    for (const QChar separator : candidates) {
        const int score = headerScore(split(top, separator));
        if (score > bestScore) {
            best = separator;
            bestScore = score;
        }
    }
    if (bestScore > 0)
        return best;
    const auto first = std::find_if(top.begin(), top.end(),
                                    [](const QString &line) { return !line.trimmed().isEmpty(); });
    if (first == top.end())
        return best;
    for (const QChar separator : candidates) {
        if (first->count(separator) > first->count(best))
            best = separator;
    }
    return best;
}

int readText(const QString &path, SheetRows &rows, QString &why, const FileEventPoint &point)
{
    TableFileReader reader(priceListBound, point);
    QString line;
    int result = reader.open(path, line);
    QStringList lines;
    while (result == ERR_OK) {
        lines << line;
        if (reader.atEnd())
            break;
        result = reader.readLine(line);
    }
    if (result == ERR_INVALID_DATA)
        why = tr("Это не похоже на прайс-лист: строка длиннее %1 знаков или строк больше %2.")
                  .arg(priceListBound.maxLineLength())
                  .arg(priceListBound.maxLines());
    if (result != ERR_OK)
        return result;
    rows = split(lines, separatorOf(lines));
    return ERR_OK;
}

} // namespace

const QVector<int> &goodsColumns()
{
    static const QVector<int> columns{barcodeColumn, nameColumn, priceColumn, taxColumn,
                                      sectionColumn};
    return columns;
}

QString optionName(int goodsColumn)
{
    switch (goodsColumn) {
    case barcodeColumn:
        return QStringLiteral("barcode");
    case nameColumn:
        return QStringLiteral("name");
    case priceColumn:
        return QStringLiteral("price");
    case taxColumn:
        return QStringLiteral("tax");
    case sectionColumn:
        return QStringLiteral("section");
    default:
        return QString();
    }
}

int read(const QString &path, SheetRows &rows, QString &why, const FileEventPoint &point)
{
    rows.clear();
    why.clear();
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return XlsxSheet::readFirstSheet(path, rows, why, point);
    return readText(path, rows, why, point);
}

PriceColumns findColumns(const SheetRows &rows)
{
    const int searched = qMin(int(rows.size()), headerSearchRows);
    PriceColumns best;
    for (int row = 0; row < searched; ++row) {
        const PriceColumns columns = columnsOfRow(rows, row);
        if (columns.fileColumns.contains(barcodeColumn))
            return columns;
        if (columns.fileColumns.size() > best.fileColumns.size() ||
            (best.headerRow < 0 && !isEmptyRow(rows[row])))
            best = columns;
    }
    return best;
}

bool parseColumns(const QString &text, PriceColumns &columns, QString &error)
{
    columns.fileColumns.clear();
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.split(QLatin1Char('='));
        bool isNumber = false;
        const int number = parts.value(1).trimmed().toInt(&isNumber);
        const auto named =
            std::find_if(goodsColumns().begin(), goodsColumns().end(),
                         [&](int column) { return optionName(column) == parts.first().trimmed(); });
        if (parts.size() != 2 || named == goodsColumns().end() || !isNumber || number < 1) {
            error = tr("--columns: «%1» — нужно ИМЯ=НОМЕР, имена barcode, name, price, tax, "
                       "section, номера столбцов с 1")
                        .arg(entry);
            return false;
        }
        columns.fileColumns.insert(*named, number - 1);
    }
    if (!columns.complete()) {
        error = tr("--columns: нужен barcode и хотя бы один из name, price, tax, section");
        return false;
    }
    return true;
}

} // namespace PriceList
