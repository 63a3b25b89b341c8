#include "cellmarks.h"
#include "fieldtypes.h"
#include "logcapture.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "registerprocess.h"
#include "tablecatalogue.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using CellMarks::Highlight;

namespace {

// A value the register keeps, other than the one it holds; "К" goes out as the
// Latin K in general-scheme texts and comes back so.
QString keptValue(int type)
{
    switch (type) {
    case FIELD_STR:
        return QStringLiteral("Кекс К-2");
    case FIELD_CURRENCY_BCD:
        return QStringLiteral("12.34");
    case FIELD_BCD:
        return QStringLiteral("12");
    default:
        return QStringLiteral("7");
    }
}

bool isMismatch(const QTableWidgetItem *cell)
{
    return cell->background().color() == CellMarks::highlightColor(Highlight::WriteMismatch);
}

int mismatchedCells(const QTableWidget &grid)
{
    int count = 0;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column)
            count += grid.item(row, column) && isMismatch(grid.item(row, column));
    }
    return count;
}

} // namespace

class TestCheckedWrites : public WindowTest
{
    Q_OBJECT

    // The built-in register's users: row 5's name gets a "€", which a
    // general-scheme text cannot hold; the register keeps another byte for it.
    void writeUnkeptName(ModalSeen &error)
    {
        selectTable(3);
        click("pbRead");
        editCell(1, 1, QStringLiteral("Кассир К"));
        editCell(4, 1, QStringLiteral("Касса €"));
        answerMessageBox(&error, QMessageBox::Ok, window);
        click("pbWrite");
    }

private slots:
    // Every field type of every writable table, against the built-in register.
    void writeOfEveryFieldChecksClean_data()
    {
        columns<int>("table");
        for (int table : {1, 2, 3, 4, 5, 6, 9, 11, 12})
            QTest::addRow("table %d", table) << table;
    }

    void writeOfEveryFieldChecksClean()
    {
        QFETCH(int, table);
        selectTable(table);
        click("pbRead");
        QMyTableWidget *editor = currentEditor();
        if (table == 2) {
            // The value column of fields 1 to 6, BCD and binary.
            for (int row = 0; row < 6; ++row)
                editCell(row, 2, keptValue(fieldType(2, row + 1)));
        } else {
            for (int column = 0; column < editor->columnCount(); ++column) {
                if (!editor->isColumnHidden(column))
                    editCell(0, column, keptValue(fieldType(table, column + 1)));
            }
        }
        // The settings have no change marks: their write sends every row.
        const int written = table == 2 ? editor->rowCount() : boldCells(*editor);
        QVERIFY(written > 0);
        NoMessageBox noBox;
        click("pbWrite");
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(boldCells(*editor), 0);
        QCOMPARE(mismatchedCells(*editor), 0);
        const QString summary = progressLabel()->text();
        QVERIFY2(summary.startsWith(QStringLiteral("Записано %1 ").arg(written)) &&
                     summary.endsWith(", проверено"),
                 qPrintable(summary));
    }

    // A write that stops at an invalid cell, after the user agreed to it, has
    // sent the cells before: they are checked all the same. The question
    // names the cell, and the error where it stopped and what it left unsent.
    void writeStoppedAtInvalidCellChecksWhatWent()
    {
        selectTable(3);
        click("pbRead");
        editCell(1, 1, QStringLiteral("Касса €"));
        editCell(4, 0, QStringLiteral("abc"));
        editCell(5, 1, QStringLiteral("Старший кассир"));
        ModalSeen question;
        ModalSeen error;
        answerMessageBox(&question, QMessageBox::Yes, window, {{&error, QMessageBox::Ok}});
        click("pbWrite");
        QCOMPARE(question.text,
                 "Обнаружены некорректные данные.\nВы уверены, что хотите продолжить запись?");
        QVERIFY2(question.informativeText.startsWith(
                     "Таблица «Пользователи и пароли», строка 5, столбец «Пароль»: «abc». "
                     "Неверное значение."),
                 qPrintable(question.informativeText));
        QVERIFY(isMismatch(currentEditor()->item(1, 1)));
        QVERIFY2(error.informativeText.contains("Проверка записи: 1 несовпадение — строка 2"),
                 qPrintable(error.informativeText));
        QVERIFY2(error.informativeText.contains("Запись остановлена на ячейке, которую поле не "
                                                "принимает: Таблица «Пользователи и пароли», "
                                                "строка 5, столбец «Пароль»: «abc».") &&
                     error.informativeText.contains("Не записано изменённых полей: 2,"),
                 qPrintable(error.informativeText));
        QCOMPARE(boldCells(*currentEditor()), 3);
    }

    // What the register did not keep is marked until the cell is edited,
    // read or loaded; written again unchanged, it is sent and caught again.
    void unkeptValueMarked_data()
    {
        columns<QString, bool>("then", "marked");
        QTest::newRow("nothing") << "nothing" << true;
        QTest::newRow("written again") << "written again" << true;
        QTest::newRow("edited and written") << "edited and written" << false;
        QTest::newRow("read") << "read" << false;
        QTest::newRow("loaded") << "loaded" << false;
    }

    void unkeptValueMarked()
    {
        const auto [then, marked] = fetch<QString, bool>("then", "marked");
        ModalSeen error;
        writeUnkeptName(error);
        QCOMPARE(error.text, "Ошибка ККМ");
        QCOMPARE(error.informativeText,
                 "Записано 2 поля.\nПроверка записи: 1 несовпадение — строка 5, «Имя».");
        QTableWidgetItem *unkept = currentEditor()->item(4, 1);
        QVERIFY(isMismatch(unkept));
        QVERIFY(CellMarks::isChanged(*unkept));
        QCOMPARE(currentEditor()->item(1, 1)->background().color(), QColor(Qt::white));
        QCOMPARE(boldCells(*currentEditor()), 1);
        QVERIFY(window->isWindowModified());
        QVERIFY2(progressLabel()->text().endsWith(", проверено — ошибка"),
                 qPrintable(progressLabel()->text()));

        if (then == "written again") {
            ModalSeen again;
            answerMessageBox(&again, QMessageBox::Ok, window);
            click("pbWrite");
            QCOMPARE(again.informativeText,
                     "Записано 1 поле.\nПроверка записи: 1 несовпадение — строка 5, «Имя».");
        } else if (then == "edited and written") {
            editCell(4, 1, QStringLiteral("Касса 5"));
            QCOMPARE(currentEditor()->item(4, 1)->background().color(), QColor(Qt::white));
            NoMessageBox noBox;
            click("pbWrite");
            QCOMPARE(noBox.seen, QString());
            QCOMPARE(boldCells(*currentEditor()), 0);
        } else if (then == "read") {
            ModalSeen question;
            answerMessageBox(&question, QMessageBox::Yes, window);
            click("pbRead");
        } else if (then == "loaded") {
            QTemporaryDir directory;
            const QString path = directory.filePath("users.txt");
            answerFileDialog(path);
            click("pbSaveTable");
            ModalSeen question;
            answerMessageBox(&question, QMessageBox::Yes, window);
            answerFileDialog(path);
            click("pbLoadTable");
            QCOMPARE(currentEditor()->item(4, 1)->text(), QStringLiteral("Касса €"));
        }
        QCOMPARE(mismatchedCells(*currentEditor()), marked ? 1 : 0);
    }

    // Reads counted in the built-in register's log of its exchanges.
    void readsBack_data()
    {
        columns<bool, int, QStringList, int>("checking", "table", "edits", "reads");
        const QStringList twoRecords{"0/0=11", "1/0=12"};
        QTest::newRow("check off: nothing read") << false << 3 << twoRecords << 0;
        QTest::newRow("a field in each of two records") << true << 3 << twoRecords << 2;
        QStringList goods;
        for (int row = 0; row < 3; ++row) {
            for (int column = 1; column <= 5; ++column)
                goods << QStringLiteral("%1/%2=%3").arg(row).arg(column).arg(column);
        }
        QTest::newRow("whole goods records, once their widths are learned")
            << true << 1 << goods << 7 + 3;
    }

    void readsBack()
    {
        const auto [checking, table, edits, reads] =
            fetch<bool, int, QStringList, int>("checking", "table", "edits", "reads");
        if (!checking)
            child<QAction>("actionCheckWrites")->trigger();
        selectTable(table);
        click("pbRead");
        for (const QString &change : edits) {
            const QStringList place = change.section('=', 0, 0).split('/');
            editCell(place[0].toInt(), place[1].toInt(), change.section('=', 1));
        }
        LogCapture log;
        NoMessageBox noBox;
        click("pbWrite");
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(boldCells(*currentEditor()), 0);
        QCOMPARE(log.lines().filter(QRegularExpression("^DriverComponent::exchange 46")).size(),
                 reads);
        QCOMPARE(progressLabel()->text().contains(", проверено"), checking);
    }

    void checkSettingRemembered()
    {
        QVERIFY(child<QAction>("actionCheckWrites")->isChecked());
        child<QAction>("actionCheckWrites")->trigger();
        cleanup();
        openWindow();
        QVERIFY(!child<QAction>("actionCheckWrites")->isChecked());
    }

    // Two retries unless chosen otherwise, one choice at a time, remembered.
    void retriesSettingRemembered()
    {
        QVERIFY(child<QAction>("actionRetries2")->isChecked());
        child<QAction>("actionRetries5")->trigger();
        QVERIFY(!child<QAction>("actionRetries2")->isChecked());
        cleanup();
        openWindow();
        QVERIFY(child<QAction>("actionRetries5")->isChecked());
        QVERIFY(!child<QAction>("actionRetries2")->isChecked());
    }

    // A stopped check keeps what it found and says how far it got.
    void stoppedCheck()
    {
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--goods", "600"}));
        fillPortBox(ports(), {PortInfo::typedPath(emulator.path())});
        ports()->setCurrentIndex(0);
        click("pbRead");
        for (int row = 0; row < currentEditor()->rowCount(); ++row)
            CellMarks::setWeight(*currentEditor()->item(row, 2), CellMarks::changedWeight);
        NoMessageBox noBox;
        WhenDuringOperation press([&] { return progressLabel()->text().startsWith("Проверка: "); },
                                  [&] { click("pbCancel"); });
        click("pbWrite");
        QVERIFY(press.happened());
        const QRegularExpressionMatch summary =
            QRegularExpression("^Записано 600 полей за .+, проверено (\\d+) пол\\S+ из 600 — "
                               "прервано$")
                .match(progressLabel()->text());
        QVERIFY2(summary.hasMatch(), qPrintable(progressLabel()->text()));
        QVERIFY(summary.captured(1).toInt() < 600);
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(boldCells(*currentEditor()), 0);
    }
};

QTEST_MAIN(TestCheckedWrites)
#include "tst_checkedwrites.moc"
