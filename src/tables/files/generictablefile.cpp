#include "generictablefile.h"

#include "errorcode.h"
#include "loadedcell.h"
#include "streamintscanner.h"
#include "tablecatalogue.h"
#include "tabledata.h"
#include "tablefilewriter.h"
#include "tablelimits.h"

#include <QDebug>

namespace GenericTableFile {

int write(const TableData &table, QTextStream &out, const FileEventPoint &point)
{
    out << table.tableNumber() << '\n';
    const int fields = fieldCount(table.tableNumber());
    PacedEventPoint paced(point);
    for (int row = 1; row <= table.rowCount(); ++row) {
        if (!paced.step(row - 1))
            return ERR_CANCELLED;
        for (int field = 1; field <= fields; ++field) {
            if (!table.hasCell(row - 1, field - 1))
                return ERR_INVALID_DATA;
            const QString text = table.text(row - 1, field - 1);
            if (!TableFileWriter::fitsOnOneLine(text)) {
                qDebug() << "QMyTableGenericWidget::saveToFile"
                         << "Line break in the value of row" << row << "field" << field;
                return ERR_INVALID_DATA;
            }
            out << row << '\t' << field << '\t' << table.width(row - 1, field - 1) << '\t' << text
                << '\n';
        }
    }
    return ERR_OK;
}

int parse(TableLines &lines, const QString &firstLine, TableData &table, bool strict,
          PendingLoad &apply)
{
    int fileTable = 0;
    if (!StreamIntScanner(firstLine).readInt(fileTable))
        return ERR_INVALID_DATA;
    if (fileTable != table.tableNumber())
        return ERR_WRONG_TABLE_NUMBER;
    QVector<LoadedCell> cells;
    const int columns = table.columnCount();
    int rows = 0;
    const int result =
        forEachNumberedLine(lines, [&cells, &rows, columns, strict](const NumberedLine &line) {
            const int row = line.first;
            const int field = line.second;
            const int width = line.third;
            if (field > columns)
                return int(strict ? ERR_INVALID_DATA : ERR_OK);
            if (row < 1 || row > maxTableRows || field < 1 || width < 0 || width > maxFieldWidth)
                return int(ERR_INVALID_DATA);
            cells.append({row - 1, field - 1, line.text, width});
            rows = qMax(rows, row);
            return int(ERR_OK);
        });
    if (result == ERR_OK)
        apply = PendingLoad(rows, [&table, cells](const FileEventPoint &point) {
            return placeLoadedCells(table, cells, point);
        });
    return result;
}

} // namespace GenericTableFile
