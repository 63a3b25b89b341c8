#include "fieldtypes.h"
#include "tablecatalogue.h"
#include "testdata.h"

class TestTableCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void fieldCounts_data()
    {
        columns<int, int>("table", "count");
        const QList<QPair<int, int>> counts = {{1, 7},  {2, 0},  {3, 2},  {4, 1}, {5, 1},
                                               {6, 2},  {7, 3},  {8, 1},  {9, 4}, {10, 0},
                                               {11, 8}, {12, 8}, {13, 0}, {0, 0}};
        for (const auto &[table, count] : counts)
            QTest::addRow("%d", table) << table << count;
    }

    void fieldCounts()
    {
        const auto [table, count] = fetch<int, int>("table", "count");
        QCOMPARE(fieldCount(table), count);
    }

    void fieldTypes_data()
    {
        columns<int, int, int>("table", "field", "type");
        const QList<std::array<int, 3>> types = {
            {1, 1, FIELD_STR},
            {1, 3, FIELD_CURRENCY_BCD},
            {1, 7, FIELD_BIN},
            {1, 8, 0},
            // Settings: binary fields listed, every other field BCD.
            {2, 3, FIELD_BIN},
            {2, 41, FIELD_BCD},
            {2, 42, FIELD_BIN},
            {2, 200, FIELD_BCD},
            {3, 0, 0},
            {3, 2, FIELD_STR},
            {7, 3, FIELD_BIN},
            {9, 2, FIELD_BCD},
            {10, 1, 0},
            {11, 4, FIELD_BIN_FIRST_OF_32},
            {11, 6, FIELD_STR},
            {11, 8, FIELD_BIN_FIRST_OF_32},
            {11, 9, 0},
            {12, 5, FIELD_BIN},
            {12, 8, FIELD_STR}};
        for (const auto &[table, field, type] : types)
            QTest::addRow("%d/%d", table, field) << table << field << type;
    }

    void fieldTypes()
    {
        const auto [table, field, type] = fetch<int, int, int>("table", "field", "type");
        QCOMPARE(fieldType(table, field), type);
    }

    void tabOrderAndCaptions()
    {
        QList<int> numbers;
        for (const TableSpec &entry : TableCatalogue::tables())
            numbers << entry.number;
        QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}));
        QCOMPARE(TableCatalogue::find(1)->caption, QString("База товаров "));
        QCOMPARE(TableCatalogue::find(11)->caption, QString("Настройки GSM/WiFi"));
        QVERIFY(TableCatalogue::find(10) == nullptr);
        const QVector<ColumnSpec> &gsm = TableCatalogue::find(11)->columns;
        for (int column : {0, 5, 6})
            QVERIFY(gsm.at(column).header.contains('\n'));
        QCOMPARE(gsm.at(6).header, QString("Номер канала WiFi\nв режиме точки доступа"));
    }

    void everyFieldHasAColumn()
    {
        for (const TableSpec &entry : TableCatalogue::tables())
            QCOMPARE(entry.columns.size(), entry.number == 2 ? 3 : entry.fieldCount);
    }

    void visibleColumnsOfOfdTable()
    {
        QStringList visible;
        for (const ColumnSpec &column : TableCatalogue::find(12)->columns) {
            if (!column.hidden)
                visible << column.header;
        }
        QCOMPARE(visible,
                 QString("Адрес ОФД|Порт|DNS ОФД|Канал обмена с ОФД|Адрес сайта ФНС").split('|'));
    }
};

QTEST_APPLESS_MAIN(TestTableCatalogue)
#include "tst_tablecatalogue.moc"
