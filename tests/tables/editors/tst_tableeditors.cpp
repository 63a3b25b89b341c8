#include "cellmarks.h"
#include "errorcode.h"
#include "gridhistory.h"
#include "gridrollback.h"
#include "scriptedprotocol.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tabletestsupport.h"
#include "testdata.h"

#include <QScrollBar>

using Failures = QMap<QPair<int, int>, int>;
Q_DECLARE_METATYPE(Failures)

namespace {

// Users and passwords: field 1 BCD, field 2 a string. Alcohol requisites: two
// BCD fields, then two strings.
constexpr int usersTable = 3;
constexpr int requisitesTable = 9;

// "1" for each present cell, "0" for each missing one, rows joined by "|".
QString gridShape(const QTableWidget &grid)
{
    QStringList rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QString shape;
        for (int column = 0; column < grid.columnCount(); ++column)
            shape += grid.item(row, column) ? '1' : '0';
        rows << shape;
    }
    return rows.join('|');
}

// Marks a cell edited, as the cell editor does.
void edit(QTableWidget &grid, int row, int column, const QString &text)
{
    QTableWidgetItem *cell = grid.item(row, column);
    cell->setText(text);
    CellMarks::setWeight(*cell, CellMarks::changedWeight);
}

QStringList writes(const QStringList &calls)
{
    return calls.filter(QStringLiteral("writeField"));
}

// Counts the paint events of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class TestTableEditors : public QObject
{
    Q_OBJECT
private slots:
    void genericRead_data()
    {
        columns<Failures, int, int, QString>("failures", "rows", "result", "shape");
        QTest::newRow("ends at row 1") << Failures() << 0 << 0 << "";
        QTest::newRow("-260 on field 3 of row 5 skips the rest of the row")
            << Failures{{{5, 3}, ERR_DEVICE_WRONG_FIELD}} << 6 << 0
            << "1111|1111|1111|1111|1100|1111";
        QTest::newRow("-260 on field 1 of row 5 leaves the row without cells")
            << Failures{{{5, 1}, ERR_DEVICE_WRONG_FIELD}} << 6 << 0
            << "1111|1111|1111|1111|0000|1111";
        QTest::newRow("another code ends the read, keeping what was read")
            << Failures{{{3, 2}, ERR_DEVICE}} << 6 << int(ERR_DEVICE) << "1111|1111|1000";
    }

    void genericRead()
    {
        const auto [failures, rows, result, shape] =
            fetch<Failures, int, int, QString>("failures", "rows", "result", "shape");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(requisitesTable, rows);
        protocol.failures = failures;
        const auto editor = makeEditor(requisitesTable);
        QCOMPARE(editor->readTable(protocol), result);
        QCOMPARE(gridShape(*editor), shape);
        QCOMPARE(changedCells(*editor), QString());
        QCOMPARE(editor->findInvalidItem(), nullptr);

        // A row without cells cannot be written.
        if (shape.contains(QLatin1String("0000"))) {
            edit(*editor, 0, 0, QStringLiteral("1"));
            protocol.clearCalls();
            QCOMPARE(editor->writeTable(protocol), int(ERR_INVALID_DATA));
            QCOMPARE(writes(protocol.calls).size(), 1);
        }
    }

    void eventPoints_data()
    {
        columns<int, int, bool, QList<int>>("table", "count", "write", "callsAfterEvents");
        QTest::newRow("generic read: before every 20th row")
            << 4 << 45 << false << QList<int>{20, 40};
        QTest::newRow("goods read: before every 50th record")
            << 1 << 120 << false << QList<int>{50, 100};
        QTest::newRow("settings read: never") << 2 << 60 << false << QList<int>{};
        QTest::newRow("generic write: after odd rows") << 4 << 5 << true << QList<int>{2, 4, 0};
        QTest::newRow("wireless write: after odd columns")
            << 11 << 8 << true << QList<int>{2, 4, 6, 8};
        QTest::newRow("settings write: never") << 2 << 10 << true << QList<int>{};
    }

    void eventPoints()
    {
        const auto [table, count, write, expected] =
            fetch<int, int, bool, QList<int>>("table", "count", "write", "callsAfterEvents");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(table, count);
        const auto editor = makeEditor(table);
        QCOMPARE(editor->readTable(protocol), 0);
        if (write) {
            for (int row = 0; row < editor->rowCount(); ++row) {
                for (int column = 0; column < editor->columnCount(); ++column)
                    CellMarks::setWeight(*editor->item(row, column), CellMarks::changedWeight);
            }
            protocol.clearCalls();
            QCOMPARE(editor->writeTable(protocol), 0);
        }
        protocol.finish();
        // The number that follows the operation name and table: row, or field of table 2.
        QCOMPARE(callsAfterEvents(protocol.calls, table == 2 ? 3 : 2), expected);
    }

    void visibleGridDuringRead_data()
    {
        columns<int, bool>("height", "repainted");
        QTest::newRow("rows appended where they are seen") << 2000 << true;
        QTest::newRow("rows appended below the seen ones") << 150 << false;
    }

    void visibleGridDuringRead()
    {
        const auto [height, repainted] = fetch<int, bool>("height", "repainted");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(4, 65);
        QMyTable4Widget editor;
        editor.resize(300, height);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        PaintCounter counter;
        editor.viewport()->installEventFilter(&counter);
        // Events are processed before rows 20, 40 and 60; a repaint asked for at
        // one point is done at the next.
        int paints = -1;
        int scrollRange = -1;
        protocol.onCall = [&] {
            if (protocol.calls.last() == QLatin1String("readField 4 40 1"))
                paints = counter.paints;
            if (protocol.calls.last() == QLatin1String("readField 4 60 1")) {
                paints = counter.paints - paints;
                scrollRange = editor.verticalScrollBar()->maximum();
            }
        };
        QCOMPARE(editor.readTable(protocol), 0);
        QCOMPARE(paints > 0, repainted);
        // The scroll bar covers the 59 rows read by then.
        QCOMPARE(scrollRange > 40, !repainted);
    }

    // Edits as "row/column=text".
    void genericWrite_data()
    {
        columns<QStringList, Failures, int, QStringList, QString>(
            "edits", "writeFailures", "result", "written", "stillChanged");
        QTest::newRow("nothing changed sends nothing")
            << QStringList() << Failures() << 0 << QStringList() << "";
        QTest::newRow("only changed cells, unmarked after the write")
            << QStringList{"0/1=42", "2/0=7"} << Failures() << 0
            << QStringList{"writeField 3 1 2 = 42", "writeField 3 3 1 = 7"} << "";
        QTest::newRow("a register refusal stops the write")
            << QStringList{"0/0=5", "1/0=6", "2/1=x"} << Failures{{{2, 1}, ERR_DEVICE}}
            << int(ERR_DEVICE) << QStringList{"writeField 3 1 1 = 5", "writeField 3 2 1 = 6"}
            << "1/0,2/1";
        QTest::newRow("a text the field rejects stops the write")
            << QStringList{"0/0=5", "1/0=abc", "2/0=7"} << Failures() << int(ERR_INVALID_DATA)
            << QStringList{"writeField 3 1 1 = 5"} << "1/0,2/0";
    }

    void genericWrite()
    {
        const auto [edits, writeFailures, result, written, stillChanged] =
            fetch<QStringList, Failures, int, QStringList, QString>(
                "edits", "writeFailures", "result", "written", "stillChanged");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(usersTable, 3);
        protocol.writeFailures = writeFailures;
        const auto editor = makeEditor(usersTable);
        QCOMPARE(editor->writeTable(protocol), int(ERR_TABLE_EMPTY));
        QCOMPARE(editor->readTable(protocol), 0);
        for (const QString &change : edits) {
            const QStringList parts = change.split('=');
            const QStringList place = parts[0].split('/');
            edit(*editor, place[0].toInt(), place[1].toInt(), parts[1]);
        }
        protocol.clearCalls();
        QCOMPARE(editor->writeTable(protocol), result);
        QCOMPARE(writes(protocol.calls), written);
        QCOMPARE(changedCells(*editor), stillChanged);
    }

    void invalidCell_data()
    {
        columns<int, int, int, QString, QString>("table", "row", "column", "rejected", "accepted");
        QTest::newRow("generic") << usersTable << 1 << 0 << QString("12a") << QString("12");
        QTest::newRow("settings value, too big for 2 bytes")
            << 2 << 2 << 2 << QString("70000") << QString("7");
    }

    void invalidCell()
    {
        const auto [table, row, column, rejected, accepted] =
            fetch<int, int, int, QString, QString>("table", "row", "column", "rejected",
                                                   "accepted");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(table, 4);
        const auto editor = makeEditor(table);
        editor->readTable(protocol);
        QTableWidgetItem *cell = editor->item(row, column);
        cell->setText(rejected);
        QCOMPARE(editor->findInvalidItem(), cell);
        int red = 0;
        for (int r = 0; r < editor->rowCount(); ++r) {
            for (int c = 0; c < editor->columnCount(); ++c)
                red += editor->item(r, c)->background().color() == QColor(Qt::red);
        }
        QCOMPARE(red, 1);
        cell->setText(accepted);
        QCOMPARE(cell->background().color(), QColor(Qt::white));
        QCOMPARE(editor->findInvalidItem(), nullptr);
    }

    void goodsRead_data()
    {
        columns<int, Failures, int, int>("records", "failures", "result", "rowCount");
        QTest::newRow("empty table") << 0 << Failures() << 0 << 0;
        QTest::newRow("three records") << 3 << Failures() << 0 << 3;
        QTest::newRow("-511 on record 3")
            << 5 << Failures{{{3, 0}, ERR_DEVICE}} << int(ERR_DEVICE) << 2;
    }

    void goodsRead()
    {
        const auto [records, failures, result, rowCount] =
            fetch<int, Failures, int, int>("records", "failures", "result", "rowCount");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(1, records);
        protocol.failures = failures;
        QMyTable1Widget editor;
        QCOMPARE(editor.readTable(protocol), result);
        QCOMPARE(editor.rowCount(), rowCount);
        // One record per call, nothing field by field.
        QCOMPARE(protocol.calls.size(), qMin(records + 1, rowCount + 1));
        QCOMPARE(protocol.calls.filter(QStringLiteral("readRow 1 ")).size(), protocol.calls.size());
        for (int row = 0; row < rowCount; ++row) {
            QCOMPARE(editor.item(row, 1)->type(), 6);
            QCOMPARE(editor.item(row, 1)->background().color(), QColor(Qt::white));
        }
    }

    void settingsRead()
    {
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(2, 5);
        protocol.failures = {{{1, 2}, ERR_DEVICE}};
        QMyTable2Widget editor;
        QCOMPARE(editor.readTable(protocol), 0);
        QCOMPARE(gridText(editor), "1,6 BCD,1001|~,~,~|3,2 BIN,13|4,2 BIN,14|5,6 BCD,1005");
        QCOMPARE(editor.item(0, 0)->type(), 1);
        QCOMPARE(editor.item(0, 1)->type(), 1);
        QCOMPARE(editor.item(0, 2)->type(), 6);
        QCOMPARE(editor.item(3, 1)->type(), 2);
        QVERIFY(!(editor.item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(editor.item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(editor.item(0, 2)->flags() & Qt::ItemIsEditable);
        QCOMPARE(protocol.calls.last(), QStringLiteral("readField 2 1 6"));

        // The refused field's empty row: passed over when looking for invalid cells,
        // stops the write, which sends every row before it.
        QCOMPARE(editor.findInvalidItem(), nullptr);
        protocol.clearCalls();
        QCOMPARE(editor.writeTable(protocol), int(ERR_INVALID_DATA));
        QCOMPARE(writes(protocol.calls), QStringList{"writeField 2 1 1 = 1001"});

        editor.removeRow(1);
        protocol.clearCalls();
        QCOMPARE(editor.writeTable(protocol), 0);
        QCOMPARE(writes(protocol.calls).size(), 4);
    }

    // A register that stops answering has not ended its settings: the read
    // fails there, with the fields read before, and tries no further field.
    void settingsReadFailsOnSilence()
    {
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(2, 5);
        protocol.unanswered = {{1, 3}};
        QMyTable2Widget editor;
        QCOMPARE(editor.readTable(protocol), int(ERR_DEVICE));
        QCOMPARE(editor.rowCount(), 2);
        QCOMPARE(protocol.calls.last(), QStringLiteral("readField 2 1 3"));
    }

    void wirelessRead_data()
    {
        columns<int, int, QString>("registerRows", "filled", "lastCall");
        QTest::newRow("eight rows, the ninth refused") << 8 << 8 << "readField 11 9 1";
        QTest::newRow("a ninth row the catalogue has no type for") << 9 << 8 << "readField 11 9 1";
        QTest::newRow("five rows") << 5 << 5 << "readField 11 6 1";
    }

    void wirelessRead()
    {
        const auto [registerRows, filled, lastCall] =
            fetch<int, int, QString>("registerRows", "filled", "lastCall");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(11, 8);
        protocol.rows.resize(registerRows);
        if (registerRows > 8)
            protocol.rows[8] = {{32, QStringLiteral("1")}};
        QMyTable11Widget editor;
        QCOMPARE(editor.readTable(protocol), 0);
        QCOMPARE(editor.rowCount(), 1);
        QCOMPARE(gridShape(editor), QString(filled, '1') + QString(8 - filled, '0'));
        QCOMPARE(protocol.calls.last(), lastCall);
        QCOMPARE(editor.item(0, 3)->type(), 32);
        QCOMPARE(editor.item(0, 3)->text(), QStringLiteral("5"));
    }

    void readOnlyTables_data()
    {
        columns<int>("table");
        QTest::newRow("tax rates") << 7;
        QTest::newRow("payment types") << 8;
    }

    void readOnlyTables()
    {
        QFETCH(int, table);
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(table, 2);
        const auto editor = makeEditor(table);
        QVERIFY(!editor->isWritable());
        QCOMPARE(editor->readTable(protocol), 0);
        QVERIFY(!(editor->item(1, 0)->flags() & Qt::ItemIsEditable));

        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("table.txt"));
        QVERIFY(writeFile(path, QStringLiteral("%1\n2\t1\t40\tloaded\n").arg(table).toUtf8()));
        QCOMPARE(editor->loadFromFile(path), 0);
        QVERIFY(editor->item(1, 0)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(editor->item(0, 0)->flags() & Qt::ItemIsEditable));
        // A value loaded into a table never written is no edit waiting for a write.
        QVERIFY(!editor->hasChangedCells());
    }

    // The catalogue says which tables are written; every editor agrees.
    void editorsWritableAsCatalogued()
    {
        for (int table : TableCatalogue::numbers())
            QCOMPARE(makeEditor(table)->isWritable(), TableCatalogue::isWritable(table));
    }

    // A read of one grid takes the steps that changed it, and the earlier
    // steps of the grids those changed too: undone, they would put back what
    // the steps gone had replaced. A grid they never touched keeps its steps.
    void historyForgetsWhatAReadMakesStale()
    {
        QTableWidget first, second, other;
        GridHistory history;
        const auto step = [&history](const QString &name, QList<QTableWidget *> grids) {
            GridHistory::Parts parts;
            for (QTableWidget *grid : grids)
                parts.push_back(std::make_unique<GridRollback>(*grid));
            history.record(name, std::move(parts));
        };
        step("other", {&other});
        step("first", {&first});
        step("both", {&first, &second});
        history.forget(second);
        QCOMPARE(history.undoName(), "other");
    }

    // Past its limit of kept cells the history drops its oldest steps, never the newest.
    void historyKeepsBoundedCells()
    {
        QTableWidget grid(1, 3);
        GridHistory history(nullptr, 4);
        for (const QString name : {"0", "1", "2"}) {
            for (int column = 0; column < 3; ++column)
                grid.setItem(0, column, new QTableWidgetItem(name));
            GridHistory::Parts parts;
            parts.push_back(std::make_unique<GridRollback>(grid));
            parts.back()->keepRowsFrom(0);
            history.record(name, std::move(parts));
        }
        QCOMPARE(history.undoName(), "2");
        history.undo();
        QCOMPARE(history.undoName(), QString());
    }
};

QTEST_MAIN(TestTableEditors)
#include "tst_tableeditors.moc"
