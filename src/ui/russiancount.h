#pragma once

#include <QString>

// "16 451 запись", "2 записи", "5 записей": the number with its digits grouped
// and the noun form Russian wants after it. The forms are those after 1, 2
// and 5.
QString russianCount(qint64 count, const char *one, const char *few, const char *many);

// Which of the three forms follows count: 0 as after 1, 1 as after 2, 2 as after 5.
int russianPluralForm(qint64 count);

// "Прочитана 1 запись.", "Прочитано 16 451 запись.", "Прочитано 5 записей."
QString recordsReadText(qint64 records);
// "Записано 1 поле.", "Записано 3 поля."
QString fieldsWrittenText(qint64 fields);
