#include "settingsfile.h"

#include "cellfield.h"
#include "errorcode.h"
#include "streamintscanner.h"
#include "tablefilewriter.h"
#include "tablelimits.h"
#include "tableshape.h"

#include <QDebug>

#include <memory>
#include <vector>

namespace SettingsFile {

namespace {

constexpr int settingsTable = TableShape::settingsTable;

} // namespace

int write(const TableData &table, QTextStream &out)
{
    using namespace TableShape;
    out << settingsTable << '\n';
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.hasCell(row, settingsFieldColumn) || !table.hasCell(row, settingsTypeColumn) ||
            !table.hasCell(row, settingsValueColumn))
            return ERR_INVALID_DATA;
        const QString value = table.text(row, settingsValueColumn);
        if (!TableFileWriter::fitsOnOneLine(value)) {
            qDebug() << "QMyTable2Widget::saveToFile"
                     << "Line break in the value of field" << row + 1;
            return ERR_INVALID_DATA;
        }
        out << row + 1 << '\t' << table.width(row, settingsTypeColumn) << '\t'
            << table.width(row, settingsValueColumn) << '\t' << value << '\n';
    }
    return ERR_OK;
}

int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply)
{
    int fileTable = 0;
    if (!StreamIntScanner(firstLine).readInt(fileTable) || fileTable != settingsTable)
        return ERR_INVALID_DATA;
    // Shared, as the pending load that keeps them is copied.
    auto values = std::make_shared<std::vector<std::pair<FieldPtr, QString>>>();
    int rows = table.rowCount();
    const int result = forEachNumberedLine(lines, [&values, &rows](const NumberedLine &line) {
        const int field = line.first;
        const int type = line.second;
        const int width = line.third;
        if (field < 1 || field > maxSettingsField || width < 0 || width > maxFieldWidth ||
            type == 0)
            return int(ERR_INVALID_DATA);
        FieldPtr value;
        const int converted =
            fieldFromText({settingsTable, 1, field, type}, width, line.text, value);
        if (converted != ERR_OK)
            return converted;
        // A value a cell cannot show (a BCD number of more than nine bytes)
        // would show empty, and be saved so.
        QString shown;
        if (value->toString(shown) != ERR_OK)
            return int(ERR_INVALID_DATA);
        // Shown otherwise, the text would be saved and written garbled.
        FieldPtr again;
        if (fieldFromText({settingsTable, 1, field, type}, width, shown, again) != ERR_OK ||
            again->rawData() != value->rawData())
            shown = line.text;
        rows = qMax(rows, field);
        values->emplace_back(std::move(value), shown);
        return int(ERR_OK);
    });
    if (result != ERR_OK)
        return result;
    // A few hundred cells at most: no event points.
    apply = PendingLoad(rows, [&table, values, rows](const FileEventPoint &) {
        table.setRowCount(rows);
        for (const auto &[value, shown] : *values)
            TableShape::setSettingsRow(table, *value, shown);
        return int(ERR_OK);
    });
    return ERR_OK;
}

} // namespace SettingsFile
