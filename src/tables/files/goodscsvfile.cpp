#include "goodscsvfile.h"

#include "cellfield.h"
#include "csvline.h"
#include "errorcode.h"
#include "fieldtypes.h"
#include "loadedcell.h"
#include "tablecatalogue.h"
#include "tablefilereader.h"
#include "tablefilewriter.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>

namespace GoodsCsvFile {

namespace {

constexpr QChar separator = QLatin1Char(';');
constexpr QChar quote = QLatin1Char('"');
constexpr QLatin1String doubledQuote("\"\"", 2);
constexpr int minimumLineLength = 5;

using TableShape::goodsTable;
constexpr int barcodeColumn = TableShape::goodsBarcodeColumn;
// Spreadsheets show a number of more digits in scientific notation, and save
// it so; past 15 digits they lose the last ones.
constexpr int longestShownNumber = 11;

QString columnHeader(int column)
{
    return TableShape::columnHeader(goodsTable, column);
}

QStringList fieldsOf(const QString &line)
{
    return CsvLine::fields(line, separator);
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

// For spreadsheets as they read CSV: a quote inside a quoted value doubled.
// The plain CSV keeps its values as they are.
QString writtenField(Variant variant, int column, const QString &text)
{
    if (variant == Variant::Plain)
        return quote + text + quote;
    if (becomesNumber(column, text))
        return QStringLiteral("=\"%1\"").arg(text);
    return quote + QString(text).replace(quote, doubledQuote) + quote;
}

QString recordLine(Variant variant, const QStringList &texts)
{
    QStringList fields;
    for (int column = 0; column < texts.size(); ++column)
        fields << writtenField(variant, column, texts[column]);
    return fields.join(separator);
}

// What keeps a value from loading as it was written.
enum class Refusal
{
    None,
    // The plain CSV's readers split a line at every ";".
    Separator,
    LineBreak,
    // Read as a text formula, or with two quotes in a row taken as one.
    LoadsAsAnother,
};

// The first value of a record that would not load from its line as it is,
// at column, and why.
Refusal refusalOf(Variant variant, const QStringList &texts, const QString &line, int &column)
{
    for (column = 0; column < texts.size(); ++column) {
        if (!TableFileWriter::fitsOnOneLine(texts[column]))
            return Refusal::LineBreak;
        if (variant == Variant::Plain && texts[column].contains(separator))
            return Refusal::Separator;
    }
    // Without a quote every value loads as it is.
    if (std::none_of(texts.begin(), texts.end(),
                     [](const QString &text) { return text.contains(quote); }))
        return Refusal::None;
    const QStringList loaded = fieldsOf(line);
    for (column = 0; column < texts.size(); ++column) {
        if (loaded.value(column) != texts[column])
            return Refusal::LoadsAsAnother;
    }
    return Refusal::None;
}

void logRefusal(Refusal refusal, int row, int column)
{
    if (refusal == Refusal::LoadsAsAnother)
        qDebug() << "QMyTable1Widget::save"
                 << "The value of row" << row + 1 << "field" << column + 1
                 << "would load as another text";
    else
        qDebug() << "QMyTable1Widget::save"
                 << "Separator or line break in the value of row" << row + 1 << "field"
                 << column + 1;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("GoodsCsvFile", text);
}

// The record, the field, the value, what keeps it out of the file, and the
// files that hold it.
QString describeRefusal(Refusal refusal, Variant variant, int row, int column,
                        const QStringList &texts)
{
    const QString where = fieldPlace(row, column);
    QString why;
    switch (refusal) {
    case Refusal::LineBreak:
        return where + tr(": перевод строки в значении. В файле таблицы запись занимает одну "
                          "строку; уберите перевод строки.");
    case Refusal::Separator:
        why = tr("знак «;» в файле *.csv разделяет поля: значение прочитается как два.");
        break;
    case Refusal::LoadsAsAnother:
        why = tr("из файла значение прочитается как «%1».")
                  .arg(fieldsOf(recordLine(variant, texts)).value(column));
        break;
    case Refusal::None:
        return QString();
    }
    int otherColumn = 0;
    const bool spreadsheetsHoldIt =
        variant == Variant::Plain &&
        refusalOf(Variant::ForSpreadsheets, texts, recordLine(Variant::ForSpreadsheets, texts),
                  otherColumn) == Refusal::None;
    return where +
           tr(": «%1» — %2 Такое значение сохраняет %3.")
               .arg(texts[column], why,
                    spreadsheetsHoldIt ? tr("файл *.txt и «CSV для Excel»") : tr("файл *.txt"));
}

// The texts of a record's fields; false when a cell is missing.
bool recordTexts(const TableData &table, int row, QStringList &texts)
{
    const int fields = TableCatalogue::goodsCsvFieldWidths().size();
    texts.clear();
    for (int column = 0; column < fields; ++column) {
        if (!table.hasCell(row, column))
            return false;
        texts << table.text(row, column);
    }
    return true;
}

} // namespace

bool becomesNumber(int column, const QString &text)
{
    return isDigits(text) && (column == barcodeColumn || text.size() > longestShownNumber ||
                              (text.size() > 1 && text.startsWith(QLatin1Char('0'))));
}

QString fieldPlace(int row, int column)
{
    return tr("Запись %1, поле «%2»").arg(row + 1).arg(columnHeader(column));
}

bool isHeader(const QStringList &captions)
{
    const int compared = qMin(TableCatalogue::goodsCsvFieldWidths().size(), captions.size());
    for (int column = 0; column < compared; ++column) {
        if (captions[column] != columnHeader(column))
            return false;
    }
    return true;
}

QString cellText(const QString &text)
{
    return CsvLine::isTextFormula(text) ? CsvLine::fieldValue(text) : text;
}

void addRecord(const TableData &table, const QStringList &fields, QVector<LoadedCell> &cells,
               int &records)
{
    const QVector<int> widths = TableCatalogue::goodsCsvFieldWidths();
    for (int column = 0; column < widths.size(); ++column) {
        QString value = fields.value(column);
        if (isMoney(column))
            value = sumText(table, records, column, widths[column], value);
        cells.append({records, column, value, widths[column]});
    }
    ++records;
}

PendingLoad recordsLoad(TableData &table, QVector<LoadedCell> cells, int records)
{
    return PendingLoad(records, [&table, cells, records](const FileEventPoint &point) {
        table.setRowCount(records);
        return placeLoadedCells(table, cells, point);
    });
}

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
    PacedEventPoint paced(point);
    QStringList texts;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!paced.step(row))
            return ERR_CANCELLED;
        if (!recordTexts(table, row, texts))
            return ERR_INVALID_DATA;
        const QString line = recordLine(variant, texts);
        int column = 0;
        if (const Refusal refused = refusalOf(variant, texts, line, column);
            refused != Refusal::None) {
            logRefusal(refused, row, column);
            return ERR_INVALID_DATA;
        }
        out << line << '\n';
    }
    return ERR_OK;
}

QString refusal(const TableData &table, Variant variant)
{
    QStringList texts;
    for (int row = 0; row < table.rowCount() && recordTexts(table, row, texts); ++row) {
        int column = 0;
        const Refusal refused = refusalOf(variant, texts, recordLine(variant, texts), column);
        if (refused != Refusal::None)
            return describeRefusal(refused, variant, row, column, texts);
    }
    return QString();
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
    if (!isHeader(fieldsOf(line))) {
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
        addRecord(table, fieldsOf(line), cells, records);
    }
    apply = recordsLoad(table, std::move(cells), records);
    return ERR_OK;
}

} // namespace GoodsCsvFile
