#include "tableseed.h"

#include "registertext.h"

#include <QStringList>

using RegisterText::Scheme;

namespace TableSeed {

namespace {

QByteArray bcd(quint64 value, int width)
{
    QByteArray bytes(width, '\0');
    for (int i = width - 1; i >= 0; --i) {
        bytes[i] = char((value % 10) | ((value / 10 % 10) << 4));
        value /= 100;
    }
    return bytes;
}

QByteArray binary(quint64 value, int width)
{
    QByteArray bytes(width, '\0');
    for (int i = width - 1; i >= 0; --i) {
        bytes[i] = char(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

// A binary value in the first byte of a 32-byte field, the rest blanks.
QByteArray firstOf32(quint8 value)
{
    QByteArray bytes(32, ' ');
    bytes[0] = char(value);
    return bytes;
}

enum class Kind
{
    Bcd,
    Binary,
    GeneralText,
    MixedText,
};

struct Column
{
    int width;
    Kind kind;
};

QByteArray encodeValue(const QString &value, const Column &column)
{
    switch (column.kind) {
    case Kind::Bcd:
        return bcd(value.toULongLong(), column.width);
    case Kind::Binary:
        return binary(value.toULongLong(), column.width);
    case Kind::GeneralText:
        return RegisterText::encode(value, Scheme::General, column.width);
    case Kind::MixedText:
        return RegisterText::encode(value, Scheme::Mixed, column.width);
    }
    return QByteArray();
}

// A table whose rows are given as texts, numbers in decimal.
RegisterTable makeTable(const QVector<Column> &columns, const QVector<QStringList> &rows)
{
    QVector<RegisterTable::Field> fields;
    for (const Column &column : columns) {
        fields.append(RegisterTable::Field{column.width, column.kind == Kind::GeneralText
                                                             ? RegisterTable::Layout::GeneralText
                                                             : RegisterTable::Layout::AsStored});
    }
    RegisterTable table(fields, rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        for (int field = 0; field < columns.size(); ++field)
            table.writeField(row + 1, field + 1, encodeValue(rows[row][field], columns[field]));
    }
    return table;
}

struct Product
{
    const char *name;
    quint64 price; // kopecks
    quint8 taxNumber;
    quint8 section;
    quint8 flags;
};

const Product DemoProducts[] = {
    {"ХЛЕБ БЕЛЫЙ НАРЕЗНОЙ 400Г", 5490, 2, 4, 0},
    {"МОЛОКО 3,2% 1Л", 8990, 2, 3, 0},
    {"КЕФИР 1% 900Г", 7450, 2, 3, 0},
    {"САХАР ПЕСОК 1КГ", 7990, 2, 2, 0},
    {"МАСЛО СЛИВОЧНОЕ 82,5% 180Г", 18990, 2, 3, 0},
    {"СЫР РОССИЙСКИЙ 200Г", 21900, 2, 3, 0},
    {"ЯЙЦО КУРИНОЕ С1 10ШТ", 11990, 2, 1, 0},
    {"ГРЕЧКА ЯДРИЦА 900Г", 9990, 2, 2, 0},
    {"РИС КРУГЛОЗЕРНЫЙ 800Г", 10490, 2, 2, 0},
    {"МАКАРОНЫ РОЖКИ 450Г", 6990, 2, 2, 0},
    {"ЧАЙ ЧЕРНЫЙ 100 ПАК.", 24990, 1, 2, 0},
    {"КОФЕ МОЛОТЫЙ 250Г", 45900, 1, 2, 0},
    {"ВОДА МИНЕРАЛЬНАЯ 1,5Л", 6490, 1, 5, 0},
    {"СОК ЯБЛОЧНЫЙ 1Л", 12990, 1, 5, 0},
    {"ПИВО СВЕТЛОЕ 0,5Л", 9990, 1, 6, 1},
    {"ШОКОЛАД МОЛОЧНЫЙ 90Г", 8990, 1, 13, 0},
    {"ПЕЧЕНЬЕ ОВСЯНОЕ 300Г", 11490, 1, 13, 0},
    {"КОЛБАСА ДОКТОРСКАЯ 500Г", 38990, 1, 11, 0},
    {"ПАКЕТ ФАСОВОЧНЫЙ", 350, 1, 16, 0},
    {"СПИЧКИ", 1290, 1, 9, 0},
};
constexpr int DemoProductCount = int(sizeof(DemoProducts) / sizeof(DemoProducts[0]));

constexpr int GoodsNameWidth = 64;
constexpr quint8 GeneralTaxSystem = 1;

// EAN-13 with the Russian prefix and its check digit.
quint64 barcode(int record)
{
    const quint64 base = 460123400000ull + quint64(record);
    int sum = 0;
    quint64 digits = base;
    for (int position = 12; position >= 1; --position, digits /= 10)
        sum += int(digits % 10) * (position % 2 == 0 ? 3 : 1);
    return base * 10 + quint64((10 - sum % 10) % 10);
}

// Records beyond the demo list repeat it with the record number after the
// name, so any number of records up to 65,535 is built in one cheap pass.
RegisterTable goodsTable(int count)
{
    RegisterTable table({{GoodsNameWidth}, {8}, {8}, {1}, {1}, {1}, {1}}, count);
    QVector<QByteArray> names;
    QVector<int> nameLengths;
    for (const Product &product : DemoProducts) {
        const QString name = QString::fromUtf8(product.name);
        names.append(RegisterText::encode(name, Scheme::Capitals, GoodsNameWidth));
        nameLengths.append(name.size());
    }
    for (int record = 1; record <= count; ++record) {
        const int index = (record - 1) % DemoProductCount;
        const Product &product = DemoProducts[index];
        QByteArray name = names[index];
        if (record > DemoProductCount) {
            const QByteArray suffix = ' ' + QByteArray::number(record);
            name.replace(nameLengths[index], suffix.size(), suffix);
        }
        table.writeField(record, 1, name);
        table.writeField(record, 2, bcd(barcode(record), 8));
        table.writeField(record, 3, bcd(product.price + quint64(record / DemoProductCount), 8));
        table.writeField(record, 4, binary(GeneralTaxSystem, 1));
        table.writeField(record, 5, binary(product.taxNumber, 1));
        table.writeField(record, 6, binary(product.section, 1));
        table.writeField(record, 7, binary(product.flags, 1));
    }
    return table;
}

// Register row 1 of the settings table: width and value of fields 1 to 60.
struct Setting
{
    int width;
    quint32 value;
};

const Setting SettingsRow[] = {
    {1, 1}, {1, 0},   {1, 2}, {1, 30}, {1, 1},    {1, 0}, {2, 1}, {1, 1}, {1, 0},   {1, 0},
    {1, 1}, {2, 600}, {1, 0}, {1, 1},  {1, 2},    {1, 0}, {1, 0}, {1, 1}, {1, 0},   {3, 1},
    {1, 1}, {1, 0},   {1, 0}, {1, 3},  {1, 8},    {1, 0}, {1, 1}, {1, 0}, {2, 250}, {1, 0},
    {1, 1}, {1, 1},   {1, 0}, {1, 0},  {2, 15},   {1, 0}, {1, 1}, {1, 2}, {1, 5},   {1, 0},
    {1, 0}, {4, 0},   {1, 1}, {1, 0},  {1, 0},    {1, 2}, {1, 0}, {1, 1}, {1, 0},   {1, 0},
    {1, 6}, {1, 0},   {1, 0}, {1, 1},  {2, 1200}, {1, 0}, {1, 0}, {1, 1}, {1, 0},   {1, 0},
};

bool isBinarySetting(int field)
{
    for (int binaryField : {3, 4, 12, 25, 29, 38, 39, 42}) {
        if (field == binaryField)
            return true;
    }
    return false;
}

RegisterTable settingsTable()
{
    QVector<RegisterTable::Field> fields;
    for (const Setting &setting : SettingsRow)
        fields.append(RegisterTable::Field{setting.width});
    RegisterTable table(fields, 1);
    for (int field = 1; field <= fields.size(); ++field) {
        const Setting &setting = SettingsRow[field - 1];
        table.writeField(1, field,
                         isBinarySetting(field) ? binary(setting.value, setting.width)
                                                : bcd(setting.value, setting.width));
    }
    return table;
}

QStringList row(std::initializer_list<const char *> values)
{
    QStringList texts;
    for (const char *value : values)
        texts.append(QString::fromUtf8(value));
    return texts;
}

RegisterTable usersTable()
{
    return makeTable({{4, Kind::Bcd}, {24, Kind::GeneralText}},
                     {row({"1", "Кассир 1"}), row({"2", "Кассир 2"}), row({"3", "Кассир 3"}),
                      row({"4", "Кассир 4"}), row({"5", "Кассир 5"}), row({"6", "Кассир 6"}),
                      row({"7", "Кассир 7"}), row({"8", "Старший кассир"}),
                      row({"29", "Администратор"}), row({"30", "Системный администратор"})});
}

RegisterTable discountsTable()
{
    return makeTable({{1, Kind::Bcd}}, {row({"1"}), row({"0"})});
}

RegisterTable receiptTextTable()
{
    return makeTable({{40, Kind::GeneralText}},
                     {row({"         ООО \"Ромашка\""}), row({"г. Москва, ул. Тверская, д. 7"}),
                      row({"     Добро пожаловать!"}), row({"   Спасибо за покупку!"}),
                      row({"   Скидки до 30% по средам"}), row({""})});
}

RegisterTable sectionsTable()
{
    return makeTable(
        {{20, Kind::GeneralText}, {1, Kind::Bcd}},
        {row({"Продукты", "1"}), row({"Бакалея", "1"}), row({"Молочная продукция", "2"}),
         row({"Хлеб", "2"}), row({"Напитки", "1"}), row({"Алкоголь", "1"}), row({"Табак", "1"}),
         row({"Бытовая химия", "1"}), row({"Хозтовары", "1"}), row({"Овощи и фрукты", "2"}),
         row({"Кулинария", "1"}), row({"Заморозка", "1"}), row({"Кондитерские изделия", "1"}),
         row({"Детские товары", "2"}), row({"Услуги", "6"}), row({"Прочее", "1"})});
}

RegisterTable paymentTypesTable()
{
    return makeTable({{24, Kind::GeneralText}},
                     {row({"Наличные"}), row({"Безналичные"}), row({"Предоплата (аванс)"}),
                      row({"Постоплата (кредит)"}), row({"Встречное предоставление"})});
}

RegisterTable taxRatesTable()
{
    return makeTable({{20, Kind::GeneralText}, {2, Kind::Bcd}, {2, Kind::Binary}},
                     {row({"НДС 20%", "2000", "1102"}), row({"НДС 10%", "1000", "1103"}),
                      row({"НДС 20/120", "2000", "1106"}), row({"НДС 10/110", "1000", "1107"}),
                      row({"НДС 0%", "0", "1104"}), row({"Без НДС", "0", "1105"})});
}

RegisterTable alcoholRequisitesTable()
{
    return makeTable(
        {{6, Kind::Bcd}, {5, Kind::Bcd}, {64, Kind::GeneralText}, {64, Kind::GeneralText}},
        {row({"7701234567", "770101001", "г. Москва, ул. Тверская, д. 7", "ООО \"Ромашка\""})});
}

// One field per row; rows 4, 7 and 8 hold one-byte values in 32-byte fields.
RegisterTable wirelessTable()
{
    const auto text = [](const char *value) {
        return RegisterText::encode(QString::fromUtf8(value), Scheme::Mixed, 32);
    };
    const QByteArray rows[] = {
        text("AT+CGDCONT=1,\"IP\",\"internet\""), // modem configuration string
        text("gdata"),                            // user name
        text("gdata"),                            // password
        firstOf32(1),                             // Wi-Fi mode: client
        text("Magazin-WiFi"),                     // access point name
        text("12345678"),                         // access point password
        firstOf32(6),                             // channel in access point mode
        firstOf32(3),                             // encryption: WPA2
    };
    RegisterTable table({{32}}, int(sizeof(rows) / sizeof(rows[0])));
    for (int index = 0; index < table.rowCount(); ++index)
        table.writeField(index + 1, 1, rows[index]);
    return table;
}

// Address, port, DNS in use, exchange channel, reserved, operator name, its
// taxpayer number, the tax service's site.
RegisterTable dataOperatorTable()
{
    return makeTable(
        {{64, Kind::MixedText},
         {2, Kind::Binary},
         {1, Kind::Binary},
         {1, Kind::Binary},
         {1, Kind::Binary},
         {64, Kind::GeneralText},
         {12, Kind::GeneralText},
         {64, Kind::MixedText}},
        {row({"ofd.example.ru", "7777", "1", "2", "0", "ООО \"Оператор фискальных данных\"",
              "7700000000", "www.nalog.gov.ru"})});
}

} // namespace

Tables build(int goodsCount)
{
    Tables tables;
    tables.emplace(Goods, goodsTable(goodsCount));
    tables.emplace(Settings, settingsTable());
    tables.emplace(Users, usersTable());
    tables.emplace(Discounts, discountsTable());
    tables.emplace(ReceiptText, receiptTextTable());
    tables.emplace(Sections, sectionsTable());
    tables.emplace(PaymentTypes, paymentTypesTable());
    tables.emplace(TaxRates, taxRatesTable());
    tables.emplace(AlcoholRequisites, alcoholRequisitesTable());
    tables.emplace(Wireless, wirelessTable());
    tables.emplace(DataOperator, dataOperatorTable());
    return tables;
}

} // namespace TableSeed
