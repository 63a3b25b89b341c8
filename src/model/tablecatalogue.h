#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The eleven programmable tables of the register: what is particular to each,
// in one place read by the protocol, the editors and the main window.

struct ColumnSpec
{
    QString header;
    int fieldType = 0;  // type code of the field shown in this column; 0 if none
    int pixelWidth = 0; // 0: room for what the column usually holds
    bool hidden = false;
};

struct TableSpec
{
    int number = 0;      // logical table number
    int deviceTable = 0; // the register's own table number
    QString caption;     // tab caption
    int fieldCount = 0;  // fields per record; 0 where the catalogue does not fix it
    QVector<ColumnSpec> columns;
    // Tax rates and payment types are set by the register's maker: read,
    // compared and kept in profiles, never written.
    bool writable = true;
};

namespace TableCatalogue {

// Every table, in tab order.
const QVector<TableSpec> &tables();
// nullptr for a number not in the catalogue.
const TableSpec *find(int table);
// The numbers of every table, in tab order: the window's tabs, and what a
// profile holds.
QVector<int> numbers();
// "Скидки/наценки": the tab caption without the blanks around it; the number
// for a table not in the catalogue.
QString caption(int table);
// Whether the program writes the table to the register; false for a table
// not in the catalogue.
bool isWritable(int table);
// Widths in bytes that a goods CSV load gives the cells it creates, by column.
QVector<int> goodsCsvFieldWidths();

} // namespace TableCatalogue

int fieldCount(int table);
// 0 for a field or table the catalogue does not know.
int fieldType(int table, int field);
