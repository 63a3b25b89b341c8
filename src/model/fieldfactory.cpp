#include "fieldfactory.h"

#include "errorcode.h"
#include "fieldtypes.h"

FieldBase *createField(int table, int row, int field, int type, int width)
{
    switch (type) {
    case FIELD_BCD:
        return new FieldBCD(table, row, field, width);
    case FIELD_BIN:
        return new FieldBIN(table, row, field, width);
    case FIELD_CURRENCY_BIN:
        return new FieldCURRENCY_BIN(table, row, field, width);
    case FIELD_CURRENCY_BCD:
        return new FieldCURRENCY_BCD(table, row, field, width);
    case FIELD_DATE:
        return new FieldDATE(table, row, field, width);
    case FIELD_STR:
        return new FieldSTR(table, row, field, width);
    case FIELD_BCD_LEADING_ZEROES:
        return new FieldBCD_LEADING_ZEROES(table, row, field, width);
    case FIELD_BIN_FIRST_OF_32:
        return new FieldBINFirstOf32(table, row, field, width);
    default:
        throw ERR_DEVICE_WRONG_FIELD;
    }
}
