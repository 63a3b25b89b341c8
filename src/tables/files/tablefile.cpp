#include "tablefile.h"

#include "errorcode.h"
#include "generictablefile.h"
#include "goodscsvfile.h"
#include "goodsxlsxfile.h"
#include "settingsfile.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tablefilewriter.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QCoreApplication>
#include <QTextStream>

namespace TableFile {

namespace {

using TableShape::goodsTable;

// The third of the goods filters is the CSV for spreadsheet programs.
const char goodsFilters[] =
    "*.txt;;*.csv;;CSV для Excel (*.csv);;Все файлы (*.*);;Книга Excel (*.xlsx)";
const char tableFilters[] = "*.txt;;Все файлы (*.*)";

QString tr(const char *text)
{
    return QCoreApplication::translate("QMyTableWidget", text);
}

bool isCsvPath(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"));
}

bool isXlsxPath(const QString &path)
{
    return path.endsWith(QLatin1String(".xlsx"));
}

} // namespace

QString fileFilter(int table)
{
    return table == goodsTable ? tr(goodsFilters) : tr(tableFilters);
}

Format formatOf(int table, const QString &path, const QString &filter)
{
    if (table == goodsTable && isXlsxPath(path))
        return Format::GoodsXlsx;
    if (table != goodsTable || !isCsvPath(path))
        return Format::Table;
    return filter == fileFilter(table).section(QStringLiteral(";;"), 2, 2)
               ? Format::GoodsCsvForSpreadsheets
               : Format::GoodsCsv;
}

TableFileBound bound(int table)
{
    return table == TableShape::settingsTable ? settingsFileBound
                                              : genericTableFileBound(fieldCount(table));
}

int save(const TableData &table, const QString &path, Format format, const FileEventPoint &point)
{
    if (format == Format::GoodsXlsx)
        return GoodsXlsxFile::save(table, path, point);
    TableFileWriter writer(path);
    if (!writer.open())
        return ERR_FILE_OPEN;
    const int result = write(table, writer.stream(), format, point);
    if (result != ERR_OK)
        return result;
    return writer.commit() ? ERR_OK : ERR_FILE_OPEN;
}

QString refusal(const TableData &table, Format format)
{
    switch (format) {
    case Format::GoodsCsv:
        return GoodsCsvFile::refusal(table, GoodsCsvFile::Variant::Plain);
    case Format::GoodsCsvForSpreadsheets:
        return GoodsCsvFile::refusal(table, GoodsCsvFile::Variant::ForSpreadsheets);
    case Format::GoodsXlsx:
        return GoodsXlsxFile::refusal(table);
    case Format::Table:
        break;
    }
    return QString();
}

// The table's own file passes by fields beyond the table's columns, which
// a profile refuses.
int check(TableData &table, const QString &path, PendingLoad &apply, const FileEventPoint &point,
          QString *why)
{
    switch (formatOf(table.tableNumber(), path)) {
    case Format::GoodsXlsx: {
        QString reason;
        const int result = GoodsXlsxFile::check(table, path, apply, reason, point);
        if (why)
            *why = reason;
        return result;
    }
    case Format::GoodsCsv:
    case Format::GoodsCsvForSpreadsheets:
        return GoodsCsvFile::check(table, GoodsCsvFile::tableName(), path, apply, point);
    case Format::Table:
        break;
    }
    const bool settings = table.tableNumber() == TableShape::settingsTable;
    TableFileReader reader(bound(table.tableNumber()), point);
    QString firstLine;
    const int result = reader.open(path, firstLine);
    if (result != ERR_OK)
        return result;
    return settings ? SettingsFile::parse(reader, firstLine, table, apply)
                    : GenericTableFile::parse(reader, firstLine, table, false, apply);
}

int load(TableData &table, const QString &path, const FileEventPoint &point,
         const std::function<void(qint64 records)> &checked, QString *why)
{
    PendingLoad apply;
    const int result = check(table, path, apply, point, why);
    if (result != ERR_OK)
        return result;
    if (checked)
        checked(apply.records());
    return apply(point);
}

int write(const TableData &table, QTextStream &out, Format format, const FileEventPoint &point)
{
    switch (format) {
    case Format::GoodsCsv:
        return GoodsCsvFile::write(table, GoodsCsvFile::tableName(), out,
                                   GoodsCsvFile::Variant::Plain, point);
    case Format::GoodsCsvForSpreadsheets:
        // Spreadsheet programs on Windows know a CSV file's encoding by its
        // byte-order mark.
        out.setCodec("UTF-8");
        out.setGenerateByteOrderMark(true);
        return GoodsCsvFile::write(table, GoodsCsvFile::tableName(), out,
                                   GoodsCsvFile::Variant::ForSpreadsheets, point);
    case Format::GoodsXlsx:
        return ERR_NOT_SUPPORTED;
    case Format::Table:
        break;
    }
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::write(table, out);
    return GenericTableFile::write(table, out, point);
}

int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply)
{
    if (table.tableNumber() == TableShape::settingsTable)
        return SettingsFile::parse(lines, firstLine, table, apply);
    return GenericTableFile::parse(lines, firstLine, table, true, apply);
}

} // namespace TableFile
