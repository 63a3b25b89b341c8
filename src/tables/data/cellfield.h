#pragma once

#include "fieldbase.h"

#include <memory>

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

// Whether two values of a field of the type are the same once in the
// register: a text is kept without its trailing blanks, and the mixed scheme
// pads with zero bytes where the others pad with blanks.
bool sameStoredBytes(int type, const QByteArray &first, const QByteArray &second);

// Whether two texts of the field at address stand for the same value in the
// register (a price "12.5" and "12.50"; a general-scheme text and its read
// form); false when either is not a value of the field.
bool sameValue(const FieldAddress &address, int width, const QString &first, const QString &second);

// Whether the text is acceptable for the field at address, width bytes wide.
bool cellIsValid(const FieldAddress &address, int width, const QString &text);

// What the field at address takes, in a line for the user: its kind, the
// longest text or the range of numbers, as wide as width bytes.
QString fieldRule(const FieldAddress &address, int width);
