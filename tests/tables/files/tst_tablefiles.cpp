#include "cellmarks.h"
#include "logcapture.h"
#include "memorytable.h"
#include "priceupdate.h"
#include "streamintscanner.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tablefile.h"
#include "tablelimits.h"
#include "tabletestsupport.h"
#include "testdata.h"

#include <KArchive>
#include <KArchiveDirectory>
#include <KArchiveFile>
#include <KZip>

#include <QBuffer>
#include <QTextCodec>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString goodsHeader = "\"Название\";\"Штрихкод\";\"Цена\";\"Система "
                            "налогообложения\";\"Номер налога\";\"Секция\";\"Флаги\"";

QString fileName(int table, bool csv)
{
    return table == 1 && csv ? "table.csv" : "table.txt";
}

// The lines before the data of a table's file (table 1 as CSV).
QByteArray fileHeader(int table)
{
    return table == 1 ? ("Таблица товаров\n" + goodsHeader + '\n').toUtf8()
                      : QByteArray::number(table) + '\n';
}

// A valid file of two rows, loaded before the file under test.
QByteArray firstFile(int table)
{
    const QMap<int, QByteArray> bodies{{6, "1\t1\t20\tА\n1\t2\t1\t1\n2\t1\t20\tБ\n2\t2\t1\t2\n"},
                                       {2, "1\t1\t1\t5\n2\t2\t2\t300\n"},
                                       {1, "\"A\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"1\"\n"
                                           "\"B\";\"2\";\"2.00\";\"1\";\"1\";\"1\";\"2\"\n"}};
    return fileHeader(table) + bodies.value(table);
}

// Everything a load may change in the grid: its rows, and each cell's text,
// width, weight and colour.
QString gridState(const QTableWidget &grid)
{
    QStringList state{QString::number(grid.rowCount())};
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            state << (cell ? QStringLiteral("%1/%2/%3/%4")
                                 .arg(cell->text())
                                 .arg(cell->type())
                                 .arg(cell->font().weight())
                                 .arg(cell->background().color().name())
                           : QStringLiteral("~"));
        }
    }
    return state.join(',');
}

// A zip archive of the parts, as a workbook is.
QByteArray zipped(const QMap<QString, QByteArray> &parts)
{
    QBuffer buffer;
    KZip zip(&buffer);
    zip.open(QIODevice::WriteOnly);
    for (auto part = parts.begin(); part != parts.end(); ++part)
        zip.writeFile(part.key(), part.value());
    zip.close();
    return buffer.data();
}

// A workbook whose first sheet by the workbook's order, not by its name, has
// the goods' captions (shared strings 0-6) and then the rows given. String 7
// is rich text with a phonetic hint.
QMap<QString, QByteArray> workbookParts(const QByteArray &rows, const QByteArray &prolog = {})
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                          "relationships\"";
    const QByteArray type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QByteArray strings = "<sst " + ns + ">";
    QByteArray header = "<row r=\"1\">";
    const QStringList captions = goodsHeader.split(';');
    for (int column = 0; column < captions.size(); ++column) {
        strings += "<si><t>" + captions[column].mid(1).chopped(1).toUtf8() + "</t></si>";
        header += QByteArray("<c r=\"") + char('A' + column) + "1\" t=\"s\"><v>" +
                  QByteArray::number(column) + "</v></c>";
    }
    strings += "<si><r><t>СОК </t></r><r><t>\"ДОБРЫЙ\"</t></r><rPh><t>ソク</t></rPh></si></sst>";
    const auto sheet = [&](const QByteArray &data) {
        return prolog + "<worksheet " + ns + "><sheetData>" + data + "</sheetData></worksheet>";
    };
    return {
        {"xl/workbook.xml", "<workbook " + ns +
                                "><sheets><sheet name=\"Товары\" r:id=\"rId2\"/>"
                                "<sheet name=\"Другой\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + type +
             "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
             "Type=\"" +
             type +
             "worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/><Relationship "
             "Id=\"rId3\" Type=\"" +
             type + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml", strings},
        {"xl/worksheets/sheet2.xml", sheet(header + "</row>" + rows)},
        {"xl/worksheets/sheet1.xml", sheet("<row><c t=\"inlineStr\"><is><t>X</t></is></c></row>")}};
}

// The archive with the part's uncompressed size, in its local and central
// headers, set to a small number: what a zip bomb declares.
QByteArray understated(QByteArray zip, const QByteArray &name)
{
    for (int at = zip.indexOf(name); at >= 0; at = zip.indexOf(name, at + 1)) {
        const int sizeAt = zip.mid(at - 30, 4) == "PK\x03\x04"   ? at - 30 + 22
                           : zip.mid(at - 46, 4) == "PK\x01\x02" ? at - 46 + 24
                                                                 : -1;
        if (sizeAt >= 0)
            zip.replace(sizeAt, 4, QByteArray("\xe8\x03\0\0", 4));
    }
    return zip;
}

// Opens and closes the pipe's writing end while a reader waits on it, so that
// a load stuck opening the pipe ends instead of hanging the test.
void releasePipeReaders(const QByteArray &path, const std::atomic_bool &done)
{
    while (!done) {
        const int end = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
        if (end >= 0)
            ::close(end);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Goods of three barcodes, the third twice, then two empty records.
MemoryTable priceGoods()
{
    const QStringList records{"ХЛЕБ\t4601234000017\t54.90\t1\t2\t1\t0",
                              "МОЛОКО\t4601234000024\t89.90\t1\t2\t1\t0",
                              "СЫР\t4601234000031\t219.00\t1\t2\t3\t0",
                              "СЫР 2\t4601234000031\t219.00\t1\t2\t3\t0",
                              "\t0\t0.00\t0\t0\t0\t0",
                              "\t0\t0.00\t0\t0\t0\t0"};
    MemoryTable goods(1);
    goods.setRowCount(records.size());
    for (int row = 0; row < records.size(); ++row) {
        const QStringList texts = records[row].split('\t');
        for (int column = 0; column < texts.size(); ++column)
            goods.setCell(row, column, texts[column],
                          TableCatalogue::goodsCsvFieldWidths()[column]);
    }
    return goods;
}

// "row:column=new" per change, then the unknown barcodes (line/barcode/record),
// the duplicates and the invalid values (line/column).
QString planText(const PriceUpdate &update)
{
    QStringList changes, unknown, duplicates, invalid;
    for (const PriceChange &change : update.changes())
        changes << QString("%1:%2=%3").arg(change.record).arg(change.column).arg(change.after);
    for (const PriceUnknown &entry : update.unknown())
        unknown << QString("%1/%2/%3").arg(entry.line).arg(entry.barcode).arg(entry.record);
    for (const PriceDuplicate &duplicate : update.duplicates())
        duplicates << duplicate.barcode;
    for (const PriceInvalid &entry : update.invalid())
        invalid << QString("%1/%2").arg(entry.line).arg(entry.column);
    return QStringList{changes.join(','), unknown.join(','), duplicates.join(','),
                       invalid.join(',')}
        .join('|');
}

} // namespace

class TestTableFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8")); }

    // The numbers read up to the first malformed one, and what follows them.
    void numbersOfALine_data()
    {
        columns<QString, QString, bool, QString>("line", "numbers", "wellFormed", "rest");
        const auto read = [](const char *line, const char *numbers, const char *rest = "") {
            QTest::newRow(line) << QString(line) << QString(numbers) << true << QString(rest);
        };
        const auto malformed = [](const char *line, const char *numbers = "") {
            QTest::newRow(line) << QString(line) << QString(numbers) << false << QString();
        };
        read("1\t2\t64\ttext", "1 2 64", "text");
        read("  +7\t -8\t\t\t9", "7 -8 9");
        read("0x1F\t0b101\t017\t\trest", "31 5 15", "\trest");
        read("0X1f\t0B11\t00", "31 3 0");
        read("08\t09\t0\t", "8 9 0");
        read("1\t2\t\tX", "1 2 0", "X");
        read("Таблица", "0 0 0", "Таблица");
        read("", "0 0 0");
        read("٣4\t5\t6", "34 5 6");
        read("2147483647\t-2147483648\t0x7fffffff", "2147483647 -2147483648 2147483647");
        malformed("1e9");
        malformed("1\t2\t1e9\tX", "1 2");
        malformed("1 2 3 text");
        malformed("4294967297\t1\t1");
        malformed("2147483648");
        malformed("-2147483649");
        malformed("0x80000000");
        malformed("0x\tz");
        malformed("0b2");
        malformed("018");
        malformed("-0x5");
        malformed("- 5");
        malformed("+");
    }

    void numbersOfALine()
    {
        const auto [line, numbers, wellFormed, rest] =
            fetch<QString, QString, bool, QString>("line", "numbers", "wellFormed", "rest");
        StreamIntScanner scanner(line);
        QStringList read;
        bool ok = true;
        for (int count = 0; count < 3 && ok; ++count) {
            int value = -1;
            ok = scanner.readInt(value);
            if (ok)
                read << QString::number(value);
        }
        QCOMPARE(read.join(' '), numbers);
        QCOMPARE(ok, wellFormed);
        if (ok)
            QCOMPARE(scanner.rest(), rest);
    }

    // Each file is loaded over the grid of a first, valid file (see load()).
    void load_data()
    {
        columns<int, QString, int, QString, QString, QString>("table", "file", "result", "grid",
                                                              "changed", "logLine");
        const auto row = [](const char *name, int table, const QString &file, int result,
                            const QString &grid, const char *changed = "",
                            const char *logLine = "") {
            QTest::newRow(name) << table << file << result << grid << QString(changed)
                                << QString(logLine);
        };
        const QString sections = "А,1|Б,2";
        row("generic: another table", 6, "5\n1\t1\t20\tX\n", -90, sections);
        row("generic: empty file", 6, "", -90, sections);
        row("generic: table number in octal", 6, "06\n1\t1\t20\tX\n", 0, "X,1|Б,2", "0/0");
        row("generic: CR LF, empty lines", 6, "6\r\n\r\n2\t2\t1\t7\r\n", 0, "А,1|Б,7", "1/1");
        row("generic: same text", 6, "6\n1\t1\t20\tА", 0, sections);
        row("generic: empty text grows the grid", 6, "6\n3\t1\t2\t\n", 0, "А,1|Б,2|,~", "2/0");
        row("generic: field past the columns", 6, "6\n1\t9\t1\tX\n2\t1\t20\tY\n", 0, "А,1|Y,2",
            "1/0");
        row("generic: field 0", 6, "6\n1\t0\t1\tX\n", -97, sections);
        row("generic: negative row", 6, "6\n-1\t1\t1\tX\n", -97, sections);
        row("generic: row above 65535", 6, "6\n65536\t1\t1\tX\n", -97, sections);
        row("generic: row past 32 bits", 6, "6\n4294967297\t1\t20\tX\n", -97, sections);
        row("generic: width 1e9", 6, "6\n1\t1\t1e9\tX\n", -97, sections);
        row("generic: table number runs on", 6, "6x\n1\t1\t20\tX\n", -97, sections);
        row("generic: text in the first line", 6, "Таблица товаров\n", -90, sections);
        row("generic: width above 255", 6, "6\n1\t1\t256\tX\n", -97, sections);
        row("generic: negative width", 6, "6\n1\t1\t-1\tX\n", -97, sections);
        row("generic: hexadecimal and binary", 6, "6\n0x2\t0b10\t01\t9\n", 0, "А,1|Б,9", "1/1");
        row("generic: TAB inside the text", 6, "6\n1\t1\t20\t\tX\tY\n", 0, "\tX\tY,1|Б,2", "0/0");

        const QString settings = "1,1 BCD,5|2,2 BIN,300";
        row("settings: first line not 2", 2, "3\n1\t1\t1\t7\n", -97, settings);
        row("settings: value as the field shows it", 2, "2\n1\t1\t2\t007\n", 0,
            "1,2 BCD,7|2,2 BIN,300");
        row("settings: type code 0", 2, "2\n1\t0\t1\t7\n", -97, settings);
        row("settings: unknown type code", 2, "2\n1\t9\t1\t7\n", -260, settings);
        row("settings: field 0", 2, "2\n0\t1\t1\t7\n", -97, settings);
        row("settings: field above 255", 2, "2\n256\t1\t1\t7\n", -97, settings);
        row("settings: width above 255", 2, "2\n1\t1\t256\t7\n", -97, settings);
        row("settings: type code past 32 bits", 2, "2\n1\t0x100000001\t1\t7\n", -97, settings);
        row("settings: field 4 grows the grid", 2, "2\n4\t1\t1\t7\n", 0,
            settings + "|~,~,~|4,1 BCD,7");
        row("settings: BCD of 9 bytes", 2, "2\n1\t1\t9\t5\n", 0, "1,9 BCD,5|2,2 BIN,300");
        row("settings: BCD of 10 bytes cannot show", 2, "2\n1\t1\t10\t5\n", -97, settings);
        row("settings: money of 10 bytes cannot show", 2, "2\n1\t4\t10\t5\n", -97, settings);
        row("settings: BIN of 9 bytes cannot show", 2, "2\n1\t2\t9\t5\n", -97, settings);
        // The register reads such a text back in another layout than it is
        // written in; shown in the read form it would be saved garbled.
        row("settings: text as the file has it", 2, "2\n1\t6\t15\tКассир\n", 0,
            "1,15 Строка,Кассир|2,2 BIN,300");

        const QString goods = "A,1,1.00,1,1,1,1|B,2,2.00,1,1,1,2";
        const QString goodsFile = "Таблица товаров\n" + goodsHeader + '\n';
        const char *shortLine = "QMyTable1Widget::load Line too short";
        row("csv: table header", 1, "Товары\n" + goodsHeader, -97, goods, "",
            "QMyTable1Widget::load Bad csv table header");
        row("csv: column header", 1, "Таблица товаров\n\"Название\";\"Цена\"\n", -97, goods, "",
            "QMyTable1Widget::load Bad columns header");
        row("csv: first line only", 1, "Таблица товаров\n", -97, goods, "",
            "QMyTable1Widget::load Bad columns header");
        row("csv: two unquoted headers, three parts", 1,
            "Таблица товаров\nНазвание;Штрихкод\n\"C\";\"3\";\"3.00\"\n", 0, "C,3,3.00,,,,",
            "0/0,0/1,0/2,0/3,0/4,0/5,0/6");
        row("csv: short line", 1, goodsFile + "\"A\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"9\"\nabc\n",
            -97, goods, "", shortLine);
        row("csv: empty line", 1, goodsFile + "\n\"A\"\n", -97, goods, "", shortLine);
        row("csv: semicolon splits a bare value, not a quoted one", 1,
            goodsFile + "\"X;Y\";\"1\";\"1.00\";\"1\";\"1\";\"1\";\"1\";\"extra\"\n"
                        "X;Y;\"1.00\";\"1\";\"1\";\"1\";\"2\"\n",
            0, "X;Y,1,1.00,1,1,1,1|X,Y,1.00,1,1,1,2", "0/0,1/0,1/1,1/2");
        row("csv: quotes doubled", 1,
            goodsFile + "\"Сок \"\"Добрый\"\" 1л\";\"1\";\"1.00\";\"\"\"\";\"\"\"1\";\"1\";\"1\"\n",
            0, "Сок \"Добрый\" 1л,1,1.00,\",\"1,1,1", "0/0,0/3,0/4");
        row("csv: no records", 1, goodsFile, 0, "");
        row("csv: text formulas, bare and quoted again", 1,
            goodsFile + "=\"00123\";\"=\"\"4601234000017\"\"\";\"1.00\";\"1\";\"1\";\"1\";"
                        "\"=\"\"a\"\"\"\"b\"\"\"\n\"B\";=\"2\";\"2.00\";\"1\";\"1\";\"1\";=\"\"\n",
            0, "00123,4601234000017,1.00,1,1,1,a\"b|B,2,2.00,1,1,1,", "0/0,0/1,0/6,1/6");
        row("csv: prices with a decimal comma", 1,
            goodsFile + "\"A\";\"1\";\"1,00\";\"1\";\"1\";\"1\";\"1\"\n"
                        "\"B\";\"2\";\"54,9\";\"1\";\"1\";\"1\";\"2\"\n"
                        "\"C\";\"3\";\"5,4,3\";\"1\";\"1\";\"1\";\"3\"\n"
                        "\"D\";\"4\";\"-1,5\";\"1\";\"1\";\"1\";\"4\"\n",
            0, "A,1,1.00,1,1,1,1|B,2,54.9,1,1,1,2|C,3,5,4,3,1,1,1,3|D,4,-1,5,1,1,1,4",
            "1/2,2/0,2/1,2/2,2/3,2/4,2/5,2/6,3/0,3/1,3/2,3/3,3/4,3/5,3/6");
    }

    void load()
    {
        const auto [table, file, result, grid, changed, logLine] =
            fetch<int, QString, int, QString, QString, QString>("table", "file", "result", "grid",
                                                                "changed", "logLine");
        QTemporaryDir directory;
        const QString path = directory.filePath(fileName(table, true));
        const auto editor = makeEditor(table);
        QVERIFY(writeFile(path, firstFile(table)));
        QCOMPARE(editor->loadFromFile(path), 0);
        for (int row = 0; row < editor->rowCount(); ++row) {
            for (int column = 0; column < editor->columnCount(); ++column) {
                if (QTableWidgetItem *cell = editor->item(row, column))
                    CellMarks::setWeight(*cell, CellMarks::unchangedWeight);
            }
        }

        QVERIFY(writeFile(path, file.toUtf8()));
        LogCapture log;
        QCOMPARE(editor->loadFromFile(path), result);
        QCOMPARE(gridText(*editor), grid);
        QCOMPARE(changedCells(*editor), changed);
        if (!logLine.isEmpty())
            QVERIFY2(log.contains(logLine), qPrintable(log.lines().join('\n')));
    }

    // Only a regular file is opened, and none larger than the largest legal
    // file of its format is read.
    void fileBounds_data()
    {
        columns<int, QString, int>("table", "file", "result");
        for (int table : {6, 2, 1}) {
            QTest::addRow("table %d: device", table) << table << "/dev/zero" << -91;
            QTest::addRow("table %d: pipe", table) << table << "pipe" << -91;
            QTest::addRow("table %d: directory", table) << table << "directory" << -91;
            QTest::addRow("table %d: 2 GB", table) << table << "2 GB" << -97;
        }
        QTest::newRow("settings: empty lines past its size") << 2 << "padded" << -97;
        QTest::newRow("generic: line at its length") << 6 << "longest line" << 0;
        QTest::newRow("generic: line past its length") << 6 << "long line" << -97;
        QTest::newRow("generic: more cells than the grid holds") << 6 << "many lines" << -97;
    }

    void fileBounds()
    {
        const auto [table, file, result] = fetch<int, QString, int>("table", "file", "result");
        QTemporaryDir directory;
        QString path = directory.filePath(fileName(table, true));
        const QByteArray cell = "1\t1\t20\t";
        const QMap<QString, QByteArray> bodies{
            {"padded", QByteArray(settingsFileBound.maxFileSize(), '\n') + cell + "7\n"},
            {"longest line", cell + QByteArray(maxCellBytes - cell.size(), 'x') + "\r\n"},
            {"long line", cell + QByteArray(maxCellBytes - cell.size() + 1, 'x') + "\n"},
            {"many lines", (cell + "X\n").repeated(genericTableFileBound(2).dataLines + 1)}};
        if (file.startsWith('/'))
            path = file;
        else if (file == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (file == "directory")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(writeFile(path, fileHeader(table) + bodies.value(file)));
        if (file == "2 GB")
            QVERIFY(QFile(path).resize(qint64(2) << 30));

        const auto editor = makeEditor(table);
        std::atomic_bool done{false};
        std::thread release;
        if (file == "pipe")
            release = std::thread(releasePipeReaders, QFile::encodeName(path), std::cref(done));
        const int loaded = editor->loadFromFile(path);
        done = true;
        if (release.joinable())
            release.join();
        QCOMPARE(loaded, result);
        QCOMPARE(editor->rowCount(), result == 0 ? 1 : 0);
    }

    // A load failing at its last line leaves the grid exactly as it was, the
    // marks of changed and invalid cells included.
    void failedLoadChangesNothing_data()
    {
        columns<int, QString, int>("table", "file", "result");
        const QString generic = "6\n1\t1\t20\tX\n1\t2\t1\t2\n4\t2\t1\t5\n";
        QTest::newRow("generic: field 0") << 6 << generic + "1\t0\t1\tY\n" << -97;
        QTest::newRow("generic: malformed width") << 6 << generic + "3\t1\t1e9\tY" << -97;
        QTest::newRow("generic: short line") << 6 << generic + "1\t2\n" << -97;
        const QString settings = "2\n1\t1\t1\t8\n2\t2\t2\t7\n4\t2\t1\t9\n";
        QTest::newRow("settings: rejected value") << 2 << settings + "3\t2\t1\t300\n" << -97;
        QTest::newRow("settings: value it cannot show") << 2 << settings + "3\t1\t10\t5\n" << -97;
        QTest::newRow("settings: unknown type") << 2 << settings + "3\t9\t1\t1\n" << -260;
        QTest::newRow("csv: short line")
            << 1
            << "Таблица товаров\n" + goodsHeader +
                   "\n\"X\";\"1\";\"1.00\"\n\"B\";\"2\";\"2.00\";\"1\";\"1\";\"1\";\"2\"\n"
                   "\"C\";\"3\"\nab\n"
            << -97;
    }

    void failedLoadChangesNothing()
    {
        const auto [table, file, result] = fetch<int, QString, int>("table", "file", "result");
        QTemporaryDir directory;
        const QString path = directory.filePath(fileName(table, true));
        const auto editor = makeEditor(table);
        QVERIFY(writeFile(path, firstFile(table)));
        QCOMPARE(editor->loadFromFile(path), 0);
        CellMarks::setWeight(*editor->item(0, 0), CellMarks::unchangedWeight);
        editor->item(1, table == 6 ? 1 : 2)->setText("x");
        QVERIFY(CellMarks::isInvalid(*editor->item(1, table == 6 ? 1 : 2)));
        const QString before = gridState(*editor);

        QVERIFY(writeFile(path, file.toUtf8()));
        QCOMPARE(editor->loadFromFile(path), result);
        QCOMPARE(gridState(*editor), before);
    }

    void quotesInCsvValues()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath("goods.csv");
        QMyTable1Widget editor;
        const QStringList names{"Конфеты \"Мишка\"", "\"Начало", "\"", "Сок \"Добрый\"", ""};
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

    // For spreadsheets, a value that a spreadsheet would take for a number
    // and give back otherwise is a text formula; the plain CSV quotes every
    // value. Both load back as they were.
    void goodsCsvValues_data()
    {
        columns<int, QString, QString>("column", "text", "forSpreadsheets");
        const auto row = [](const char *name, int column, const QString &text,
                            const QString &forSpreadsheets) {
            QTest::newRow(name) << column << text << forSpreadsheets;
        };
        row("barcode", 1, "4601234000017", "=\"4601234000017\"");
        row("no barcode", 1, "", "\"\"");
        row("name of 12 digits", 0, "123456789012", "=\"123456789012\"");
        row("name of 11 digits", 0, "12345678901", "\"12345678901\"");
        row("name with a leading zero", 0, "0123", "=\"0123\"");
        row("name with a barcode in it", 0, "ХЛЕБ 4601234000017", "\"ХЛЕБ 4601234000017\"");
        row("price", 2, "54.90", "\"54.90\"");
        row("name with quotes", 0, "Сок \"Добрый\" 1л", "\"Сок \"\"Добрый\"\" 1л\"");
    }

    void goodsCsvValues()
    {
        const auto [column, text, forSpreadsheets] =
            fetch<int, QString, QString>("column", "text", "forSpreadsheets");
        MemoryTable table(1);
        table.setRowCount(1);
        const QVector<int> widths = TableCatalogue::goodsCsvFieldWidths();
        for (int c = 0; c < widths.size(); ++c)
            table.setCell(0, c, c == column ? text : "7", widths[c]);
        QTemporaryDir directory;
        const QString path = directory.filePath("goods.csv");
        for (const auto format :
             {TableFile::Format::GoodsCsv, TableFile::Format::GoodsCsvForSpreadsheets}) {
            const bool spreadsheets = format == TableFile::Format::GoodsCsvForSpreadsheets;
            QCOMPARE(TableFile::save(table, path, format), 0);
            const QByteArray saved = readFile(path);
            QCOMPARE(saved.startsWith("\xEF\xBB\xBF"), spreadsheets);
            const QStringList record = QString::fromUtf8(saved).split('\n').value(2).split(';');
            QCOMPARE(record.value(column), spreadsheets ? forSpreadsheets : '"' + text + '"');
            MemoryTable loaded(1);
            QCOMPARE(TableFile::load(loaded, path), 0);
            for (int c = 0; c < widths.size(); ++c)
                QCOMPARE(loaded.text(0, c), table.text(0, c));
        }
    }

    // A value is a number cell only where it reads back the same; barcodes
    // and digit runs a spreadsheet would show otherwise are text cells.
    void goodsXlsxValues_data()
    {
        columns<int, QString, bool>("column", "text", "numberCell");
        QTest::newRow("barcode") << 1 << "4601234000017" << false;
        QTest::newRow("barcode with a leading zero") << 1 << "0460123400001" << false;
        QTest::newRow("name of 12 digits") << 0 << "123456789012" << false;
        QTest::newRow("name of 11 digits") << 0 << "12345678901" << true;
        QTest::newRow("name with quotes and a semicolon")
            << 0 << "ООО \"РОМАШКА\"; ФИЛИАЛ" << false;
        QTest::newRow("price") << 2 << "54.9" << true;
        QTest::newRow("price with a trailing zero") << 2 << "54.90" << false;
        QTest::newRow("name with an exponent") << 0 << "1e5" << false;
    }

    void goodsXlsxValues()
    {
        const auto [column, text, numberCell] =
            fetch<int, QString, bool>("column", "text", "numberCell");
        MemoryTable table(1);
        table.setRowCount(2);
        const QVector<int> widths = TableCatalogue::goodsCsvFieldWidths();
        for (int row = 0; row < 2; ++row) {
            for (int c = 0; c < widths.size(); ++c)
                table.setCell(row, c, c == column ? text : "7", widths[c]);
        }
        QTemporaryDir directory;
        const QString path = directory.filePath("goods.xlsx");
        QCOMPARE(TableFile::save(table, path, TableFile::formatOf(1, path)), 0);
        KZip zip(path);
        QVERIFY(zip.open(QIODevice::ReadOnly));
        const QString sheet =
            QString::fromUtf8(zip.directory()->file("xl/worksheets/sheet1.xml")->data());
        const QRegularExpression cell(
            QStringLiteral("<c r=\"%1%2\"([^>]*)>").arg(QChar('A' + column)).arg(3));
        QCOMPARE(!cell.match(sheet).captured(1).contains("t=\""), numberCell);
        MemoryTable loaded(1);
        QCOMPARE(TableFile::load(loaded, path), 0);
        QCOMPARE(loaded.rowCount(), 2);
        for (int c = 0; c < widths.size(); ++c)
            QCOMPARE(loaded.text(1, c), table.text(1, c));
    }

    // Workbooks load as a spreadsheet shows their first sheet; damaged or
    // hostile ones are refused with the reason, the grid left as it was.
    void workbookLoad_data()
    {
        columns<QByteArray, QString>("file", "expected");
        const auto row = [](const char *name, const QByteArray &file, const QString &expected) {
            QTest::newRow(name) << file << expected;
        };
        row("number-cell barcode, rich text, formulas, gaps",
            zipped(workbookParts(
                "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>7</v></c><c r=\"B2\"><v>4.6000000000010E12</v>"
                "</c><c r=\"C2\" t=\"str\"><f>A1</f><v>54,9</v></c><c r=\"D2\" t=\"inlineStr\"><is>"
                "<t>=\"01\"</t></is></c><c r=\"G2\"><v>2.0000000000000001</v></c></row>")),
            "СОК \"ДОБРЫЙ\"|4600000000001|54.9|01|||2");
        row("not a zip", firstFile(1), "!не архив ZIP");
        row("bad XML", zipped(workbookParts("<row><c r=\"A2\"><v>1</v></row>")), "!ошибка XML");
        row("DTD", zipped(workbookParts("", "<!DOCTYPE w [<!ENTITY a \"aaaa\">]>")), "!DTD");
        row("too many rows",
            zipped(workbookParts("<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>")),
            "!больше 1048576 строк");
        row("too many columns", zipped(workbookParts("<row><c r=\"AMK2\"><v>1</v></c></row>")),
            "!больше 1024 столбцов");
        row("text too long",
            zipped(workbookParts("<row><c t=\"inlineStr\"><is><t>" + QByteArray(32768, 'x') +
                                 "</t></is></c></row>")),
            "!длиннее 32767");
        QMap<QString, QByteArray> parts = workbookParts("");
        parts.remove("xl/worksheets/sheet2.xml");
        row("missing sheet", zipped(parts), "!нет части «xl/worksheets/sheet2.xml»");
        parts = workbookParts("");
        parts["xl/workbook.xml"] = "<workbook>" + QByteArray(17 << 20, ' ') + "</workbook>";
        row("zip bomb", zipped(parts), "!распаковывается больше чем в 16 МБ");
        row("zip bomb, size understated", understated(zipped(parts), "xl/workbook.xml"),
            "!распаковывается больше чем в 16 МБ");
    }

    void workbookLoad()
    {
        const auto [file, expected] = fetch<QByteArray, QString>("file", "expected");
        QTemporaryDir directory;
        const QString path = directory.filePath("goods.xlsx");
        const auto editor = makeEditor(1);
        QVERIFY(writeFile(directory.filePath("table.csv"), firstFile(1)));
        QCOMPARE(editor->loadFromFile(directory.filePath("table.csv")), 0);
        const QString before = gridState(*editor);
        QVERIFY(writeFile(path, file));
        QString why;
        const int result = editor->loadFromFile(path, &why);
        if (expected.startsWith('!')) {
            QCOMPARE(result, -97);
            QVERIFY2(why.contains(expected.mid(1)), qPrintable(why));
            QCOMPARE(gridState(*editor), before);
            return;
        }
        QCOMPARE(result, 0);
        QStringList record;
        for (int column = 0; column < editor->columnCount(); ++column)
            record << editor->item(0, column)->text();
        QCOMPARE(record.join('|'), expected);
    }

    // An empty text stands for a missing cell.
    void refusedSave_data()
    {
        columns<int, bool, QString, QString>("table", "csv", "text", "logLine");
        const auto row = [](const char *name, int table, bool csv, const char *text,
                            const char *logLine = "") {
            QTest::newRow(name) << table << csv << QString(text) << QString(logLine);
        };
        row("csv: semicolon", 1, true, "a;b",
            "QMyTable1Widget::save Separator or line break in the value of row 2 field 3");
        row("csv: line break", 1, true, "a\nb", "row 2 field 3");
        row("csv: missing cell", 1, true, "");
        row("csv: read as a text formula", 1, true, "=\"\"1\"\"",
            "QMyTable1Widget::save The value of row 2 field 3 would load as another text");
        row("xlsx: control character", 1, true, "a\x01b",
            "GoodsXlsxFile::save The value of row 2 field 3 cannot be held by a workbook");
        row("generic: line break", 5, false, "a\r\nb", "row 2 field 1");
        row("generic: missing cell", 5, false, "");
        row("settings: line break", 2, false, "a\nb", "field 2");
        row("settings: missing cell", 2, false, "");
    }

    void refusedSave()
    {
        const auto [table, csv, text, logLine] =
            fetch<int, bool, QString, QString>("table", "csv", "text", "logLine");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(table, 3);
        const auto editor = makeEditor(table);
        QCOMPARE(editor->readTable(protocol), 0);
        QTemporaryDir directory;
        const bool workbook = QByteArray(QTest::currentDataTag()).startsWith("xlsx");
        const QString path = directory.filePath(workbook ? "table.xlsx" : fileName(table, csv));
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

    void priceUpdate_data()
    {
        columns<QString, QString, bool, QString>("name", "file", "addNew", "plan");
        QTest::newRow("own captions, ';', quotes doubled, decimal comma unchanged")
            << "p.csv"
            << "Штрихкод;Название;Цена\n4601234000017;\"ХЛЕБ \"\"N\"\"\";54,90\n"
            << false << "0:0=ХЛЕБ \"N\"||4601234000031|";
        QTest::newRow("alternatives, ',', a text formula, quoted separator")
            << "p.csv"
            << "ШК,Наименование товара,\"Цена, руб.\"\n=\"4601234000024\",,\"99,5\"\n"
            << false << "1:2=99.5||4601234000031|";
        QTest::newRow("tab, a title above, spaces, apostrophe, twice in the register")
            << "p.txt"
            << "Прайс от 01.02\n\n EAN \tРозничная цена\tОтдел\n'4601234000017\t1 054,90\t2\n"
               "4601 2340 0003 1\t219\t4\n"
            << false << "0:2=1054.90,0:5=2,2:5=4,3:5=4||4601234000031|";
        QTest::newRow("invalid value, repeated barcode, unchanged values")
            << "p.csv"
            << "Штрихкод;Цена;Налог\n4601234000017;abc;2\n04601234000017;1;1\nx;1;1\n"
            << false << "||4601234000031|2/2,3/1,4/1";
        QTest::newRow("not found") << "p.csv"
                                   << "Штрихкод;Цена\n2000000000015;10\n"
                                   << false << "|2/2000000000015/-1|4601234000031|";
        QTest::newRow("added only as far as empty records go")
            << "p.csv"
            << "Штрихкод;Название\n2000000000015;А\n2000000000022;Б\n2000000000039;В\n"
            << true
            << "4:0=А,4:1=2000000000015,5:0=Б,5:1=2000000000022|2/2000000000015/4,"
               "3/2000000000022/5,4/2000000000039/-1|4601234000031|";
        QTest::newRow("no barcode caption") << "p.csv"
                                            << "Код;Цена\n1;2\n"
                                            << false << "";
    }

    // Goods found by barcode, whatever way the list writes it; a change only
    // where the value differs; the rest listed.
    void priceUpdate()
    {
        const auto [name, file, addNew, plan] =
            fetch<QString, QString, bool, QString>("name", "file", "addNew", "plan");
        QTemporaryDir directory;
        const QString path = directory.filePath(name);
        QVERIFY(writeFile(path, file.toUtf8()));
        SheetRows rows;
        QString why;
        QCOMPARE(PriceList::read(path, rows, why), 0);
        const PriceColumns columns = PriceList::findColumns(rows);
        QCOMPARE(columns.complete(), !plan.isEmpty());
        if (plan.isEmpty())
            return;
        MemoryTable goods = priceGoods();
        const PriceUpdate update(goods, rows, columns, addNew);
        QCOMPARE(planText(update), plan);
        update.apply(goods);
        QCOMPARE(goods.isChanged(0, 2), plan.contains("0:2="));
    }

    void windows1251File_data()
    {
        columns<int, QString, QString>("table", "file", "grid");
        QTest::newRow("generic") << 5 << "5\n1\t1\t40\tСпасибо за покупку! «№1»\n"
                                 << "Спасибо за покупку! «№1»";
        QTest::newRow("csv") << 1 << "Таблица товаров\n" + goodsHeader + "\n\"Хлеб\"\n"
                             << "Хлеб,,,,,,";
    }

    void windows1251File()
    {
        const auto [table, file, grid] = fetch<int, QString, QString>("table", "file", "grid");
        QTemporaryDir directory;
        const QString path = directory.filePath(fileName(table, true));
        QVERIFY(writeFile(path, QTextCodec::codecForName("Windows-1251")->fromUnicode(file)));
        const auto editor = makeEditor(table);
        QCOMPARE(editor->loadFromFile(path), 0);
        QCOMPARE(gridText(*editor), grid);
    }
};

QTEST_MAIN(TestTableFiles)
#include "tst_tablefiles.moc"
