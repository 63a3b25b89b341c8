#include "cellmarks.h"
#include "logcapture.h"
#include "streamintscanner.h"
#include "tableeditors.h"
#include "tabletestsupport.h"

#include <QTextCodec>
#include <QtTest>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QString goodsHeader = u("\"Название\";\"Штрихкод\";\"Цена\";\"Система "
                              "налогообложения\";\"Номер налога\";\"Секция\";\"Флаги\"");

QString suffixFor(int table, bool csv)
{
    return table == 1 && csv ? ".csv" : ".txt";
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void clearMarks(QTableWidget &grid)
{
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            if (QTableWidgetItem *cell = grid.item(row, column))
                CellMarks::setWeight(*cell, CellMarks::unchangedWeight);
        }
    }
}

} // namespace

class TestTableFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8")); }
    void integersAsTheTextStreamReads_data();
    void integersAsTheTextStreamReads();
    void load_data();
    void load();
    void quotesInCsvValues();
    void refusedSave_data();
    void refusedSave();
    void windows1251File_data();
    void windows1251File();
};

void TestTableFiles::integersAsTheTextStreamReads_data()
{
    QTest::addColumn<QString>("line");
    for (const char *line :
         {"1\t2\t64\ttext", "  +7 -8\t 9x", "0x1F\t0b101\t017\trest", "0X1f\t0B\t0A x", "08\t09\t0",
          "0x\tz", "0xg1 2", "- 5 6", "-x", "-0x5", "4294967297\t99999999999999999999999\t1", "abc",
          "", "0b2", "٣4 5 6", "1\t2"}) {
        QTest::newRow(line) << u(line);
    }
}

void TestTableFiles::integersAsTheTextStreamReads()
{
    QFETCH(QString, line);

    QString streamed = line;
    QTextStream stream(&streamed, QIODevice::ReadOnly);
    int expected[3] = {-1, -1, -1};
    stream >> expected[0] >> expected[1] >> expected[2];
    const QString expectedRest = stream.readAll();

    StreamIntScanner scanner(line);
    for (int number : expected)
        QCOMPARE(scanner.readInt(), number);
    QCOMPARE(scanner.rest(), expectedRest);
}

void TestTableFiles::load_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("changed");
    QTest::addColumn<QString>("logLine");

    // Each file is loaded over the grid of a first, valid file (see load()).
    const QString sections = u("А,1|Б,2");
    QTest::newRow("generic: another table") << 6 << "5\n1\t1\t20\tX\n"
                                            << -90 << sections << ""
                                            << "";
    QTest::newRow("generic: empty file") << 6 << "" << -90 << sections << ""
                                         << "";
    QTest::newRow("generic: table number in octal") << 6 << "06\n1\t1\t20\tX\n"
                                                    << 0 << u("X,1|Б,2") << "0/0"
                                                    << "";
    QTest::newRow("generic: short line") << 6 << "6\n1\t1\t20\tX\n1\t2\n2\t1\t20\tY\n"
                                         << -97 << u("X,1|Б,2") << "0/0"
                                         << "";
    QTest::newRow("generic: CR LF, empty lines") << 6 << "6\r\n\r\n2\t2\t1\t7\r\n"
                                                 << 0 << u("А,1|Б,7") << "1/1"
                                                 << "";
    QTest::newRow("generic: same text") << 6 << u("6\n1\t1\t20\tА") << 0 << sections << ""
                                        << "";
    QTest::newRow("generic: empty text grows the grid") << 6 << "6\n3\t1\t2\t\n"
                                                        << 0 << u("А,1|Б,2|,~") << "2/0"
                                                        << "";
    QTest::newRow("generic: field past the columns") << 6 << "6\n1\t9\t1\tX\n2\t1\t20\tY\n"
                                                     << 0 << u("А,1|Y,2") << "1/0"
                                                     << "";
    QTest::newRow("generic: field 0") << 6 << "6\n1\t0\t1\tX\n"
                                      << -97 << sections << ""
                                      << "";
    QTest::newRow("generic: negative row") << 6 << "6\n-1\t1\t1\tX\n"
                                           << -97 << sections << ""
                                           << "";
    QTest::newRow("generic: row above 65535") << 6 << "6\n65536\t1\t1\tX\n"
                                              << -97 << sections << ""
                                              << "";
    QTest::newRow("generic: row cut to 32 bits") << 6 << "6\n4294967297\t1\t20\tX\n"
                                                 << 0 << u("X,1|Б,2") << "0/0"
                                                 << "";
    QTest::newRow("generic: width above 255") << 6 << "6\n1\t1\t256\tX\n"
                                              << -97 << sections << ""
                                              << "";
    QTest::newRow("generic: negative width") << 6 << "6\n1\t1\t-1\tX\n"
                                             << -97 << sections << ""
                                             << "";
    QTest::newRow("generic: hexadecimal and binary") << 6 << "6\n0x2\t0b10\t01\t9\n"
                                                     << 0 << u("А,1|Б,9") << "1/1"
                                                     << "";
    QTest::newRow("generic: TAB inside the text") << 6 << "6\n1\t1\t20\t\tX\tY\n"
                                                  << 0 << u("\tX\tY,1|Б,2") << "0/0"
                                                  << "";

    const QString settings = u("1,1 BCD,5|2,2 BIN,300");
    QTest::newRow("settings: first line not 2") << 2 << "3\n1\t1\t1\t7\n"
                                                << -97 << settings << ""
                                                << "";
    QTest::newRow("settings: value as the field shows it") << 2 << "2\n1\t1\t2\t007\n"
                                                           << 0 << u("1,2 BCD,7|2,2 BIN,300") << ""
                                                           << "";
    QTest::newRow("settings: type code 0") << 2 << "2\n1\t0\t1\t7\n"
                                           << -97 << settings << ""
                                           << "";
    QTest::newRow("settings: unknown type code") << 2 << "2\n1\t9\t1\t7\n"
                                                 << -260 << settings << ""
                                                 << "";
    QTest::newRow("settings: field 0") << 2 << "2\n0\t1\t1\t7\n"
                                       << -97 << settings << ""
                                       << "";
    QTest::newRow("settings: field above 255") << 2 << "2\n256\t1\t1\t7\n"
                                               << -97 << settings << ""
                                               << "";
    QTest::newRow("settings: width above 255") << 2 << "2\n1\t1\t256\t7\n"
                                               << -97 << settings << ""
                                               << "";
    QTest::newRow("settings: field 4 grows the grid") << 2 << "2\n4\t1\t1\t7\n"
                                                      << 0 << settings + u("|~,~,~|4,1 BCD,7") << ""
                                                      << "";
    QTest::newRow("settings: rejected value") << 2 << "2\n1\t1\t1\t8\n2\t2\t1\t300\n"
                                              << -97 << u("1,1 BCD,8|2,2 BIN,300") << ""
                                              << "";

    const QString goods = u("A,1,1.00,1,1,1,1|B,2,2.00,1,1,1,2");
    const QString goodsFile = u("Таблица товаров\n") + goodsHeader + '\n';
    QTest::newRow("csv: table header") << 1 << u("Товары\n") + goodsHeader << -97 << goods << ""
                                       << "QMyTable1Widget::load Bad csv table header";
    QTest::newRow("csv: column header")
        << 1 << u("Таблица товаров\n\"Название\";\"Цена\"\n") << -97 << goods << ""
        << "QMyTable1Widget::load Bad columns header";
    QTest::newRow("csv: first line only") << 1 << u("Таблица товаров\n") << -97 << goods << ""
                                          << "QMyTable1Widget::load Bad columns header";
    QTest::newRow("csv: two unquoted headers, three parts")
        << 1 << u("Таблица товаров\nНазвание;Штрихкод\n\"C\";\"3\";\"3.00\"\n") << 0
        << "C,3,3.00,,,,"
        << "0/0,0/1,0/2,0/3,0/4,0/5,0/6"
        << "";
    QTest::newRow("csv: short line keeps the row count")
        << 1 << goodsFile + "\"A\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"9\"\nabc\n"
        << -97 << "A,1,1.00,1,1,1,9|B,2,2.00,1,1,1,2"
        << "0/6"
        << "QMyTable1Widget::load Line too short";
    QTest::newRow("csv: empty line") << 1 << goodsFile + "\n\"A\"\n"
                                     << -97 << goods << ""
                                     << "QMyTable1Widget::load Line too short";
    QTest::newRow("csv: semicolon splits a value")
        << 1 << goodsFile + "\"X;Y\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"1\";\"extra\"\n"
        << 0 << "X,Y,1,1.00,1,1,1"
        << "0/0,0/1,0/2,0/3"
        << "";
    QTest::newRow("csv: no records") << 1 << goodsFile << 0 << ""
                                     << ""
                                     << "";
}

void TestTableFiles::load()
{
    QFETCH(int, table);
    QFETCH(QString, file);
    QFETCH(int, result);
    QFETCH(QString, grid);
    QFETCH(QString, changed);
    QFETCH(QString, logLine);

    const QMap<int, QString> firstFiles{
        {6, u("6\n1\t1\t20\tА\n1\t2\t1\t1\n2\t1\t20\tБ\n2\t2\t1\t2\n")},
        {2, u("2\n1\t1\t1\t5\n2\t2\t2\t300\n")},
        {1, u("Таблица товаров\n") + goodsHeader +
                u("\n\"A\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"1\"\n"
                  "\"B\";\"2\";\"2.00\";\"1\";\"1\";\"1\";\"2\"\n")}};
    QTemporaryDir directory;
    const QString path = directory.filePath("table" + suffixFor(table, true));
    const auto editor = makeEditor(table);
    writeFile(path, firstFiles[table].toUtf8());
    QCOMPARE(editor->loadFromFile(path), 0);
    clearMarks(*editor);

    writeFile(path, file.toUtf8());
    LogCapture log;
    QCOMPARE(editor->loadFromFile(path), result);
    QCOMPARE(gridText(*editor), grid);
    QCOMPARE(changedCells(*editor), changed);
    if (!logLine.isEmpty())
        QVERIFY2(log.contains(logLine), qPrintable(log.lines().join('\n')));
}

void TestTableFiles::quotesInCsvValues()
{
    QTemporaryDir directory;
    const QString path = directory.filePath("goods.csv");
    QMyTable1Widget editor;
    const QStringList names{u("Конфеты \"Мишка\""), u("\"Начало"), u("\""), u("\"\""), u("")};
    editor.setRowCount(names.size());
    for (int row = 0; row < names.size(); ++row) {
        for (int column = 0; column < editor.columnCount(); ++column)
            editor.setItem(row, column, new QTableWidgetItem(column ? "1" : names[row], 1));
    }
    const QString before = gridText(editor);
    QCOMPARE(editor.saveToFile(path), 0);
    QMyTable1Widget loaded;
    QCOMPARE(loaded.loadFromFile(path), 0);
    QCOMPARE(gridText(loaded), before);
    QCOMPARE(editor.loadFromFile(path), 0);
    QCOMPARE(changedCells(editor), QString());
}

void TestTableFiles::refusedSave_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logLine");

    // An empty text stands for a missing cell.
    QTest::newRow("csv: semicolon") << 1 << true << "a;b"
                                    << "QMyTable1Widget::save Separator or line break in the "
                                       "value of row 2 field 3";
    QTest::newRow("csv: line break") << 1 << true << "a\nb"
                                     << "row 2 field 3";
    QTest::newRow("csv: missing cell") << 1 << true << ""
                                       << "";
    QTest::newRow("generic: line break") << 5 << false << "a\r\nb"
                                         << "row 2 field 1";
    QTest::newRow("generic: missing cell") << 5 << false << ""
                                           << "";
    QTest::newRow("settings: line break") << 2 << false << "a\nb"
                                          << "field 2";
    QTest::newRow("settings: missing cell") << 2 << false << ""
                                            << "";
}

void TestTableFiles::refusedSave()
{
    QFETCH(int, table);
    QFETCH(bool, csv);
    QFETCH(QString, text);
    QFETCH(QString, logLine);

    ScriptedProtocol protocol;
    protocol.rows = sampleRows(table, 3);
    const auto editor = makeEditor(table);
    QCOMPARE(editor->readTable(protocol), 0);
    QTemporaryDir directory;
    const QString path = directory.filePath("table" + suffixFor(table, csv));
    QCOMPARE(editor->saveToFile(path), 0);
    const QByteArray saved = readFile(path);

    const int column = table == 1 ? 2 : (table == 2 ? 2 : 0);
    if (text.isEmpty())
        delete editor->takeItem(1, column);
    else
        editor->item(1, column)->setText(text);
    LogCapture log;
    QCOMPARE(editor->saveToFile(path), -97);
    QCOMPARE(readFile(path), saved);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files).size(), 1);
    if (!logLine.isEmpty())
        QVERIFY2(log.lines().filter(logLine).size() == 1, qPrintable(log.lines().join('\n')));
}

void TestTableFiles::windows1251File_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("grid");

    QTest::newRow("generic") << 5 << u("5\n1\t1\t40\tСпасибо за покупку! «№1»\n")
                             << u("Спасибо за покупку! «№1»");
    QTest::newRow("csv") << 1 << u("Таблица товаров\n") + goodsHeader + u("\n\"Хлеб\"\n")
                         << u("Хлеб,,,,,,");
}

void TestTableFiles::windows1251File()
{
    QFETCH(int, table);
    QFETCH(QString, file);
    QFETCH(QString, grid);

    QTemporaryDir directory;
    const QString path = directory.filePath("table" + suffixFor(table, true));
    writeFile(path, QTextCodec::codecForName("Windows-1251")->fromUnicode(file));
    const auto editor = makeEditor(table);
    QCOMPARE(editor->loadFromFile(path), 0);
    QCOMPARE(gridText(*editor), grid);
}

QTEST_MAIN(TestTableFiles)
#include "tst_tablefiles.moc"
