#include "cellmarks.h"
#include "driverregistration.h"
#include "logcapture.h"
#include "portinfo.h"
#include "protocolpelto.h"
#include "startup.h"
#include "tableeditors.h"
#include "tabletestsupport.h"

#include <QTextCodec>
#include <QtTest>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const PortInfo builtInPort(QStringLiteral("EMU1"), u("Встроенный эмулятор ККТ Korvan"),
                           QString::fromLatin1(builtInRegisterLocation));

// As the main window's read and write buttons do.
int readThroughRegister(protocolPelto &protocol, QMyTableWidget &editor)
{
    editor.setRowCount(0);
    if (protocol.openPort(builtInPort) != 0)
        return -96;
    const int result = editor.readTable(protocol);
    protocol.closePort();
    return result;
}

int writeThroughRegister(protocolPelto &protocol, QMyTableWidget &editor)
{
    if (protocol.openPort(builtInPort) != 0)
        return -96;
    const int result = editor.writeTable(protocol);
    protocol.closePort();
    return result;
}

QStringList cellWidths(const QTableWidget &grid)
{
    QStringList widths;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            widths << (cell ? QString::number(cell->type()) : QStringLiteral("~"));
        }
    }
    return widths;
}

} // namespace

class TestRegisterTables : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerDriverComponent(); }
    void goodsReadOneExchangePerRecord();
    void writeBack_data();
    void writeBack();
    void roundTrip_data();
    void roundTrip();
};

void TestRegisterTables::goodsReadOneExchangePerRecord()
{
    protocolPelto protocol;
    QMyTable1Widget editor;
    LogCapture log;
    QCOMPARE(readThroughRegister(protocol, editor), 0);
    // Record 1 field by field to learn the widths, then every record whole,
    // and the record past the end.
    const QStringList reads =
        log.lines().filter(QRegularExpression("^DriverComponent::exchange 46"));
    QCOMPARE(reads.size(), 7 + editor.rowCount() + 1);
    QCOMPARE(reads.filter(QRegularExpression("^DriverComponent::exchange 46010014")).size(), 1);
}

void TestRegisterTables::writeBack_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    QTest::newRow("goods name") << 1 << 19 << 0 << u("КОНФЕТЫ \"МИШКА\"");
    QTest::newRow("settings value") << 2 << 11 << 2 << u("900");
    QTest::newRow("user name") << 3 << 8 << 1 << u("Админ ночь №2 $–»");
    QTest::newRow("wireless channel") << 11 << 0 << 6 << u("11");
}

void TestRegisterTables::writeBack()
{
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);

    protocolPelto protocol;
    const auto editor = makeEditor(table);
    QCOMPARE(readThroughRegister(protocol, *editor), 0);
    QTableWidgetItem *cell = editor->item(row, column);
    cell->setText(text);
    // Table 2 has no change marks: its write sends every row.
    if (table != 2)
        CellMarks::setWeight(*cell, CellMarks::changedWeight);
    const QString expected = gridText(*editor);

    QCOMPARE(writeThroughRegister(protocol, *editor), 0);
    QCOMPARE(changedCells(*editor), QString());
    const auto reread = makeEditor(table);
    QCOMPARE(readThroughRegister(protocol, *reread), 0);
    QCOMPARE(gridText(*reread), expected);
}

void TestRegisterTables::roundTrip_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QByteArray>("localeCodec");

    // Latin-1 stands for a locale that cannot hold Cyrillic, such as C on some
    // systems; start-up then switches the program to UTF-8.
    for (const QByteArray codec : {"UTF-8", "ISO-8859-1", "KOI8-R"}) {
        for (int table : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}) {
            QTest::addRow("table %d, %s", table, codec.constData()) << table << false << codec;
        }
        QTest::addRow("goods csv, %s", codec.constData()) << 1 << true << codec;
    }
}

void TestRegisterTables::roundTrip()
{
    QFETCH(int, table);
    QFETCH(bool, csv);
    QFETCH(QByteArray, localeCodec);

    QTextCodec::setCodecForLocale(QTextCodec::codecForName(localeCodec));
    ensureCyrillicLocaleCodec();
    protocolPelto protocol;
    const auto editor = makeEditor(table);
    QCOMPARE(readThroughRegister(protocol, *editor), 0);
    const QString read = gridText(*editor);
    QTemporaryDir directory;
    const QString path = directory.filePath(csv ? "table.csv" : "table.txt");

    QCOMPARE(editor->saveToFile(path), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QTableWidgetItem *text = editor->item(0, table == 2 ? 2 : 0);
    QVERIFY(QTextCodec::codecForLocale()->toUnicode(file.readAll()).contains(text->text()));
    QCOMPARE(editor->loadFromFile(path), 0);
    QCOMPARE(gridText(*editor), read);
    QCOMPARE(changedCells(*editor), QString());

    const auto loaded = makeEditor(table);
    QCOMPARE(loaded->loadFromFile(path), 0);
    QCOMPARE(gridText(*loaded), read);
    if (!csv)
        QCOMPARE(cellWidths(*loaded), cellWidths(*editor));
    QCOMPARE(loaded->findInvalidItem(), nullptr);
    QTextCodec::setCodecForLocale(nullptr);
}

QTEST_MAIN(TestRegisterTables)
#include "tst_registertables.moc"
