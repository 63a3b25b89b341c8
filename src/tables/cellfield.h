#pragma once

#include "fieldbase.h"

#include <memory>

class QTableWidgetItem;
class protocolBase;

using FieldPtr = std::unique_ptr<FieldBase>;

// Where a value lives in the register and what type it has.
struct FieldAddress
{
    int table;
    int row;
    int field;
    int type;
};

// The field value that a text stands for. Returns fromString's result, or the
// code createField throws for an unknown type; value is set only on success.
int fieldFromText(const FieldAddress &address, int width, const QString &text, FieldPtr &value);

// Whether the cell's text is acceptable for the field at address; the cell's
// type number is the field's width.
bool cellIsValid(const FieldAddress &address, const QTableWidgetItem &cell);

// Converts the cell and writes it to the register; the first failure ends it.
// On success sent holds the value written.
int writeCell(protocolBase &protocol, const FieldAddress &address, const QTableWidgetItem &cell,
              FieldPtr &sent);
