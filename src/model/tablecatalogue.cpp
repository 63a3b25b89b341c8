#include "tablecatalogue.h"

#include "fieldtypes.h"

namespace {

ColumnSpec column(const char *header, int type, int pixelWidth = 0)
{
    return {QString::fromUtf8(header), type, pixelWidth, false};
}

ColumnSpec hiddenColumn(int type)
{
    return {QString(), type, 0, true};
}

QVector<TableSpec> buildCatalogue()
{
    const auto caption = [](const char *text) { return QString::fromUtf8(text); };
    return {
        {1,
         1,
         caption("База товаров "),
         7,
         {column("Название", FIELD_STR), column("Штрихкод", FIELD_BCD),
          column("Цена", FIELD_CURRENCY_BCD), column("Система налогообложения", FIELD_BIN, 170),
          column("Номер налога", FIELD_BIN), column("Секция", FIELD_BIN),
          column("Флаги", FIELD_BIN)}},
        // Settings: one grid row per field of register row 1; the columns are
        // not fields, and the field types follow fieldType().
        {2,
         2,
         caption("Настройки"),
         0,
         {column("Поле", 0), column("Тип", 0), column("Значение", 0)}},
        {3,
         3,
         caption("Пользователи и пароли"),
         2,
         {column("Пароль", FIELD_BCD), column("Имя", FIELD_STR, 200)}},
        {4, 4, caption("Скидки/наценки"), 1, {column("Режим работы", FIELD_BCD)}},
        {5, 6, caption("Текст в чеке"), 1, {column("Строка клише/рекламы", FIELD_STR, 400)}},
        {6,
         7,
         caption("Наименование секций"),
         2,
         {column("Наименование секции", FIELD_STR), column("Номер налога", FIELD_BCD)}},
        {7,
         13,
         caption("Налоговые ставки"),
         3,
         {column("Название налога", FIELD_STR, 120), column("Ставка налога", FIELD_BCD),
          column("Тег налога", FIELD_BIN)},
         false},
        {8,
         12,
         caption("Типы оплаты"),
         1,
         {column("Наименование типа оплаты", FIELD_STR, 300)},
         false},
        {9,
         15,
         caption("Реквизиты ЕГАИС"),
         4,
         {column("ИНН", FIELD_BCD, 120), column("КПП", FIELD_BCD, 120),
          column("Адрес предприятия торговли", FIELD_STR, 200),
          column("Наименование предприятия торговли", FIELD_STR, 200)}},
        // GSM/Wi-Fi: one grid row, a column per register row (its field 1).
        {11,
         17,
         caption("Настройки GSM/WiFi"),
         8,
         {column("Конфигурационная\nстрока", FIELD_STR, 150),
          column("Имя пользователя", FIELD_STR, 150), column("Пароль", FIELD_STR),
          column("Режим Wi-Fi", FIELD_BIN_FIRST_OF_32), column("Имя точки доступа", FIELD_STR, 150),
          column("Пароль точки\nдоступа", FIELD_STR, 150),
          column("Номер канала WiFi\nв режиме точки доступа", FIELD_BIN_FIRST_OF_32, 150),
          column("Тип шифрования", FIELD_BIN_FIRST_OF_32)}},
        {12,
         19,
         caption("Настройки ОФД"),
         8,
         {column("Адрес ОФД", FIELD_STR), column("Порт", FIELD_BIN), column("DNS ОФД", FIELD_BIN),
          column("Канал обмена с ОФД", FIELD_BIN, 150), hiddenColumn(FIELD_BIN),
          hiddenColumn(FIELD_STR), hiddenColumn(FIELD_STR),
          column("Адрес сайта ФНС", FIELD_STR, 200)}},
    };
}

bool isBinarySettingsField(int field)
{
    switch (field) {
    case 3:
    case 4:
    case 12:
    case 25:
    case 29:
    case 38:
    case 39:
    case 42:
        return true;
    default:
        return false;
    }
}

} // namespace

namespace TableCatalogue {

const QVector<TableSpec> &tables()
{
    static const QVector<TableSpec> catalogue = buildCatalogue();
    return catalogue;
}

const TableSpec *find(int table)
{
    for (const TableSpec &entry : tables()) {
        if (entry.number == table)
            return &entry;
    }
    return nullptr;
}

QVector<int> numbers()
{
    QVector<int> numbers;
    for (const TableSpec &entry : tables())
        numbers << entry.number;
    return numbers;
}

QString caption(int table)
{
    const TableSpec *entry = find(table);
    return entry ? entry->caption.trimmed() : QString::number(table);
}

bool isWritable(int table)
{
    const TableSpec *entry = find(table);
    return entry && entry->writable;
}

QVector<int> goodsCsvFieldWidths()
{
    return {64, 8, 8, 1, 1, 1, 1};
}

} // namespace TableCatalogue

int fieldCount(int table)
{
    const TableSpec *entry = TableCatalogue::find(table);
    return entry ? entry->fieldCount : 0;
}

int fieldType(int table, int field)
{
    if (table == 2) {
        if (field < 1)
            return 0;
        return isBinarySettingsField(field) ? FIELD_BIN : FIELD_BCD;
    }
    const TableSpec *entry = TableCatalogue::find(table);
    if (!entry || field < 1 || field > entry->fieldCount)
        return 0;
    return entry->columns.at(field - 1).fieldType;
}
