#include "errorcode.h"
#include "gridtable.h"
#include "memorytable.h"
#include "qmytablewidget.h"
#include "tablecatalogue.h"
#include "tablefile.h"
#include "tableoperations.h"
#include "tabletestsupport.h"
#include "testdata.h"

#include <QTemporaryDir>

namespace {

// Every cell with its width and marks, row by row; "~" for a missing one.
// The window keeps no change marks in a table it never writes.
QStringList cells(const TableData &table, bool changeMarks = true)
{
    QStringList cells{QStringLiteral("%1x%2").arg(table.rowCount()).arg(table.columnCount())};
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (!table.hasCell(row, column)) {
                cells << QStringLiteral("~");
                continue;
            }
            cells << QStringLiteral("%1:%2:%3%4%5")
                         .arg(table.width(row, column))
                         .arg(table.text(row, column))
                         .arg(changeMarks && table.isChanged(row, column) ? "C" : "")
                         .arg(table.isInvalid(row, column) ? "I" : "")
                         .arg(int(table.highlight(row, column)));
        }
    }
    return cells;
}

} // namespace

class TestTableData : public QObject
{
    Q_OBJECT
private slots:
    void sameTableInMemoryAndGrid_data()
    {
        QTest::addColumn<int>("table");
        for (int table : TableCatalogue::numbers())
            QTest::newRow(qPrintable(TableCatalogue::caption(table))) << table;
    }

    // The command line's tables and the window's grids are one table to
    // every operation: read, marked, found invalid and saved alike.
    void sameTableInMemoryAndGrid()
    {
        QFETCH(int, table);
        ScriptedProtocol protocol;
        // Table 11 is saved only with all eight of its register rows.
        protocol.rows = sampleRows(table, table == 11 ? 8 : 3);
        MemoryTable memory(table);
        const auto editor = makeEditor(table);
        QCOMPARE(TableOperations::readTable(protocol, memory, nullptr), int(ERR_OK));
        QCOMPARE(editor->readTable(protocol), int(ERR_OK));
        QVERIFY(memory.rowCount() > 0);
        QCOMPARE(cells(editor->data()), cells(memory));

        QTemporaryDir directory;
        const QString fromMemory = directory.filePath("memory.txt");
        QCOMPARE(TableFile::save(memory, fromMemory, TableFile::Format::Table), int(ERR_OK));
        QCOMPARE(editor->saveToFile(directory.filePath("grid.txt")), int(ERR_OK));
        QCOMPARE(readFile(fromMemory), readFile(directory.filePath("grid.txt")));
        MemoryTable loaded(table);
        const auto loadedEditor = makeEditor(table);
        loaded.setRowCount(1);
        loaded.setCell(0, 0, "1", 1);
        loadedEditor->setRowCount(1);
        loadedEditor->data().setCell(0, 0, "1", 1);
        QCOMPARE(TableFile::load(loaded, fromMemory), int(ERR_OK));
        QCOMPARE(loadedEditor->loadFromFile(fromMemory), int(ERR_OK));
        const bool writable = TableCatalogue::isWritable(table);
        QCOMPARE(cells(loadedEditor->data(), writable), cells(loaded, writable));

        // A text no field takes, in the first cell that shows a value.
        const int column = table == 2 ? 2 : 0;
        const QString bad(memory.width(0, column) + 1, QLatin1Char('x'));
        memory.setCell(0, column, bad, memory.width(0, column), TableData::Changed);
        editor->data().setCell(0, column, bad, memory.width(0, column), TableData::Changed);
        memory.setHighlight(1, column, CellHighlight::Difference);
        editor->data().setHighlight(1, column, CellHighlight::Difference);
        QVERIFY(memory.isInvalid(0, column));
        QCOMPARE(cells(editor->data()), cells(memory));
        QCOMPARE(TableOperations::cellsToWrite(editor->data()),
                 TableOperations::cellsToWrite(memory));
    }

    // A cell outside the table is dropped; a new cell starts without the
    // marks of the one it replaces; marks of a missing cell are none.
    void memoryTableCells()
    {
        MemoryTable users(3);
        QCOMPARE(users.columnCount(), 2);
        users.setCell(0, 0, "1", 2);
        QVERIFY(!users.hasCell(0, 0));
        users.setRowCount(2);
        users.setCell(1, 2, "x", 2);
        users.setCell(1, -1, "x", 2);
        users.setCell(1, 1, "ИВАНОВ", 20, TableData::Changed);
        users.setHighlight(1, 1, CellHighlight::WriteMismatch);
        users.setChanged(0, 0, true);
        users.setHighlight(0, 0, CellHighlight::Difference);
        QCOMPARE(cells(users), QStringList({"2x2", "~", "~", "~", "20:ИВАНОВ:C1"}));
        users.setCell(1, 1, "ПЕТРОВ", 20);
        QCOMPARE(cells(users).last(), "20:ПЕТРОВ:0");
        users.setRowCount(1);
        users.setRowCount(2);
        QVERIFY(!users.hasCell(1, 1));
    }

    // Marks set in bulk are no edits: a grid kept quiet hears of none of
    // them, and is as talkative after as before. An edit ends a highlight.
    void gridMarksInBulk()
    {
        const auto editor = makeEditor(3);
        editor->setRowCount(1);
        TableData &data = editor->data();
        int itemChanges = 0;
        connect(editor.get(), &QTableWidget::itemChanged, this, [&itemChanges] { ++itemChanges; });
        data.setCell(0, 0, "12", 2);
        const int placed = itemChanges;
        QVERIFY(placed > 0);
        {
            const QuietTable quiet(data);
            const QuietTable nested(data);
            data.setChanged(0, 0, true);
            data.setHighlight(0, 0, CellHighlight::Difference);
        }
        QCOMPARE(itemChanges, placed);
        data.setChanged(0, 0, false);
        QCOMPARE(itemChanges, placed + 1);
        QCOMPARE(data.highlight(0, 0), CellHighlight::Difference);
        editor->item(0, 0)->setText("abc");
        QCOMPARE(data.highlight(0, 0), CellHighlight::None);
        QVERIFY(data.isInvalid(0, 0));
    }
};

QTEST_MAIN(TestTableData)
#include "tst_tabledata.moc"
