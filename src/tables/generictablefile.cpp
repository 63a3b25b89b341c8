#include "generictablefile.h"

#include "errorcode.h"
#include "loadedcell.h"
#include "streamintscanner.h"
#include "tablecatalogue.h"
#include "tablefilereader.h"
#include "tablefilewriter.h"
#include "tablelimits.h"

#include <QDebug>
#include <QTableWidget>

namespace GenericTableFile {

int save(const QTableWidget &grid, int table, const QString &path)
{
    TableFileWriter writer(path);
    if (!writer.open())
        return ERR_FILE_OPEN;
    const int result = write(grid, table, writer.stream());
    if (result != ERR_OK)
        return result;
    return writer.commit() ? ERR_OK : ERR_FILE_OPEN;
}

int write(const QTableWidget &grid, int table, QTextStream &out)
{
    out << table << '\n';
    const int fields = fieldCount(table);
    for (int row = 1; row <= grid.rowCount(); ++row) {
        for (int field = 1; field <= fields; ++field) {
            const QTableWidgetItem *cell = grid.item(row - 1, field - 1);
            if (!cell)
                return ERR_INVALID_DATA;
            if (!TableFileWriter::fitsOnOneLine(cell->text())) {
                qDebug() << "QMyTableGenericWidget::saveToFile"
                         << "Line break in the value of row" << row << "field" << field;
                return ERR_INVALID_DATA;
            }
            out << row << '\t' << field << '\t' << cell->type() << '\t' << cell->text() << '\n';
        }
    }
    return ERR_OK;
}

int load(QTableWidget &grid, int table, const QString &path)
{
    TableFileReader reader(genericTableFileBound(fieldCount(table)));
    QString firstLine;
    PendingLoad apply;
    int result = reader.open(path, firstLine);
    if (result == ERR_OK)
        result = parse(reader, firstLine, grid, table, false, apply);
    if (result == ERR_OK)
        apply();
    return result;
}

int parse(TableLines &lines, const QString &firstLine, QTableWidget &grid, int table, bool strict,
          PendingLoad &apply)
{
    int fileTable = 0;
    if (!StreamIntScanner(firstLine).readInt(fileTable))
        return ERR_INVALID_DATA;
    if (fileTable != table)
        return ERR_WRONG_TABLE_NUMBER;
    QVector<LoadedCell> cells;
    const int columns = grid.columnCount();
    const int result =
        forEachNumberedLine(lines, [&cells, columns, strict](const NumberedLine &line) {
            const int row = line.first;
            const int field = line.second;
            const int width = line.third;
            if (field > columns)
                return int(strict ? ERR_INVALID_DATA : ERR_OK);
            if (row < 1 || row > maxTableRows || field < 1 || width < 0 || width > maxFieldWidth)
                return int(ERR_INVALID_DATA);
            cells.append({row - 1, field - 1, line.text, width});
            return int(ERR_OK);
        });
    if (result == ERR_OK)
        apply = [&grid, cells] { placeLoadedCells(grid, cells); };
    return result;
}

} // namespace GenericTableFile
