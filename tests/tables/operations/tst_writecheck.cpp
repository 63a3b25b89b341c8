#include "cellmarks.h"
#include "errorcode.h"
#include "operationprogress.h"
#include "qmytablewidget.h"
#include "scriptedprotocol.h"
#include "tableoperations.h"
#include "tabletestsupport.h"
#include "testdata.h"
#include "writecheck.h"

namespace {

// "row/column=text" from 0, as the cell editor would leave the cell.
void edit(QTableWidget &grid, const QString &change)
{
    const QStringList place = change.section('=', 0, 0).split('/');
    QTableWidgetItem *cell = grid.item(place[0].toInt(), place[1].toInt());
    cell->setText(change.section('=', 1));
    CellMarks::setWeight(*cell, CellMarks::changedWeight);
}

// What the scripted register holds after a write, "row/column=text" of the
// grid: table 2 keeps grid row r in field r + 1, table 11 column c in row c + 1.
void store(ScriptedProtocol &protocol, int table, const QString &change)
{
    const QStringList place = change.section('=', 0, 0).split('/');
    const int row = place[0].toInt();
    const int column = place[1].toInt();
    ScriptedProtocol::Cell &cell = table == 2    ? protocol.rows[0][row]
                                   : table == 11 ? protocol.rows[column][0]
                                                 : protocol.rows[row][column];
    cell.text = change.section('=', 1);
}

QStringList reads(const QStringList &calls)
{
    return calls.filter(QRegularExpression("^read"));
}

} // namespace

class TestWriteCheck : public QObject
{
    Q_OBJECT
private slots:
    // The register holds what was edited, then the changes in "unkept", which
    // the check reaches before any stop.
    void checkAfterWrite_data()
    {
        columns<int, QStringList, QStringList, int, QStringList, int>("table", "edits", "unkept",
                                                                      "stopAt", "reads", "result");
        const auto row = [](const char *name, int table, const QStringList &edits,
                            const QStringList &unkept, int stopAt, const QStringList &reads,
                            int result) {
            QTest::newRow(name) << table << edits << unkept << stopAt << reads << result;
        };
        const QStringList threeRecords{"0/0=11", "1/0=12", "2/0=13"};
        const QStringList threeReads{"readField 3 1 1", "readField 3 2 1", "readField 3 3 1"};
        row("a field in each record: a field read each", 3, threeRecords, {}, -1, threeReads, 0);
        row("two fields of a record: fewer reads than learning the record", 3,
            {"0/0=11", "0/1=Anna"}, {}, -1, {"readField 3 1 1", "readField 3 1 2"}, 0);
        QStringList goods;
        for (int record = 0; record < 3; ++record) {
            for (const char *cell : {"1=12", "2=1.50", "3=1", "4=2", "5=3"})
                goods << QStringLiteral("%1/%2").arg(record).arg(cell);
        }
        row("five fields of each goods record: a record read each", 1, goods, {}, -1,
            {"readRow 1 1", "readRow 1 2", "readRow 1 3"}, 0);
        row("settings: every row, field by field", 2, {"1/2=7"}, {}, -1,
            {"readField 2 1 1", "readField 2 1 2", "readField 2 1 3", "readField 2 1 4"}, 0);
        row("wireless: a register row each", 11, {"0/1=user", "0/3=2"}, {}, -1,
            {"readField 11 2 1", "readField 11 4 1"}, 0);
        row("values the register changed", 3, threeRecords, {"1/0=99", "2/0=98"}, -1, threeReads,
            ERR_DEVICE);
        row("stopped after the first record", 3, threeRecords, {}, 1, {"readField 3 1 1"},
            ERR_CANCELLED);
        row("stopped after a mismatch", 3, threeRecords, {"0/0=99"}, 1, {"readField 3 1 1"},
            ERR_DEVICE);
    }

    void checkAfterWrite()
    {
        const auto [table, edits, unkept, stopAt, expectedReads, result] =
            fetch<int, QStringList, QStringList, int, QStringList, int>(
                "table", "edits", "unkept", "stopAt", "reads", "result");
        ScriptedProtocol protocol;
        // Table 11 writes only when all eight of its register rows are there.
        protocol.rows = sampleRows(table, table == 11 ? 8 : 4);
        const auto editor = makeEditor(table);
        QCOMPARE(editor->readTable(protocol), 0);
        for (const QString &change : edits) {
            edit(*editor, change);
            store(protocol, table, change);
        }
        WriteCheck check(editor->data());
        QCOMPARE(TableOperations::writeTable(protocol, editor->data(), &check, nullptr), 0);
        for (const QString &change : unkept)
            store(protocol, table, change);

        protocol.clearCalls();
        // A stop asked for during the stopAt-th read comes at the event point after it.
        OperationProgress progress;
        progress.start();
        int readsDone = 0;
        protocol.onCall = [&] {
            if (++readsDone == stopAt)
                progress.requestCancel();
        };
        QCOMPARE(check.run(protocol, &progress), result);
        protocol.onCall = nullptr;
        QCOMPARE(reads(protocol.calls), expectedReads);
        QCOMPARE(check.checked(), qint64(stopAt < 0 ? check.size() : expectedReads.size()));
        QCOMPARE(check.mismatches(), qint64(unkept.size()));
        QStringList unkeptCells;
        for (const QString &change : unkept)
            unkeptCells << change.section('=', 0, 0);
        if (!unkept.isEmpty()) {
            QCOMPARE(QStringLiteral("%1/%2")
                         .arg(check.firstMismatchRow())
                         .arg(check.firstMismatchColumn()),
                     unkeptCells.first());
        }
        // They alone stay changed, and are highlighted.
        QCOMPARE(changedCells(*editor), unkeptCells.join(','));
        QStringList highlighted;
        for (int row = 0; row < editor->rowCount(); ++row) {
            for (int column = 0; column < editor->columnCount(); ++column) {
                const QTableWidgetItem *cell = editor->item(row, column);
                if (cell && CellMarks::highlight(*cell) == CellMarks::Highlight::WriteMismatch)
                    highlighted << QStringLiteral("%1/%2").arg(row).arg(column);
            }
        }
        QCOMPARE(highlighted, unkeptCells);
    }
};

QTEST_MAIN(TestWriteCheck)
#include "tst_writecheck.moc"
