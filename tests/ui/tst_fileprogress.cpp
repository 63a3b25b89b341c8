#include "cellmarks.h"
#include "memorytable.h"
#include "modalanswer.h"
#include "pricecolumnsdialog.h"
#include "priceupdatedialog.h"
#include "profilefile.h"
#include "qmytablewidget.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tablefile.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

// Texts that carry mark; every tenth record has a price no field takes.
MemoryTable sampleTable(int table, int records, const QString &mark)
{
    MemoryTable sample(table);
    sample.setRowCount(records);
    for (int row = 0; row < records; ++row) {
        for (int column = 0; column < sample.columnCount(); ++column)
            sample.setCell(row, column,
                           row % 10 == 9 && column == 2
                               ? QStringLiteral("цена")
                               : QStringLiteral("%1 %2").arg(mark).arg(row),
                           TableCatalogue::goodsCsvFieldWidths().value(column, 8));
    }
    return sample;
}

// The row count and every cell as it shows: text, width, weight, colour, flags.
QStringList gridState(const QTableWidget &grid)
{
    QStringList cells{QString::number(grid.rowCount())};
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            cells << (cell ? QStringLiteral("%1|%2|%3|%4|%5")
                                 .arg(cell->text())
                                 .arg(cell->type())
                                 .arg(cell->font().weight())
                                 .arg(cell->background().color().name())
                                 .arg(int(cell->flags()))
                           : QString());
        }
    }
    return cells;
}

QString gridTexts(const TableData &table)
{
    QString text;
    QTextStream out(&text);
    TableFile::write(table, out);
    return text;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the save dialog as a user who agreed to replace the file.
void answerSaveOver(const QString &path, const QString &filter = QString())
{
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("старый файл\n") > 0);
    answerNextModal<QFileDialog>([=](QFileDialog *dialog) {
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Answers every message box, "Да" where it asks, and keeps its text.
class BoxAnswers : public QObject
{
public:
    BoxAnswers() { startTimer(5); }
    QStringList seen;

protected:
    void timerEvent(QTimerEvent *) override
    {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->text();
            box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)
                ->click();
        }
    }
};

// Clicks "Прервать" at the first progress text that holds stopAt, which the
// panel paints at once: the work stops at its next event point, however fast
// the machine.
class ProgressWatch : public QObject
{
public:
    ProgressWatch(QWidget *window, const QString &stopAt) : m_window(window), m_stopAt(stopAt)
    {
        window->findChild<QLabel *>("progressLabel")->installEventFilter(this);
    }
    bool stopped = false;

protected:
    bool eventFilter(QObject *label, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !stopped && !m_stopAt.isEmpty() &&
            qobject_cast<QLabel *>(label)->text().contains(m_stopAt)) {
            stopped = true;
            m_window->findChild<QPushButton *>("pbCancel")->click();
        }
        return false;
    }

private:
    QWidget *m_window;
    const QString m_stopAt;
};

} // namespace

class TestFileProgress : public WindowTest
{
    Q_OBJECT

    QTemporaryDir directory;

    QString saveSample(const QString &name, int records, const QString &mark)
    {
        const QString path = directory.filePath(name);
        TableFile::save(sampleTable(1, records, mark), path, TableFile::formatOf(1, path));
        return path;
    }
    QString summary() { return progressLabel()->text(); }

private slots:
    void initTestCase()
    {
        WindowTest::initTestCase();
        // A load logs every cell it puts in.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        // Enough goods for a profile save to reach an event point.
        qputenv("MORVELL_BUILTIN_GOODS", "600");
    }

    void tableLoad_data()
    {
        columns<QString, bool>("file", "filled");
        for (const char *file : {"goods.txt", "goods.csv"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, empty grid").arg(file))) << file << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, filled grid").arg(file))) << file << true;
        }
    }

    // Into a grid of 600 records and an edit, the text file adds rows and the
    // CSV, shorter, drops them. Stopped, the load puts every cell back with
    // its marks; again, whole, it ends as a load without progress does.
    void tableLoad()
    {
        const auto [file, filled] = fetch<QString, bool>("file", "filled");
        selectTable(1);
        const std::unique_ptr<QMyTableWidget> reference(createTableEditor(1));
        if (filled) {
            answerFileDialog(saveSample("before.txt", 600, "Было"));
            click("pbLoadTable");
            editCell(0, 1, "ПРАВКА");
            QCOMPARE(reference->loadFromFile(directory.filePath("before.txt")), 0);
        }
        const QStringList before = gridState(*currentEditor());
        const QString path = saveSample(file, file.endsWith(".csv") ? 400 : 800, "Стало");
        for (const QString stopAt : {"Записи: ", ""}) {
            ProgressWatch watch(window, stopAt);
            BoxAnswers boxes;
            answerFileDialog(path);
            click("pbLoadTable");
            // Only whether to drop the unsaved values, which loaded cells are.
            QCOMPARE(boxes.seen.size(), int(filled));
            QCOMPARE(watch.stopped, !stopAt.isEmpty());
            if (watch.stopped) {
                QCOMPARE(gridState(*currentEditor()), before);
                QVERIFY(summary().startsWith("Загружено 0 записей за ") &&
                        summary().endsWith(" — прервано"));
            }
        }
        QCOMPARE(reference->loadFromFile(path), 0);
        QCOMPARE(gridState(*currentEditor()), gridState(*reference));
    }

    void tableSave_data()
    {
        columns<QString>("filter");
        for (const char *filter :
             {"*.txt", "*.csv", "CSV для Excel (*.csv)", "Книга Excel (*.xlsx)"})
            QTest::newRow(filter) << filter;
    }

    // Over an existing file, a stopped save leaves it as it was and nothing
    // beside it; again, whole, it writes what a save without progress writes.
    void tableSave()
    {
        const auto [filter] = fetch<QString>("filter");
        selectTable(1);
        answerFileDialog(saveSample("source.txt", 600, "Товар"));
        click("pbLoadTable");
        QTemporaryDir target;
        const QString path = target.filePath("saved." + filter.section('.', -1).remove(')'));
        for (const QString stopAt : {"Записи: ", ""}) {
            ProgressWatch watch(window, stopAt);
            NoMessageBox noBox;
            answerSaveOver(path, filter);
            click("pbSaveTable");
            QCOMPARE(noBox.seen, QString());
            QCOMPARE(watch.stopped, !stopAt.isEmpty());
            if (watch.stopped) {
                QCOMPARE(fileBytes(path), QByteArray("старый файл\n"));
                QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
                QVERIFY(summary().startsWith("Не сохранено за ") &&
                        summary().endsWith(" — прервано"));
            }
        }
        // A workbook carries the time it was made: it is compared as it loads.
        if (path.endsWith(".xlsx")) {
            MemoryTable loaded(1);
            QCOMPARE(TableFile::load(loaded, path), 0);
            QCOMPARE(gridTexts(loaded), gridTexts(currentEditor()->data()));
            return;
        }
        const QString reference = directory.filePath("reference");
        TableFile::save(currentEditor()->data(), reference, TableFile::formatOf(1, path, filter));
        QCOMPARE(fileBytes(path), fileBytes(reference));
    }

    // A comparison with a file shows its progress and stops as a load does:
    // stopped, it marks nothing and says so without a box.
    void stoppedComparison()
    {
        selectTable(1);
        answerFileDialog(saveSample("shown.txt", 600, "Товар"));
        click("pbLoadTable");
        const QStringList before = gridState(*currentEditor());
        ProgressWatch watch(window, "Записи: ");
        NoMessageBox noBox;
        answerFileDialog(saveSample("other.csv", 600, "Другой"));
        child<QAction>("actionCompareWithFile")->trigger();
        QVERIFY(watch.stopped);
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(gridState(*currentEditor()), before);
        QVERIFY(summary().startsWith("Загружено 0 записей за ") &&
                summary().endsWith(" — прервано"));
    }

    // The users go in whole, then the goods stop: both grids, and every other,
    // are as they were.
    void stoppedProfileLoad()
    {
        for (int table : {1, 3}) {
            selectTable(table);
            click("pbRead");
        }
        const auto everyGrid = [this] {
            QStringList cells;
            for (const QMyTableWidget *grid : window->findChildren<QMyTableWidget *>())
                cells << gridState(*grid);
            return cells;
        };
        const QStringList before = everyGrid();
        const MemoryTable users = sampleTable(3, 10, "Кассир");
        const MemoryTable goods = sampleTable(1, 600, "Профиль");
        const QString path = directory.filePath("stopped.prf");
        QCOMPARE(ProfileFile::save(path, {"ККТ", QDateTime::currentDateTime()}, {&users, &goods}),
                 0);
        ProgressWatch watch(window, "«База товаров»: Записи: ");
        NoMessageBox noBox;
        answerFileDialog(path);
        child<QAction>("actionLoadProfile")->trigger();
        QVERIFY(watch.stopped);
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(everyGrid(), before);
    }

    void undoRedo_data()
    {
        columns<QString, bool>("step", "readAfter");
        for (const char *step : {"правка ячейки", "загрузка файла", "загрузка профиля"})
            QTest::newRow(step) << step << false;
        QTest::newRow("загрузка файла, затем чтение") << "загрузка файла" << true;
    }

    // Over goods read and compared with a file, one change is one step: Ctrl+Z
    // puts back every cell with its marks and the title's marker, Ctrl+Y does
    // it again, and neither reaches past an open cell editor. A read of the
    // table leaves nothing to undo.
    void undoRedo()
    {
        const auto [step, readAfter] = fetch<QString, bool>("step", "readAfter");
        selectTable(1);
        click("pbRead");
        answerFileDialog(saveSample("compared.txt", 600, "Другой"));
        child<QAction>("actionCompareWithFile")->trigger();
        const auto everyGrid = [this] {
            QStringList cells{QString::number(window->isWindowModified())};
            for (const QMyTableWidget *grid : window->findChildren<QMyTableWidget *>())
                cells << gridState(*grid);
            return cells;
        };
        const QStringList before = everyGrid();
        QVERIFY(
            before.join("").contains(CellMarks::highlightColor(CellHighlight::Difference).name()));
        if (step == "правка ячейки") {
            editCell(3, 1, "12345");
        } else if (step == "загрузка файла") {
            answerFileDialog(saveSample("undone.txt", 700, "Стало"));
            click("pbLoadTable");
        } else {
            const MemoryTable users = sampleTable(3, 10, "Кассир");
            const MemoryTable goods = sampleTable(1, 500, "Профиль");
            const QString path = directory.filePath("undone.prf");
            QCOMPARE(
                ProfileFile::save(path, {"ККТ", QDateTime::currentDateTime()}, {&users, &goods}),
                0);
            answerFileDialog(path);
            child<QAction>("actionLoadProfile")->trigger();
        }
        // An edit's marker follows a moment later.
        QTRY_VERIFY(window->isWindowModified());
        const QStringList after = everyGrid();
        QVERIFY(after != before);
        auto *undo = child<QAction>("actionUndo");
        QCOMPARE(undo->text(), "&Отменить: " + step);

        // The file dialogs took the window's activation, which the keys need.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QMyTableWidget *grid = currentEditor();
        grid->setFocus();
        grid->editItem(grid->item(0, 1));
        auto *cellEditor = grid->findChild<QLineEdit *>();
        const QString typed = cellEditor->text();
        QTest::keyClicks(cellEditor, "x");
        QTest::keyClick(cellEditor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cellEditor->text(), typed);
        QTest::keyClick(cellEditor, Qt::Key_Escape);
        QCOMPARE(everyGrid(), after);

        if (readAfter) {
            BoxAnswers dropEdits;
            click("pbRead");
            QVERIFY(!undo->isEnabled());
            QCOMPARE(undo->text(), "&Отменить");
            return;
        }
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(everyGrid(), before);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(child<QAction>("actionRedo")->text(), "&Повторить: " + step);
        QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(everyGrid(), after);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(everyGrid(), after);
    }

    void clipboard_data()
    {
        columns<int, int, QString, QString>("table", "row", "block", "refused");
        QTest::newRow("a rejected value, one step") << 1 << 3 << "1250\t3\r\nцена\t5\r\n"
                                                    << "";
        QTest::newRow("past the last row") << 1 << 599 << "1\n2\n"
                                           << "от текущей ячейки помещается 1 строка и 6 столбцов";
        QTest::newRow("a read-only table") << 7 << 0 << "x"
                                           << "нельзя править: строка 1";
    }

    // Ctrl+V pastes a block from the current cell, each cell checked and
    // marked, as one step that Ctrl+Z takes back whole; a refusal changes
    // nothing. Ctrl+C and "Копировать таблицу" give the cell and the table.
    void clipboard()
    {
        const auto [table, row, block, refused] =
            fetch<int, int, QString, QString>("table", "row", "block", "refused");
        selectTable(table);
        click("pbRead");
        QMyTableWidget *grid = currentEditor();
        grid->setFocus();
        grid->setCurrentCell(row, 1);
        const QStringList before = gridState(*grid);
        QGuiApplication::clipboard()->setText(block);
        BoxAnswers boxes;
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        auto *undo = child<QAction>("actionUndo");
        if (!refused.isEmpty()) {
            QCOMPARE(boxes.seen.size(), 1);
            QVERIFY2(boxes.seen[0].contains(refused), qPrintable(boxes.seen[0]));
            QCOMPARE(gridState(*grid), before);
            QVERIFY(!undo->isEnabled());
        } else {
            QCOMPARE(grid->item(4, 1)->text(), "цена");
            QVERIFY(CellMarks::isInvalid(*grid->item(4, 1)));
            QVERIFY(!CellMarks::isInvalid(*grid->item(3, 1)));
            QVERIFY(CellMarks::isChanged(*grid->item(3, 2)));
            QCOMPARE(undo->text(), "&Отменить: вставка 2 строк");
            QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(gridState(*grid), before);
        }
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), grid->item(row, 1)->text());
        child<QAction>("actionCopyTable")->trigger();
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), grid->rowCount() + 2);
        QCOMPARE(lines[0].split('\t')[1], grid->horizontalHeaderItem(1)->text());
        QCOMPARE(lines[row + 1].split('\t')[1], grid->item(row, 1)->text());
    }

    void priceUpdate_data()
    {
        columns<bool, QString, QString>("apply", "stopAt", "header");
        const QString known = "ШК;Цена продажи";
        QTest::newRow("Применить") << true << "" << known;
        QTest::newRow("Отмена") << false << "" << known;
        QTest::newRow("stopped while planned") << true << "Строки прайс-листа: " << known;
        QTest::newRow("stopped while applied") << true << "Изменения: " << known;
        // Captions the program does not know: the user picks the columns.
        QTest::newRow("columns picked") << true << ""
                                        << "Код;Стоимость";
    }

    // A price list's changes, seen in the preview, go into the goods as one
    // step: only the changed cells bold, as an edit leaves them, undone and
    // redone whole; "Отмена" changes nothing. A list of every record stopped
    // while planned shows no preview; stopped while applied, it leaves the
    // grid as it was and nothing to undo.
    void priceUpdate()
    {
        const auto [apply, stopAt, header] =
            fetch<bool, QString, QString>("apply", "stopAt", "header");
        selectTable(1);
        click("pbRead");
        QMyTableWidget *grid = currentEditor();
        const QString path = directory.filePath("prices.csv");
        QFile prices(path);
        QVERIFY(prices.open(QIODevice::WriteOnly));
        prices.write(QString("%1\n%2;%3\n%4;1,5\n%5;7\n2000000000015;10\n")
                         .arg(header, grid->item(0, 1)->text(), grid->item(0, 2)->text(),
                              grid->item(2, 1)->text(), grid->item(4, 1)->text())
                         .toUtf8());
        for (int row = 5; !stopAt.isEmpty() && row < grid->rowCount(); ++row)
            prices.write(grid->item(row, 1)->text().toUtf8() + ";0.01\n");
        prices.close();
        const QStringList before = gridState(*grid);
        QStringList tabTexts;
        answerFileDialog(path);
        ProgressWatch watch(window, stopAt);
        bool picked = false;
        const QPointer<QTimer> picker =
            answerNextModal<PriceColumnsDialog>([&picked](PriceColumnsDialog *dialog) {
                picked = true;
                dialog->findChild<QComboBox *>("barcode")->setCurrentIndex(1);
                dialog->findChild<QComboBox *>("price")->setCurrentIndex(2);
                dialog->accept();
            });
        const QPointer<QTimer> preview =
            answerNextModal<PriceUpdateDialog>([&](PriceUpdateDialog *dialog) {
                auto *tabs = dialog->findChild<QTabWidget *>("priceUpdateTabs");
                for (int tab = 0; tab < tabs->count(); ++tab)
                    tabTexts << tabs->tabText(tab);
                apply ? dialog->accept() : dialog->reject();
            });
        child<QAction>("actionUpdateByBarcode")->trigger();
        auto *undo = child<QAction>("actionUndo");
        delete preview;
        QCOMPARE(picked, header.startsWith("Код"));
        delete picker;
        QCOMPARE(watch.stopped, !stopAt.isEmpty());
        if (watch.stopped) {
            QCOMPARE(tabTexts.isEmpty(), stopAt.startsWith("Строки"));
            QVERIFY(summary().endsWith(" — прервано"));
        } else {
            QCOMPARE(tabTexts.mid(0, 2), QStringList({"Изменения (2)", "Нет в ККТ (1)"}));
        }
        if (!apply || watch.stopped) {
            QCOMPARE(gridState(*grid), before);
            QVERIFY(!undo->isEnabled());
            return;
        }
        QCOMPARE(boldCells(*grid), 2);
        QVERIFY(CellMarks::isChanged(*grid->item(2, 2)) && CellMarks::isChanged(*grid->item(4, 2)));
        QCOMPARE(grid->item(2, 2)->text(), "1.5");
        QCOMPARE(undo->text(), "&Отменить: обновление по штрихкодам (2)");
        const QStringList after = gridState(*grid);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(gridState(*grid), before);
        QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(gridState(*grid), after);
    }

    // A profile save stopped while it writes its file leaves the file as it
    // was, and keeps nothing to go on from: the next save asks nothing.
    void stoppedProfileSave()
    {
        const QString path = directory.filePath("saved.prf");
        ProgressWatch watch(window, "Запись в файл: Записи: ");
        NoMessageBox noBox;
        answerSaveOver(path);
        child<QAction>("actionSaveProfile")->trigger();
        QVERIFY(watch.stopped);
        QCOMPARE(fileBytes(path), QByteArray("старый файл\n"));
        QVERIFY(summary().startsWith("Прочитано ") && summary().endsWith(" — прервано"));
        answerSaveOver(path);
        child<QAction>("actionSaveProfile")->trigger();
        QCOMPARE(noBox.seen, QString());
        QVERIFY(fileBytes(path).startsWith("MORVELL-PROFILE 1\n"));
    }
};

QTEST_MAIN(TestFileProgress)
#include "tst_fileprogress.moc"
