#pragma once

#include "exchangerecord.h"

#include <QString>

// The Russian texts that report the progress and the outcome of an operation.
namespace ProgressText {

// What an operation has done, in its own words.
enum class Work
{
    RecordsRead,
    FieldsWritten,
    BytesRead,
    RecordsLoaded,
    RecordsSaved,
    FieldsChecked,
    // The records a load puts into its grid once the file's bytes are read.
    RecordsPlaced,
    // The rows of a price list matched with the goods.
    RowsPlanned,
    // The cells a price list changes in the goods.
    FieldsChanged,
};

// "Прочитана 1 запись", "Прочитано 16 451 запись", "Записано 3 поля": the
// verb and the noun in the forms Russian wants after the number.
QString done(Work work, qint64 count);
// "1 строка", "3 строки", "10 000 строк": the number and the noun in the form
// Russian wants after it.
QString counted(qint64 count, const char *one, const char *few, const char *many);
// The name of a paste as a step to undo: "вставка 1 строки", "вставка 120 строк".
QString pasted(qint64 rows);
// "20 мс", "2,4 с", "41 с", "9 мин 41 с", "1 ч 2 мин".
QString duration(qint64 ms);
// "Записи: 12 345 из 65 535, 1 234/с, осталось 8 мин 2 с"; the total and the
// time left only where known (not negative).
QString running(Work work, qint64 done, qint64 total, double perSecond, qint64 remainingMs);
// ", 2 017 обменов, 3 повтора, 4 сбоя" where a try failed, ", ожидание порта
// 13 с" where the port was waited for; else empty.
QString exchangeTrouble(const ExchangeCounts &counts);
// How far the check after a write got: "проверено" once it checked all total
// fields, else "проверено 120 полей из 480".
QString checked(qint64 count, qint64 total);
// "Проверка записи: 3 несовпадения, первое — строка 5, «Цена»."; the cell
// named is the first whose value the register did not keep.
QString mismatches(qint64 count, int row, const QString &column);

} // namespace ProgressText
