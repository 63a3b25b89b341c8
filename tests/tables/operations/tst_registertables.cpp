#include "cellmarks.h"
#include "driverregistration.h"
#include "logcapture.h"
#include "portinfo.h"
#include "protocolpelto.h"
#include "startup.h"
#include "tableeditors.h"
#include "tabletestsupport.h"
#include "testdata.h"

#include <QTextCodec>

namespace {

const PortInfo builtInPort("EMU1", "Встроенный эмулятор ККТ Korvan",
                           QString::fromLatin1(builtInRegisterLocation));

// Reads (or writes) a table as the main window's read and write buttons do;
// the register lives as long as the protocol's driver component.
int throughRegister(protocolPelto &protocol, QMyTableWidget &editor, bool write = false)
{
    if (!write)
        editor.setRowCount(0);
    if (protocol.openPort(builtInPort) != 0)
        return -96;
    const int result = write ? editor.writeTable(protocol) : editor.readTable(protocol);
    protocol.closePort();
    return result;
}

// The width kept in each cell, "~" for a missing cell.
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

    // Record 1 field by field to learn the widths, then every record whole,
    // and the record past the end.
    void goodsReadOneExchangePerRecord()
    {
        QMyTable1Widget editor;
        LogCapture log;
        protocolPelto protocol;
        QCOMPARE(throughRegister(protocol, editor), 0);
        const QStringList reads =
            log.lines().filter(QRegularExpression("^DriverComponent::exchange 46"));
        QCOMPARE(reads.size(), 7 + editor.rowCount() + 1);
        QCOMPARE(reads.filter(QRegularExpression("^DriverComponent::exchange 46010014")).size(), 1);
    }

    void writeBack_data()
    {
        columns<int, int, int, QString>("table", "row", "column", "text");
        QTest::newRow("settings value") << 2 << 11 << 2 << "900";
        QTest::newRow("user name") << 3 << 8 << 1 << "Админ ночь №2 $–»";
        QTest::newRow("wireless channel") << 11 << 0 << 6 << "11";
    }

    void writeBack()
    {
        const auto [table, row, column, text] =
            fetch<int, int, int, QString>("table", "row", "column", "text");
        protocolPelto protocol;
        const auto editor = makeEditor(table);
        QCOMPARE(throughRegister(protocol, *editor), 0);
        QTableWidgetItem *cell = editor->item(row, column);
        cell->setText(text);
        // Table 2 has no change marks: its write sends every row.
        if (table != 2)
            CellMarks::setWeight(*cell, CellMarks::changedWeight);
        const QString expected = gridText(*editor);

        QCOMPARE(throughRegister(protocol, *editor, true), 0);
        QCOMPARE(changedCells(*editor), QString());
        const auto reread = makeEditor(table);
        QCOMPARE(throughRegister(protocol, *reread), 0);
        QCOMPARE(gridText(*reread), expected);
    }

    // Latin-1 stands for a locale that cannot hold Cyrillic, such as C on some
    // systems; start-up then switches the program to UTF-8.
    void roundTrip_data()
    {
        columns<int, bool, QByteArray>("table", "csv", "localeCodec");
        for (const QByteArray codec : {"UTF-8", "ISO-8859-1", "KOI8-R"}) {
            for (int table : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12})
                QTest::addRow("table %d, %s", table, codec.constData()) << table << false << codec;
            QTest::addRow("goods csv, %s", codec.constData()) << 1 << true << codec;
        }
    }

    void roundTrip()
    {
        const auto [table, csv, localeCodec] =
            fetch<int, bool, QByteArray>("table", "csv", "localeCodec");
        QTextCodec::setCodecForLocale(QTextCodec::codecForName(localeCodec));
        ensureCyrillicLocaleCodec();
        protocolPelto protocol;
        const auto editor = makeEditor(table);
        QCOMPARE(throughRegister(protocol, *editor), 0);
        const QString read = gridText(*editor);
        QTemporaryDir directory;
        const QString path = directory.filePath(csv ? "table.csv" : "table.txt");

        QCOMPARE(editor->saveToFile(path), 0);
        const QTableWidgetItem *text = editor->item(0, table == 2 ? 2 : 0);
        QVERIFY(QTextCodec::codecForLocale()->toUnicode(readFile(path)).contains(text->text()));
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
};

QTEST_MAIN(TestRegisterTables)
#include "tst_registertables.moc"
