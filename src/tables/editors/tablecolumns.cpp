#include "tablecolumns.h"

#include "fieldtypes.h"
#include "tablecatalogue.h"

#include <QHeaderView>
#include <QTableWidget>

namespace {

// Room for what a column usually holds, where the catalogue gives no width:
// a typical goods name, a 13-digit barcode; at least its header.
int typicalWidth(const QTableWidget &grid, const ColumnSpec &column)
{
    const QFontMetrics metrics = grid.fontMetrics();
    const int margin = 2 * metrics.averageCharWidth() + 8;
    int width = grid.horizontalHeader()->defaultSectionSize();
    if (column.fieldType == FIELD_STR)
        width = metrics.horizontalAdvance(QStringLiteral("ХЛЕБ БЕЛЫЙ НАРЕЗНОЙ 400Г")) + margin;
    else if (column.fieldType == FIELD_BCD)
        width = metrics.horizontalAdvance(QStringLiteral("4601234000017")) + margin;
    return qMax(width, metrics.horizontalAdvance(column.header) + margin);
}

} // namespace

void setupCatalogueColumns(QTableWidget &grid, int table)
{
    const TableSpec *entry = TableCatalogue::find(table);
    if (!entry)
        return;
    const QVector<ColumnSpec> &columns = entry->columns;
    grid.setColumnCount(columns.size());
    for (int column = 0; column < columns.size(); ++column) {
        // Hidden columns have no header of their own.
        if (!columns[column].hidden)
            grid.setHorizontalHeaderItem(column, new QTableWidgetItem(columns[column].header));
    }
    for (int column = 0; column < columns.size(); ++column) {
        grid.setColumnWidth(column, columns[column].pixelWidth > 0
                                        ? columns[column].pixelWidth
                                        : typicalWidth(grid, columns[column]));
        grid.setColumnHidden(column, columns[column].hidden);
    }
    grid.horizontalHeader()->setStretchLastSection(true);
}
