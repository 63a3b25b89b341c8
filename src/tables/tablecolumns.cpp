#include "tablecolumns.h"

#include "tablecatalogue.h"

#include <QTableWidget>

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
        if (columns[column].pixelWidth > 0)
            grid.setColumnWidth(column, columns[column].pixelWidth);
        grid.setColumnHidden(column, columns[column].hidden);
    }
}
