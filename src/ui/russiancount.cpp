#include "russiancount.h"

#include <QLocale>

int russianPluralForm(qint64 count)
{
    const qint64 lastTwo = qAbs(count) % 100;
    const qint64 last = lastTwo % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return 2;
    if (last == 1)
        return 0;
    if (last >= 2 && last <= 4)
        return 1;
    return 2;
}

QString russianCount(qint64 count, const char *one, const char *few, const char *many)
{
    const char *forms[] = {one, few, many};
    return QLocale(QLocale::Russian, QLocale::Russia).toString(count) + QLatin1Char(' ') +
           QString::fromUtf8(forms[russianPluralForm(count)]);
}

QString recordsReadText(qint64 records)
{
    const char *verbs[] = {"Прочитана", "Прочитано", "Прочитано"};
    return QString::fromUtf8(verbs[russianPluralForm(records)]) + QLatin1Char(' ') +
           russianCount(records, "запись", "записи", "записей") + QLatin1Char('.');
}

QString fieldsWrittenText(qint64 fields)
{
    return QString::fromUtf8("Записано ") + russianCount(fields, "поле", "поля", "полей") +
           QLatin1Char('.');
}
