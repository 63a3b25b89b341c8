#pragma once

#include <QString>

// Outcome of every operation that can fail: 0 is success, failures are
// negative, and 1 means that the register has no more data. Operations return
// it as a plain int; the field factory, readField and the connect steps throw
// the bare value.
enum ErrorCode : int
{
    ERR_OK = 0,
    ERR_WRONG_TABLE_NUMBER = -90,
    ERR_FILE_OPEN = -91,
    ERR_TABLE_EMPTY = -92,
    ERR_WRONG_STATE = -93,
    ERR_DATA_NOT_SENT = -94,
    ERR_WRONG_LENGTH = -95,
    ERR_PORT_NOT_OPEN = -96,
    ERR_INVALID_DATA = -97,
    ERR_TIMEOUT = -98,
    ERR_CHECKSUM = -99,
    ERR_CANCELLED = -100,
    ERR_NOT_SUPPORTED = -199,
    ERR_BAD_PACKET = -257,
    ERR_DEVICE_WRONG_TABLE = -258,
    ERR_DEVICE_WRONG_ROW = -259,
    ERR_DEVICE_WRONG_FIELD = -260,
    ERR_DEVICE_WRONG_LENGTH = -261,
    ERR_SHIFT_OPEN = -262,
    ERR_DEVICE = -511,
};

// The Russian message shown to the user for a result code.
QString errorCodeToString(int code);
