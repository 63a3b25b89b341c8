#include "tabletestsupport.h"

#include "cellmarks.h"
#include "fieldtypes.h"
#include "tablecatalogue.h"
#include "tableeditors.h"

#include <QFile>
#include <QStringList>

namespace {

ScriptedProtocol::Cell sampleCell(int type, int row, int field)
{
    switch (type) {
    case FIELD_STR:
        return {40, QString::fromUtf8("Ряд %1 «поле» \"%2\" $€–»").arg(row).arg(field)};
    case FIELD_CURRENCY_BCD:
        return {5, QStringLiteral("%1.%2").arg(row).arg(field, 2, 10, QChar('0'))};
    case FIELD_BIN_FIRST_OF_32:
        return {32, QString::number((row + field) % 256)};
    case FIELD_BIN:
        return {2, QString::number(row * 10 + field)};
    default:
        return {6, QString::number(row * 1000 + field)};
    }
}

} // namespace

std::unique_ptr<QMyTableWidget> makeEditor(int table)
{
    return std::unique_ptr<QMyTableWidget>(createTableEditor(table));
}

QVector<QVector<ScriptedProtocol::Cell>> sampleRows(int table, int count)
{
    // Table 11 keeps its values in the rows of field 1; table 2 in the fields of row 1.
    const int fields = table == 11 ? 1 : (table == 2 ? count : fieldCount(table));
    const int rows = table == 2 ? 1 : count;
    QVector<QVector<ScriptedProtocol::Cell>> result(rows);
    for (int row = 1; row <= rows; ++row) {
        for (int field = 1; field <= fields; ++field) {
            const int type = table == 11 ? fieldType(11, row) : fieldType(table, field);
            result[row - 1].append(sampleCell(type, row, field));
        }
    }
    return result;
}

QString gridText(const QTableWidget &grid)
{
    QStringList rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            cells << (cell ? cell->text() : QStringLiteral("~"));
        }
        rows << cells.join(',');
    }
    return rows.join('|');
}

QString changedCells(const QTableWidget &grid)
{
    QStringList changed;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            if (cell && CellMarks::isChanged(*cell))
                changed << QStringLiteral("%1/%2").arg(row).arg(column);
        }
    }
    return changed.join(',');
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
