#include "errorcode.h"
#include "memorytable.h"
#include "scriptedprotocol.h"
#include "tableoperations.h"
#include "tabletestsupport.h"
#include "testdata.h"

namespace {

// Every cell's text, row by row; "~" for a missing one.
QStringList texts(const TableData &table)
{
    QStringList texts{QString::number(table.rowCount())};
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column)
            texts << (table.hasCell(row, column) ? table.text(row, column) : QStringLiteral("~"));
    }
    return texts;
}

} // namespace

class TestContinueRead : public QObject
{
    Q_OBJECT
private slots:
    // A read that lost the line at (row, field) goes on from where it
    // stopped and ends as a whole read: the rows read already are not read
    // again, but for the row a field-by-field read was cut inside.
    void continuesWhereTheReadStopped_data()
    {
        columns<int, int, int, QString>("table", "row", "field", "firstAgain");
        QTest::newRow("goods, record by record") << 1 << 4 << 0 << "readRow 1 4";
        QTest::newRow("users, inside a row") << 3 << 4 << 2 << "readField 3 4 1";
        QTest::newRow("users, at a row's first field") << 3 << 4 << 1 << "readField 3 3 1";
        QTest::newRow("settings, field by field") << 2 << 1 << 4 << "readField 2 1 4";
        QTest::newRow("GSM/Wi-Fi, a row per column") << 11 << 4 << 1 << "readField 11 4 1";
    }

    void continuesWhereTheReadStopped()
    {
        const auto [number, row, field, firstAgain] =
            fetch<int, int, int, QString>("table", "row", "field", "firstAgain");
        ScriptedProtocol protocol;
        protocol.rows = sampleRows(number, 6);
        MemoryTable whole(number);
        QCOMPARE(TableOperations::readTable(protocol, whole, nullptr), int(ERR_OK));

        MemoryTable table(number);
        protocol.unanswered.insert({row, field});
        QCOMPARE(TableOperations::readTable(protocol, table, nullptr), int(ERR_DEVICE));
        QVERIFY(texts(table) != texts(whole));
        protocol.unanswered.clear();
        protocol.clearCalls();
        QCOMPARE(TableOperations::continueTable(protocol, table, nullptr), int(ERR_OK));
        QCOMPARE(texts(table), texts(whole));
        QCOMPARE(protocol.calls.value(0), firstAgain);
        QCOMPARE(QSet<QString>(protocol.calls.begin(), protocol.calls.end()).size(),
                 protocol.calls.size());
    }
};

QTEST_MAIN(TestContinueRead)
#include "tst_continueread.moc"
