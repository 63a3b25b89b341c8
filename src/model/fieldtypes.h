#pragma once

#include "fieldbase.h"

// Type codes of the field factory.
enum FieldTypeCode : int
{
    FIELD_BCD = 1,
    FIELD_BIN = 2,
    FIELD_CURRENCY_BIN = 3,
    FIELD_CURRENCY_BCD = 4,
    FIELD_DATE = 5,
    FIELD_STR = 6,
    FIELD_BCD_LEADING_ZEROES = 7,
    FIELD_BIN_FIRST_OF_32 = 8,
};

// Unsigned packed-BCD number, most significant digit pair first.
class FieldBCD : public FieldBase
{
public:
    using FieldBase::FieldBase;
    int type() override;
    QString typeDescription() override;
    int toInt64(qint64 &value) override;
    int toString(QString &text) override;
    int fromInt64(qint64 value) override;
    int fromString(QString text) override;
};

// Money in kopecks, packed BCD; shown with two decimals.
class FieldCURRENCY_BCD : public FieldBCD
{
public:
    using FieldBCD::FieldBCD;
    int type() override;
    QString typeDescription() override;
    int toString(QString &text) override;
    int fromString(QString text) override;
};

// A date kept and shown as a plain packed-BCD number.
class FieldDATE : public FieldBCD
{
public:
    using FieldBCD::FieldBCD;
    int type() override;
    QString typeDescription() override;
};

// Packed BCD shown with all its digits, two per byte.
class FieldBCD_LEADING_ZEROES : public FieldBCD
{
public:
    using FieldBCD::FieldBCD;
    int type() override;
    int toString(QString &text) override;
};

// Big-endian binary integer.
class FieldBIN : public FieldBase
{
public:
    using FieldBase::FieldBase;
    int type() override;
    QString typeDescription() override;
    int toInt64(qint64 &value) override;
    int toString(QString &text) override;
    int fromInt64(qint64 value) override;
    int fromString(QString text) override;
};

// Money in kopecks, big-endian binary; shown with two decimals.
class FieldCURRENCY_BIN : public FieldBIN
{
public:
    using FieldBIN::FieldBIN;
    int type() override;
    QString typeDescription() override;
    int toString(QString &text) override;
    int fromString(QString text) override;
};

// Text in the register's code page, with the scheme and padding of its table.
class FieldSTR : public FieldBase
{
public:
    using FieldBase::FieldBase;
    int type() override;
    QString typeDescription() override;
    int toInt64(qint64 &value) override;
    int toString(QString &text) override;
    int fromInt64(qint64 value) override;
    int fromString(QString text) override;
};

// A one-byte value in the first byte of a 32-byte field padded with blanks.
class FieldBINFirstOf32 : public FieldBase
{
public:
    using FieldBase::FieldBase;
    int type() override;
    QString typeDescription() override;
    int toInt64(qint64 &value) override;
    int toString(QString &text) override;
    int fromInt64(qint64 value) override;
    int fromString(QString text) override;
};
