#include "fieldbase.h"

#include "errorcode.h"

#include <QDebug>

FieldBase::FieldBase(int table, int row, int field, int width)
    : m_table(table), m_row(row), m_field(field), m_width(width)
{
}

int FieldBase::type()
{
    qDebug() << "FieldBase::type";
    return 0;
}

QString FieldBase::typeDescription()
{
    qDebug() << "FieldBase::typeDescription";
    return QString();
}

int FieldBase::toInt64(qint64 &)
{
    qDebug() << "FieldBase::toInt64";
    return ERR_NOT_SUPPORTED;
}

int FieldBase::toString(QString &)
{
    qDebug() << "FieldBase::toString";
    return ERR_NOT_SUPPORTED;
}

int FieldBase::fromInt64(qint64)
{
    qDebug() << "FieldBase::fromInt64";
    return ERR_NOT_SUPPORTED;
}

int FieldBase::fromString(QString)
{
    qDebug() << "FieldBase::fromString";
    return ERR_NOT_SUPPORTED;
}

void FieldBase::setRawData(const QByteArray &data)
{
    m_raw = data;
}
