#include "goodscsvfile.h"

#include "cellfield.h"
#include "errorcode.h"
#include "fieldtypes.h"
#include "loadedcell.h"
#include "tablecatalogue.h"
#include "tablefilereader.h"
#include "tablefilewriter.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QDebug>

#include <algorithm>

namespace GoodsCsvFile {

namespace {

constexpr QChar separator = QLatin1Char(';');
constexpr QChar quote = QLatin1Char('"');
constexpr QLatin1String doubledQuote("\"\"", 2);
constexpr int minimumLineLength = 5;

constexpr int goodsTable = 1;
constexpr int barcodeColumn = 1;
// Spreadsheets show a number of more digits in scientific notation, and save
// it so; past 15 digits they lose the last ones.
constexpr int longestShownNumber = 11;

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

// A text formula ="…", the way spreadsheets keep a number as text.
bool isTextFormula(const QString &value)
{
    return value.size() >= 3 && value.startsWith(QLatin1String("=\"")) && value.endsWith(quote);
}

// The text between the formula's quotes, in which a quote is doubled.
QString formulaText(const QString &formula)
{
    return formula.mid(2, formula.size() - 3).replace(doubledQuote, QString(quote));
}

// A text formula is taken as its text, bare or quoted as a CSV field with its
// quotes doubled, as a spreadsheet may write it again; any other value
// without its quotes.
QString fieldValue(const QString &field)
{
    if (isTextFormula(field))
        return formulaText(field);
    const QString value = unquoted(field);
    if (value.startsWith(QLatin1String("=\"\""))) {
        const QString formula = QString(value).replace(doubledQuote, QString(quote));
        if (isTextFormula(formula))
            return formulaText(formula);
    }
    return value;
}

bool isMoney(int column)
{
    const int type = fieldType(goodsTable, column + 1);
    return type == FIELD_CURRENCY_BCD || type == FIELD_CURRENCY_BIN;
}

// A spreadsheet in a Russian locale writes a sum with a decimal comma: taken
// as with a point when the field takes it so, and left for the field to
// refuse as the file has it otherwise.
QString sumText(const TableData &table, int row, int column, int width, const QString &text)
{
    if (text.contains(QLatin1Char('.')) || text.count(QLatin1Char(',')) != 1)
        return text;
    const QString withPoint = QString(text).replace(QLatin1Char(','), QLatin1Char('.'));
    FieldAddress address;
    return TableShape::fieldAddress(table, row, column, address) &&
                   cellIsValid(address, width, withPoint)
               ? withPoint
               : text;
}

bool isDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar character) {
        return character >= QLatin1Char('0') && character <= QLatin1Char('9');
    });
}

// Whether a spreadsheet would take the text for a number and not give it back
// as it is: every barcode (a leading zero is a digit of it), any long number,
// and any number with a leading zero.
bool becomesNumber(int column, const QString &text)
{
    return isDigits(text) && (column == barcodeColumn || text.size() > longestShownNumber ||
                              (text.size() > 1 && text.startsWith(QLatin1Char('0'))));
}

QString writtenField(Variant variant, int column, const QString &text)
{
    if (variant == Variant::ForSpreadsheets && becomesNumber(column, text))
        return QStringLiteral("=\"%1\"").arg(text);
    return quote + text + quote;
}

// Values are not escaped: one with the separator or a line break, or one read
// as a text formula's text, would load as another.
bool loadsAsWritten(const QString &text, const QString &field, int row, int column)
{
    if (text.contains(separator) || !TableFileWriter::fitsOnOneLine(text)) {
        qDebug() << "QMyTable1Widget::save"
                 << "Separator or line break in the value of row" << row + 1 << "field"
                 << column + 1;
        return false;
    }
    if (fieldValue(field) != text) {
        qDebug() << "QMyTable1Widget::save"
                 << "The value of row" << row + 1 << "field" << column + 1
                 << "would load as another text";
        return false;
    }
    return true;
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

int write(const TableData &table, const QString &tableName, QTextStream &out, Variant variant,
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
            const QString field = writtenField(variant, column, text);
            if (!loadsAsWritten(text, field, row, column))
                return ERR_INVALID_DATA;
            if (column > 0)
                out << separator;
            out << field;
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
            QString value = column < parts.size() ? fieldValue(parts[column]) : QString();
            if (isMoney(column))
                value = sumText(table, records, column, widths[column], value);
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
