#include "goodscsvfile.h"

#include "errorcode.h"
#include "loadedcell.h"
#include "tablecatalogue.h"
#include "tablefilereader.h"
#include "tablefilewriter.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QDebug>

namespace GoodsCsvFile {

namespace {

constexpr QChar separator = QLatin1Char(';');
constexpr QChar quote = QLatin1Char('"');
constexpr int minimumLineLength = 5;

constexpr int goodsTable = 1;

QString columnHeader(int column)
{
    return TableShape::columnHeader(goodsTable, column);
}

// One trailing, then one leading double quote removed.
QString unquoted(QString value)
{
    if (value.endsWith(quote))
        value.chop(1);
    if (value.startsWith(quote))
        value.remove(0, 1);
    return value;
}

bool headerLineMatches(const QString &line, int fields)
{
    const QStringList parts = line.split(separator);
    const int compared = qMin(fields, parts.size());
    for (int column = 0; column < compared; ++column) {
        if (unquoted(parts[column]) != columnHeader(column))
            return false;
    }
    return true;
}

} // namespace

QString tableName()
{
    return QStringLiteral("Таблица товаров");
}

int write(const TableData &table, const QString &tableName, QTextStream &out,
          const FileEventPoint &point)
{
    out << tableName << '\n';
    for (int column = 0; column < table.columnCount(); ++column) {
        if (column > 0)
            out << separator;
        out << quote << columnHeader(column) << quote;
    }
    out << '\n';
    const int fields = TableCatalogue::goodsCsvFieldWidths().size();
    PacedEventPoint paced(point);
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!paced.step(row))
            return ERR_CANCELLED;
        for (int column = 0; column < fields; ++column) {
            if (!table.hasCell(row, column))
                return ERR_INVALID_DATA;
            const QString text = table.text(row, column);
            if (text.contains(separator) || !TableFileWriter::fitsOnOneLine(text)) {
                qDebug() << "QMyTable1Widget::save"
                         << "Separator or line break in the value of row" << row + 1 << "field"
                         << column + 1;
                return ERR_INVALID_DATA;
            }
            if (column > 0)
                out << separator;
            out << quote << text << quote;
        }
        out << '\n';
    }
    return ERR_OK;
}

int check(TableData &table, const QString &tableName, const QString &path, PendingLoad &apply,
          const FileEventPoint &point)
{
    TableFileReader reader(goodsCsvFileBound, point);
    QString line;
    int result = reader.open(path, line);
    if (result != ERR_OK)
        return result;
    if (!line.contains(tableName)) {
        qDebug() << "QMyTable1Widget::load"
                 << "Bad csv table header";
        return ERR_INVALID_DATA;
    }
    result = reader.readLine(line);
    if (result != ERR_OK)
        return result;
    const QVector<int> widths = TableCatalogue::goodsCsvFieldWidths();
    if (!headerLineMatches(line, widths.size())) {
        qDebug() << "QMyTable1Widget::load"
                 << "Bad columns header";
        return ERR_INVALID_DATA;
    }
    QVector<LoadedCell> cells;
    int records = 0;
    while (!reader.atEnd()) {
        result = reader.readLine(line);
        if (result != ERR_OK)
            return result;
        if (line.size() < minimumLineLength) {
            qDebug() << "QMyTable1Widget::load"
                     << "Line too short";
            return ERR_INVALID_DATA;
        }
        const QStringList parts = line.split(separator);
        for (int column = 0; column < widths.size(); ++column) {
            const QString value = column < parts.size() ? unquoted(parts[column]) : QString();
            cells.append({records, column, value, widths[column]});
        }
        ++records;
    }
    apply = PendingLoad(records, [&table, cells, records](const FileEventPoint &point) {
        table.setRowCount(records);
        return placeLoadedCells(table, cells, point);
    });
    return ERR_OK;
}

} // namespace GoodsCsvFile
