#include "exchangetext.h"

#include "errorcode.h"
#include "tablecatalogue.h"

#include <QDateTime>

namespace ExchangeText {

namespace {

constexpr int noMoreData = 1;

// The result's meaning; a failure of the line in the driver's words.
QString meaning(const ExchangeRecord &record)
{
    if (record.failed && !record.failure.isEmpty())
        return record.failure;
    if (record.result == noMoreData)
        return QStringLiteral("Данных больше нет");
    return errorCodeToString(record.result);
}

bool hasAddress(ExchangeRecord::Kind kind)
{
    return kind == ExchangeRecord::Kind::ReadField || kind == ExchangeRecord::Kind::ReadRecord ||
           kind == ExchangeRecord::Kind::WriteField;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

// Tabs and line breaks in a driver's text would break the line apart.
QString oneCell(QString text)
{
    for (QChar &character : text) {
        if (character == QLatin1Char('\t') || character == QLatin1Char('\n') ||
            character == QLatin1Char('\r'))
            character = QLatin1Char(' ');
    }
    return text;
}

} // namespace

QStringList headers()
{
    return {QStringLiteral("Время"),    QStringLiteral("Длительность, мс"),
            QStringLiteral("Порт"),     QStringLiteral("Команда"),
            QStringLiteral("Таблица"),  QStringLiteral("Строка"),
            QStringLiteral("Поле"),     QStringLiteral("Код"),
            QStringLiteral("Значение"), QStringLiteral("Повторы"),
            QStringLiteral("Запрос"),   QStringLiteral("Ответ")};
}

QString command(ExchangeRecord::Kind kind)
{
    switch (kind) {
    case ExchangeRecord::Kind::ReadField:
        return QStringLiteral("Чтение поля");
    case ExchangeRecord::Kind::ReadRecord:
        return QStringLiteral("Чтение записи");
    case ExchangeRecord::Kind::WriteField:
        return QStringLiteral("Запись поля");
    case ExchangeRecord::Kind::StartDump:
        return QStringLiteral("Начало дампа");
    case ExchangeRecord::Kind::DumpBlock:
        return QStringLiteral("Блок дампа");
    case ExchangeRecord::Kind::Identification:
        return QStringLiteral("Идентификация");
    case ExchangeRecord::Kind::ModeEntry:
        return QStringLiteral("Вход в режим");
    }
    return QString();
}

QString text(const ExchangeRecord &record, int column)
{
    const bool addressed = hasAddress(record.kind);
    switch (column) {
    case Time:
        return QDateTime::fromMSecsSinceEpoch(record.startedMs)
            .toString(QStringLiteral("HH:mm:ss.zzz"));
    case Duration:
        return QString::number(record.durationUs / 1000.0, 'f', 1);
    case Port:
        return record.port;
    case Command:
        return command(record.kind);
    case Table: {
        if (!addressed)
            return QString();
        const TableSpec *table = TableCatalogue::find(record.table);
        return table ? QStringLiteral("%1 %2")
                           .arg(record.table)
                           .arg(TableCatalogue::caption(record.table))
                     : QString::number(record.table);
    }
    case Row:
        return addressed ? QString::number(record.row) : QString();
    case Field:
        return addressed && record.field > 0 ? QString::number(record.field) : QString();
    case Code:
        return QString::number(record.result);
    case Meaning:
        return oneCell(meaning(record));
    case Retries:
        return record.retries > 0 ? QString::number(record.retries) : QString();
    case Request:
        return hex(record.request);
    case Answer:
        return hex(record.answer);
    }
    return QString();
}

QString headerLine()
{
    return headers().join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString line(const ExchangeRecord &record)
{
    QStringList columns;
    for (int column = 0; column < ColumnCount; ++column)
        columns << text(record, column);
    return columns.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

} // namespace ExchangeText
