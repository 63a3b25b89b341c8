#include "cellmarks.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using CellMarks::Highlight;

namespace {

QList<QPoint> differingCells(const QTableWidget &grid)
{
    QList<QPoint> cells;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            if (cell && CellMarks::highlight(*cell) == Highlight::Difference)
                cells << QPoint(column, row);
        }
    }
    return cells;
}

void appendLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(lines.join('\n').toUtf8() + '\n');
}

} // namespace

// Comparisons of the users' table of the built-in register with a file and
// with the register itself.
class TestComparison : public WindowTest
{
    Q_OBJECT

    QLabel *comparisonLabel() { return child<QLabel>("comparisonLabel"); }
    void trigger(const char *action) { child<QAction>(action)->trigger(); }
    QPoint currentCell()
    {
        return QPoint(currentEditor()->currentColumn(), currentEditor()->currentRow());
    }

private slots:
    void plantedDifferencesCounted_data()
    {
        columns<bool, QString, QString>("withFile", "label", "afterEdit");
        QTest::newRow("file") << true << "Различий с файлом: 4 (строк только в файле: 2)"
                              << "Различий с файлом: 3 (строк только в файле: 2)";
        QTest::newRow("register") << false << "Различий с ККТ: 3 (строк только в таблице: 1)"
                                  << "Различий с ККТ: 2 (строк только в таблице: 1)";
    }

    // Edited cells differ from the file the table was saved to, and rows the
    // file adds count once each; loaded into the grid, the same file's
    // changes differ from the register, which lacks the added row.
    void plantedDifferencesCounted()
    {
        const auto [withFile, label, afterEdit] =
            fetch<bool, QString, QString>("withFile", "label", "afterEdit");
        QTemporaryDir directory;
        const QString path = directory.filePath("users.txt");
        selectTable(3);
        click("pbRead");
        QMyTableWidget *grid = currentEditor();
        const int rows = grid->rowCount();
        answerFileDialog(path);
        click("pbSaveTable");
        if (withFile) {
            editCell(1, 1, "Иванов");
            editCell(rows - 1, 0, "99");
            appendLines(path, {QString("%1\t1\t2\t5").arg(rows + 1),
                               QString("%1\t2\t30\tНовый").arg(rows + 2)});
        } else {
            appendLines(path, {"2\t2\t30\tПетров", "3\t1\t2\t77",
                               QString("%1\t2\t30\tНовый").arg(rows + 1)});
            answerFileDialog(path);
            click("pbLoadTable");
        }
        QStringList texts;
        for (int row = 0; row < grid->rowCount(); ++row)
            texts << grid->item(row, 1)->text();
        const int bold = boldCells(*grid);

        if (withFile)
            answerFileDialog(path);
        trigger(withFile ? "actionCompareWithFile" : "actionCompareWithRegister");
        QCOMPARE(comparisonLabel()->text(), label);
        QVERIFY(comparisonLabel()->isVisible());
        const QList<QPoint> expected = withFile ? QList<QPoint>{{1, 1}, {0, rows - 1}}
                                                : QList<QPoint>{{1, 1}, {0, 2}, {1, rows}};
        QList<QPoint> found = differingCells(*grid);
        std::sort(found.begin(), found.end(), [](QPoint a, QPoint b) {
            return std::make_pair(a.y(), a.x()) < std::make_pair(b.y(), b.x());
        });
        QCOMPARE(found, expected);
        // Nothing in the grid changed but its colours.
        for (int row = 0; row < grid->rowCount(); ++row)
            QCOMPARE(grid->item(row, 1)->text(), texts.at(row));
        QCOMPARE(boldCells(*grid), bold);

        // F3 starts at the first difference, Shift+F3 wraps to the last.
        QCOMPARE(currentCell(), expected.first());
        trigger("actionNextDifference");
        QCOMPARE(currentCell(), expected.at(1));
        trigger("actionPreviousDifference");
        trigger("actionPreviousDifference");
        QCOMPARE(currentCell(), expected.last());

        // An edit takes its cell's highlight away and the count follows it.
        editCell(1, 1, "Смирнов");
        QTRY_COMPARE(comparisonLabel()->text(), afterEdit);
        QCOMPARE(differingCells(*grid).size(), expected.size() - 1);
    }

    // Texts that the register stores alike are the same value: a price with
    // or without its trailing zero, a name with trailing blanks.
    void sameValueInOtherWords()
    {
        QTemporaryDir directory;
        const QString path = directory.filePath("goods.txt");
        selectTable(1);
        click("pbRead");
        answerFileDialog(path);
        click("pbSaveTable");
        QCOMPARE(currentEditor()->item(0, 2)->text(), "54.90");
        appendLines(path,
                    {"1\t3\t8\t54.9", "2\t1\t64\t" + currentEditor()->item(1, 0)->text() + "   ",
                     "3\t3\t8\t1.00"});
        answerFileDialog(path);
        trigger("actionCompareWithFile");
        QCOMPARE(comparisonLabel()->text(), "Различий с файлом: 1");
        QCOMPARE(differingCells(*currentEditor()), QList<QPoint>{QPoint(2, 2)});
    }

    // A read, a load or the menu's command ends the comparison; another port
    // one with the register.
    void comparisonCleared_data()
    {
        columns<QString>("by");
        QTest::newRow("read") << "read";
        QTest::newRow("load") << "load";
        QTest::newRow("command") << "command";
        QTest::newRow("another port") << "port";
    }

    void comparisonCleared()
    {
        QFETCH(QString, by);
        QTemporaryDir directory;
        const QString path = directory.filePath("users.txt");
        selectTable(3);
        click("pbRead");
        answerFileDialog(path);
        click("pbSaveTable");
        editCell(0, 1, "Сидоров");
        if (by != "port")
            answerFileDialog(path);
        trigger(by == "port" ? "actionCompareWithRegister" : "actionCompareWithFile");
        QCOMPARE(differingCells(*currentEditor()).size(), 1);
        if (by == "command") {
            trigger("actionClearComparison");
        } else if (by == "port") {
            fillPortBox(ports(), {PortInfo::typedPath("/dev/ttyS9")});
        } else {
            ModalSeen dropEdits;
            answerMessageBox(&dropEdits, QMessageBox::Yes, window);
            if (by == "load")
                answerFileDialog(path);
            click(by == "read" ? "pbRead" : "pbLoadTable");
        }
        QCOMPARE(differingCells(*currentEditor()).size(), 0);
        QVERIFY(comparisonLabel()->isHidden());
    }
};

QTEST_MAIN(TestComparison)
#include "tst_comparison.moc"
