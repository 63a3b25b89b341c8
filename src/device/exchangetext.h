#pragma once

#include "exchangerecord.h"

#include <QStringList>

// An exchange in words, a column each: as the traffic view shows it, its
// export writes it and the command line's trace prints it.
namespace ExchangeText {

enum Column
{
    Time,
    Duration,
    Port,
    Command,
    Table,
    Row,
    Field,
    Code,
    Meaning,
    Retries,
    Request,
    Answer,
    ColumnCount
};

QStringList headers();
QString text(const ExchangeRecord &record, int column);
// "Чтение записи", "Блок дампа", ...
QString command(ExchangeRecord::Kind kind);
// The columns tab-separated, ended by a line feed; the header line the same.
QString headerLine();
QString line(const ExchangeRecord &record);

} // namespace ExchangeText
