#include "tablefile.h"

#include "generictablefile.h"
#include "goodscsvfile.h"
#include "settingsfile.h"
#include "tabledata.h"
#include "tableshape.h"

#include <QCoreApplication>

namespace TableFile {

namespace {

constexpr int goodsTable = 1;

// The third of the goods filters is the CSV for spreadsheet programs.
const char goodsFilters[] = "*.txt;;*.csv;;CSV для Excel (*.csv);;Все файлы (*.*)";
const char tableFilters[] = "*.txt;;Все файлы (*.*)";

QString tr(const char *text)
{
    return QCoreApplication::translate("QMyTableWidget", text);
}

bool isCsvPath(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"));
}

} // namespace

QString fileFilter(int table)
{
    return table == goodsTable ? tr(goodsFilters) : tr(tableFilters);
}

Format formatOf(int table, const QString &path, const QString &filter)
{
    if (table != goodsTable || !isCsvPath(path))
        return Format::Table;
    return filter == fileFilter(table).section(QStringLiteral(";;"), 2, 2)
               ? Format::GoodsCsvForSpreadsheets
               : Format::GoodsCsv;
}

int save(const TableData &table, const QString &path, Format format)
{
    switch (format) {
    case Format::GoodsCsv:
    case Format::GoodsCsvForSpreadsheets:
        return GoodsCsvFile::save(table, GoodsCsvFile::tableName(), path,
                                  format == Format::GoodsCsvForSpreadsheets);
    case Format::Table:
        break;
    }
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::save(table, path);
    return GenericTableFile::save(table, path);
}

int load(TableData &table, const QString &path)
{
    if (formatOf(table.tableNumber(), path) != Format::Table)
        return GoodsCsvFile::load(table, GoodsCsvFile::tableName(), path);
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::load(table, path);
    return GenericTableFile::load(table, path);
}

int write(const TableData &table, QTextStream &out, Format format)
{
    if (format != Format::Table)
        return GoodsCsvFile::write(table, GoodsCsvFile::tableName(), out);
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::write(table, out);
    return GenericTableFile::write(table, out);
}

int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply)
{
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::parse(lines, firstLine, table, apply);
    return GenericTableFile::parse(lines, firstLine, table, true, apply);
}

} // namespace TableFile
