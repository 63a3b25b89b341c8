#include "cellmarks.h"
#include "gridtable.h"
#include "memorytable.h"
#include "tablecomparison.h"
#include "testdata.h"

#include <QTableWidget>

#include <memory>

using CellMarks::Highlight;

namespace {

// A grid of a table the catalogue does not know: texts only, no values.
struct Grid : QTableWidget
{
    explicit Grid(int rows) : QTableWidget(rows, 3) {}
    GridTable data{*this, 0};
};

// Rows of "," separated texts, "~" for a missing cell, three columns.
std::unique_ptr<Grid> makeGrid(const QStringList &rows)
{
    auto grid = std::make_unique<Grid>(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList texts = rows[row].split(',');
        for (int column = 0; column < texts.size(); ++column) {
            if (texts[column] != "~")
                grid->setItem(row, column, new QTableWidgetItem(texts[column]));
        }
    }
    return grid;
}

// Every cell as "text:bold", a missing one as "~", to see that nothing but
// the highlights changed.
QString contents(const QTableWidget &grid)
{
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            cells << (cell ? cell->text() + ':' + QString::number(CellMarks::isChanged(*cell))
                           : QStringLiteral("~"));
        }
    }
    return cells.join(',');
}

// The cells with that highlight for their text, as "row/column", joined by ",".
QString highlighted(const QTableWidget &grid, Highlight kind = Highlight::Difference)
{
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            if (cell && CellMarks::isHighlighted(*cell, kind))
                cells << QStringLiteral("%1/%2").arg(row).arg(column);
        }
    }
    return cells.join(',');
}

QTableWidgetItem *at(QTableWidget &grid, const QString &place)
{
    return grid.item(place.section('/', 0, 0).toInt(), place.section('/', 1, 1).toInt());
}

} // namespace

class TestTableComparison : public QObject
{
    Q_OBJECT
private slots:
    void compare_data()
    {
        columns<QStringList, QStringList, int, int, int, QString>(
            "grid", "other", "cells", "onlyInGrid", "onlyInOther", "highlighted");
        const QStringList same{"1,a,x", "2,b,y"};
        QTest::newRow("same") << same << same << 0 << 0 << 0 << "";
        QTest::newRow("planted cells")
            << QStringList{"1,a,x", "2,b,y", "3,c,z"} << QStringList{"1,A,x", "2,b,y", "3,c,"} << 2
            << 0 << 0 << "0/1,2/2";
        QTest::newRow("missing cell and empty text are equal")
            << QStringList{"1,~,x", "2,,y"} << QStringList{"1,,x", "2,~,y"} << 0 << 0 << 0 << "";
        QTest::newRow("missing grid cell differs: counted, not created")
            << QStringList{"1,~,x"} << QStringList{"1,a,x"} << 1 << 0 << 0 << "";
        QTest::newRow("missing other cell differs")
            << QStringList{"1,a,x"} << QStringList{"1,~,x"} << 1 << 0 << 0 << "0/1";
        QTest::newRow("rows only in grid: once each, present cells highlighted")
            << QStringList{"1,a,x", "2,~,y", "~,~,~"} << QStringList{"1,a,X"} << 1 << 2 << 0
            << "0/2,1/0,1/2";
        QTest::newRow("rows only in other: once each")
            << QStringList{"1,a,x"} << QStringList{"1,a,x", "2,b,y", "3,c,z"} << 0 << 0 << 2 << "";
        QTest::newRow("empty grid") << QStringList{} << same << 0 << 0 << 2 << "";
    }

    void compare()
    {
        const auto [gridRows, otherRows, cells, onlyInGrid, onlyInOther, expected] =
            fetch<QStringList, QStringList, int, int, int, QString>(
                "grid", "other", "cells", "onlyInGrid", "onlyInOther", "highlighted");
        const auto grid = makeGrid(gridRows);
        const auto other = makeGrid(otherRows);
        // Every other cell marked changed: the comparison must leave the marks be.
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = row % 2; column < 3; column += 2) {
                if (QTableWidgetItem *cell = grid->item(row, column))
                    CellMarks::setWeight(*cell, CellMarks::changedWeight);
            }
        }
        const QString before = contents(*grid);

        TableComparison comparison;
        comparison.compare(grid->data, other->data);
        QCOMPARE(comparison.differentCells(), cells);
        QCOMPARE(comparison.rowsOnlyInTable(), onlyInGrid);
        QCOMPARE(comparison.rowsOnlyInOther(), onlyInOther);
        QCOMPARE(comparison.differences(), cells + onlyInGrid + onlyInOther);
        QCOMPARE(comparison.remaining(grid->data), comparison.differences());
        QCOMPARE(highlighted(*grid), expected);
        QCOMPARE(contents(*grid), before);
        if (!expected.isEmpty()) {
            QCOMPARE(at(*grid, expected.section(',', 0, 0))->background().color(),
                     CellMarks::highlightColor(Highlight::Difference));
        }
    }

    // A later comparison and a clear take only differences away; a red cell
    // stays red with the highlight; a write mismatch that differs becomes a
    // difference, to be found with the others.
    void recompareAndClear()
    {
        const auto grid = makeGrid({"1,a,x", "2,b,y", "3,c,z"});
        CellMarks::setHighlight(*grid->item(1, 2), Highlight::WriteMismatch);
        CellMarks::setHighlight(*grid->item(2, 0), Highlight::WriteMismatch);
        CellMarks::setValidity(*grid->item(0, 2), false);
        TableComparison comparison;
        comparison.compare(grid->data, makeGrid({"1,A,x", "2,b,y", "3,c,z"})->data);
        QCOMPARE(highlighted(*grid), "0/1");

        comparison.compare(grid->data, makeGrid({"1,a,X", "2,b,y", "9,c,z"})->data);
        QCOMPARE(highlighted(*grid), "0/2,2/0");
        QCOMPARE(highlighted(*grid, Highlight::WriteMismatch), "1/2");
        QCOMPARE(grid->item(0, 1)->background().color(), QColor(Qt::white));
        QVERIFY(CellMarks::isInvalid(*grid->item(0, 2)));
        QCOMPARE(grid->item(1, 2)->background().color(),
                 CellMarks::highlightColor(Highlight::WriteMismatch));

        TableComparison::clear(grid->data);
        QCOMPARE(highlighted(*grid), "");
        QCOMPARE(highlighted(*grid, Highlight::WriteMismatch), "1/2");
        QVERIFY(CellMarks::isInvalid(*grid->item(0, 2)));
        const QStringList colours{QColor(Qt::white).name(), QColor(Qt::red).name(),
                                  CellMarks::highlightColor(Highlight::WriteMismatch).name(),
                                  CellMarks::highlightColor(Highlight::Difference).name()};
        QCOMPARE(QSet<QString>(colours.begin(), colours.end()).size(), colours.size());
    }

    void nextDifference_data()
    {
        columns<QStringList, int, int, bool, QString>("edited", "row", "column", "forward",
                                                      "found");
        QTest::newRow("forward") << QStringList{} << 0 << 0 << true << "1/2";
        QTest::newRow("forward from between") << QStringList{} << 0 << 1 << true << "1/2";
        QTest::newRow("forward wraps") << QStringList{} << 2 << 1 << true << "0/0";
        QTest::newRow("backward") << QStringList{} << 1 << 2 << false << "0/0";
        QTest::newRow("backward wraps") << QStringList{} << 0 << 0 << false << "2/1";
        QTest::newRow("forward from outside") << QStringList{} << -1 << -1 << true << "0/0";
        QTest::newRow("backward from outside") << QStringList{} << 5 << 0 << false << "2/1";
        QTest::newRow("edited skipped") << QStringList{"1/2"} << 0 << 0 << true << "2/1";
        QTest::newRow("edited skipped backward") << QStringList{"0/0"} << 1 << 2 << false << "2/1";
        QTest::newRow("only the one at hand left")
            << QStringList{"1/2", "2/1"} << 0 << 0 << true << "0/0";
        QTest::newRow("none left") << QStringList{"0/0", "1/2", "2/1"} << 0 << 0 << true << "";
    }

    void nextDifference()
    {
        const auto [edited, row, column, forward, found] =
            fetch<QStringList, int, int, bool, QString>("edited", "row", "column", "forward",
                                                        "found");
        const auto grid = makeGrid({"a,b,c", "d,e,f", "g,h,i"});
        TableComparison comparison;
        comparison.compare(grid->data, makeGrid({"A,b,c", "d,e,F", "g,H,i"})->data);
        for (const QString &place : edited)
            at(*grid, place)->setText("new");
        QCOMPARE(comparison.remaining(grid->data), 3 - edited.size());
        int nextRow = row;
        int nextColumn = column;
        const bool next = TableComparison::nextDifference(grid->data, nextRow, nextColumn, forward);
        QCOMPARE(next ? QStringLiteral("%1/%2").arg(nextRow).arg(nextColumn) : "", found);
    }

    // A row only in the grid remains while one of its cells is untouched; a
    // missing cell that differs, until one is placed there.
    void remainingAfterEdits()
    {
        const auto grid = makeGrid({"1,~,x", "2,b,y", "3,~,~"});
        TableComparison comparison;
        comparison.compare(grid->data, makeGrid({"1,a,x"})->data);
        QCOMPARE(comparison.differences(), 3);
        grid->item(1, 0)->setText("20");
        grid->item(1, 1)->setText("bb");
        QCOMPARE(comparison.remaining(grid->data), 3);
        grid->item(1, 2)->setText("yy");
        QCOMPARE(comparison.remaining(grid->data), 2);
        grid->item(2, 0)->setText("30");
        QCOMPARE(comparison.remaining(grid->data), 2);
        grid->setItem(0, 1, new QTableWidgetItem("a"));
        QCOMPARE(comparison.remaining(grid->data), 1);
    }

    // Texts that the register keeps as one value do not differ; the goods in
    // memory, as the command line compares them.
    void sameValue()
    {
        const auto goods = [](const QString &name, const QString &price) {
            auto table = std::make_unique<MemoryTable>(1);
            table->setRowCount(1);
            table->setCell(0, 0, name, 32);
            table->setCell(0, 2, price, 5);
            return table;
        };
        const auto table = goods("ХЛЕБ", "1.50");
        TableComparison comparison;
        comparison.compare(*table, *goods("ХЛЕБ", "1.5"));
        QCOMPARE(comparison.differences(), 0);
        comparison.compare(*table, *goods("БАТОН", "1.5"));
        QCOMPARE(comparison.differentCells(), 1);
        QCOMPARE(table->highlight(0, 0), CellHighlight::Difference);
        QCOMPARE(table->highlight(0, 2), CellHighlight::None);
    }
};

QTEST_MAIN(TestTableComparison)
#include "tst_tablecomparison.moc"
