#include "gridrollback.h"
#include "gridtable.h"
#include "testdata.h"

#include <QTableWidget>

namespace {

constexpr int usersTable = 3;

// The item at every place of the grid, nullptr where there is none.
QVector<QTableWidgetItem *> items(const QTableWidget &grid)
{
    QVector<QTableWidgetItem *> found;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column)
            found << grid.item(row, column);
    }
    return found;
}

} // namespace

class TestGridRollback : public QObject
{
    Q_OBJECT
private slots:
    // Steps of a load as "row column" for a cell put in, or "rows N".
    void restoresTheVeryItems_data()
    {
        columns<QStringList>("steps");
        QTest::newRow("a cell replaced twice, a missing one filled")
            << QStringList{"0 0", "1 1", "0 0"};
        QTest::newRow("rows added and filled") << QStringList{"rows 5", "4 0", "1 2"};
        QTest::newRow("rows dropped, then a cell of those left") << QStringList{"rows 1", "0 1"};
        QTest::newRow("rows dropped and added again")
            << QStringList{"rows 1", "rows 4", "2 0", "3 2"};
        QTest::newRow("every row dropped") << QStringList{"rows 0"};
    }

    void restoresTheVeryItems()
    {
        const auto [steps] = fetch<QStringList>("steps");
        QTableWidget grid(3, 3);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (row != 1 || column != 1)
                    grid.setItem(row, column,
                                 new QTableWidgetItem(QString::number(row * 3 + column)));
            }
        }
        const QVector<QTableWidgetItem *> before = items(grid);
        GridTable table(grid, usersTable);
        {
            GridRollback rollback(grid);
            table.setRollback(&rollback);
            for (const QString &step : steps) {
                const QStringList parts = step.split(' ');
                if (parts.first() == "rows")
                    table.setRowCount(parts.last().toInt());
                else
                    table.setCell(parts.first().toInt(), parts.last().toInt(), "новое", 2,
                                  TableData::Changed);
            }
            table.setRollback(nullptr);
            rollback.restore();
        }
        QCOMPARE(items(grid), before);
    }
};

QTEST_MAIN(TestGridRollback)
#include "tst_gridrollback.moc"
