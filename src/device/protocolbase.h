#pragma once

#include "fieldbase.h"
#include "portinfo.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

// The fields of one record, in field order, as readRow fills them.
using FieldList = QList<QSharedPointer<FieldBase>>;

// How the main window and the table editors talk to the register. Operations
// return a result code (ErrorCode values); readField throws it instead. Tables
// are named by their logical numbers, rows and fields are numbered from 1.
class protocolBase
{
public:
    // Connects the driver to the register on the chosen port.
    virtual int openPort(PortInfo port) = 0;
    // Disconnects; always 0.
    virtual int closePort() = 0;
    // A new field value owned by the caller; its width is the length of the
    // register's answer. Failures are thrown as an ErrorCode value.
    virtual FieldBase *readField(int type, int table, int row, int field) = 0;
    // Writes the value's raw bytes at its own table, row and field. With flag
    // false the driver's NeedResult is 2 for this exchange; callers pass true.
    virtual int writeField(FieldBase *value, bool flag) = 0;
    // "description, major.minor.build"; empty on failure.
    virtual int readDeviceInfo(QString *info) = 0;
    // Pass the same list to every call of one connection: only the first call
    // fills it, later ones refresh its values' raw bytes.
    virtual int readRow(int table, int row, FieldList *fields) = 0;
    // Starts a dump of the given processor and returns its size in bytes.
    virtual int startReadFW(int kind, qint64 *size) = 0;
    // Appends the next block; 1 when the register has no more data.
    virtual int readFWBlock(QByteArray *dump) = 0;
    // Whether the register answered the last request, taking or refusing it;
    // false when the exchange failed (no answer, a garbled one), so that a
    // failure of the line is never taken for the register's "no such field".
    virtual bool answeredLastRequest() const = 0;

protected:
    // Never deleted through this interface.
    ~protocolBase() = default;
};
