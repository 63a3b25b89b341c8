#include "fieldtypes.h"
#include "tablecatalogue.h"

#include <QtTest>

class TestTableCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void fieldCounts_data();
    void fieldCounts();
    void fieldTypes_data();
    void fieldTypes();
    void tabOrderAndCaptions();
    void everyFieldHasAColumn();
    void visibleColumnsOfOfdTable();
};

void TestTableCatalogue::fieldCounts_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("count");
    const QList<QPair<int, int>> counts = {{1, 7}, {2, 0}, {3, 2}, {4, 1}, {5, 1}, {6, 2},  {7, 3},
                                           {8, 1}, {9, 4}, {10, 0}, {11, 8}, {12, 8}, {13, 0}, {0, 0}};
    for (const auto &c : counts)
        QTest::newRow(qPrintable(QString::number(c.first))) << c.first << c.second;
}

void TestTableCatalogue::fieldCounts()
{
    QFETCH(int, table);
    QFETCH(int, count);
    QCOMPARE(fieldCount(table), count);
}

void TestTableCatalogue::fieldTypes_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("type");

    QTest::newRow("goods name") << 1 << 1 << int(FIELD_STR);
    QTest::newRow("goods price") << 1 << 3 << int(FIELD_CURRENCY_BCD);
    QTest::newRow("goods flags") << 1 << 7 << int(FIELD_BIN);
    QTest::newRow("goods past end") << 1 << 8 << 0;
    QTest::newRow("settings binary") << 2 << 42 << int(FIELD_BIN);
    QTest::newRow("settings binary low") << 2 << 3 << int(FIELD_BIN);
    QTest::newRow("settings bcd") << 2 << 41 << int(FIELD_BCD);
    QTest::newRow("settings far") << 2 << 200 << int(FIELD_BCD);
    QTest::newRow("users name") << 3 << 2 << int(FIELD_STR);
    QTest::newRow("receipt field 2") << 5 << 2 << 0;
    QTest::newRow("tax tag") << 7 << 3 << int(FIELD_BIN);
    QTest::newRow("egais kpp") << 9 << 2 << int(FIELD_BCD);
    QTest::newRow("wifi mode") << 11 << 4 << int(FIELD_BIN_FIRST_OF_32);
    QTest::newRow("wifi ap password") << 11 << 6 << int(FIELD_STR);
    QTest::newRow("wifi encryption") << 11 << 8 << int(FIELD_BIN_FIRST_OF_32);
    QTest::newRow("wifi past end") << 11 << 9 << 0;
    QTest::newRow("ofd hidden binary") << 12 << 5 << int(FIELD_BIN);
    QTest::newRow("ofd site") << 12 << 8 << int(FIELD_STR);
    QTest::newRow("ofd past end") << 12 << 9 << 0;
    QTest::newRow("unknown table") << 10 << 1 << 0;
    QTest::newRow("field zero") << 3 << 0 << 0;
}

void TestTableCatalogue::fieldTypes()
{
    QFETCH(int, table);
    QFETCH(int, field);
    QFETCH(int, type);
    QCOMPARE(fieldType(table, field), type);
}

void TestTableCatalogue::tabOrderAndCaptions()
{
    QList<int> numbers;
    for (const TableSpec &spec : TableCatalogue::tables())
        numbers << spec.number;
    QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}));
    QCOMPARE(TableCatalogue::find(1)->caption, QString::fromUtf8("База товаров "));
    QCOMPARE(TableCatalogue::find(11)->caption, QString::fromUtf8("Настройки GSM/WiFi"));
    QVERIFY(TableCatalogue::find(10) == nullptr);
    const QVector<ColumnSpec> &gsm = TableCatalogue::find(11)->columns;
    for (int column : {0, 5, 6})
        QVERIFY(gsm.at(column).header.contains('\n'));
    QCOMPARE(gsm.at(6).header, QString::fromUtf8("Номер канала WiFi\nв режиме точки доступа"));
}

void TestTableCatalogue::everyFieldHasAColumn()
{
    for (const TableSpec &spec : TableCatalogue::tables()) {
        const int expected = spec.number == 2 ? 3 : spec.fieldCount;
        QCOMPARE(spec.columns.size(), expected);
    }
}

void TestTableCatalogue::visibleColumnsOfOfdTable()
{
    QStringList visible;
    for (const ColumnSpec &column : TableCatalogue::find(12)->columns) {
        if (!column.hidden)
            visible << column.header;
    }
    QCOMPARE(visible, QString::fromUtf8("Адрес ОФД|Порт|DNS ОФД|Канал обмена с ОФД|Адрес сайта ФНС")
                          .split('|'));
}

QTEST_APPLESS_MAIN(TestTableCatalogue)
#include "tst_tablecatalogue.moc"
