#pragma once

#include "fieldbase.h"

// A new field of the given type code (1 to 8), owned by the caller. Any other
// code throws ErrorCode ERR_DEVICE_WRONG_FIELD and creates nothing.
FieldBase *createField(int table, int row, int field, int type, int width);
