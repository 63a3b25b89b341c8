#include "devicetablenumber.h"

#include "tablecatalogue.h"

int deviceTableNumber(int table)
{
    const TableSpec *entry = TableCatalogue::find(table);
    return entry ? entry->deviceTable : 0;
}
