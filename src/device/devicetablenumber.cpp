#include "devicetablenumber.h"

#include "tablecatalogue.h"

int deviceTableNumber(int table)
{
    const TableSpec *spec = TableCatalogue::find(table);
    return spec ? spec->deviceTable : 0;
}
