#include "settingsfile.h"

#include "cellfield.h"
#include "errorcode.h"
#include "streamintscanner.h"
#include "tablefilereader.h"
#include "tablefilewriter.h"
#include "tablelimits.h"

#include <QDebug>
#include <QTableWidget>

#include <memory>
#include <vector>

namespace SettingsFile {

namespace {

constexpr int settingsTable = 2;

} // namespace

int save(const QTableWidget &grid, const QString &path)
{
    TableFileWriter writer(path);
    if (!writer.open())
        return ERR_FILE_OPEN;
    const int result = write(grid, writer.stream());
    if (result != ERR_OK)
        return result;
    return writer.commit() ? ERR_OK : ERR_FILE_OPEN;
}

int write(const QTableWidget &grid, QTextStream &out)
{
    out << settingsTable << '\n';
    for (int row = 0; row < grid.rowCount(); ++row) {
        const QTableWidgetItem *type = grid.item(row, 1);
        const QTableWidgetItem *value = grid.item(row, 2);
        if (!grid.item(row, 0) || !type || !value)
            return ERR_INVALID_DATA;
        if (!TableFileWriter::fitsOnOneLine(value->text())) {
            qDebug() << "QMyTable2Widget::saveToFile"
                     << "Line break in the value of field" << row + 1;
            return ERR_INVALID_DATA;
        }
        out << row + 1 << '\t' << type->type() << '\t' << value->type() << '\t' << value->text()
            << '\n';
    }
    return ERR_OK;
}

int load(QTableWidget &grid, const QString &path, const FillRow &fillRow)
{
    TableFileReader reader(settingsFileBound);
    QString firstLine;
    PendingLoad apply;
    int result = reader.open(path, firstLine);
    if (result == ERR_OK)
        result = parse(reader, firstLine, grid, fillRow, apply);
    if (result == ERR_OK)
        apply();
    return result;
}

int parse(TableLines &lines, const QString &firstLine, QTableWidget &grid, const FillRow &fillRow,
          PendingLoad &apply)
{
    int fileTable = 0;
    if (!StreamIntScanner(firstLine).readInt(fileTable) || fileTable != settingsTable)
        return ERR_INVALID_DATA;
    // Shared, as the pending load that keeps them is copied.
    auto values = std::make_shared<std::vector<std::pair<FieldPtr, QString>>>();
    int rows = grid.rowCount();
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
        // A value the grid cannot show (a BCD number of more than nine bytes)
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
    apply = [&grid, fillRow, values, rows] {
        grid.setRowCount(rows);
        for (const auto &[value, shown] : *values)
            fillRow(*value, shown);
    };
    return ERR_OK;
}

} // namespace SettingsFile
