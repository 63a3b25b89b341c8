#include "memorytable.h"
#include "modalanswer.h"
#include "profilefile.h"
#include "qmytablewidget.h"
#include "tablecatalogue.h"
#include "tableeditors.h"
#include "tablefile.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

constexpr int goodsTable = 1;
constexpr int usersTable = 3;

// Texts that carry mark; every tenth record has a price no field takes.
MemoryTable sampleTable(int table, int records, const QString &mark)
{
    MemoryTable sample(table);
    sample.setRowCount(records);
    for (int row = 0; row < records; ++row) {
        for (int column = 0; column < sample.columnCount(); ++column) {
            const QString text = row % 10 == 9 && column == 2
                                     ? QStringLiteral("цена")
                                     : QStringLiteral("%1 %2").arg(mark).arg(row % 90 + column);
            sample.setCell(row, column, text,
                           TableCatalogue::goodsCsvFieldWidths().value(column, 8));
        }
    }
    return sample;
}

// The row count and every cell as the grid shows it: text, width, weight, colour, flags.
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
                           : QStringLiteral("-"));
        }
    }
    return cells;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the save dialog as a user who agreed to replace the file.
void answerSaveOver(const QString &path, const QString &filter = QString())
{
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
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen << box->text();
        if (QAbstractButton *yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->done(QMessageBox::Ok);
    }
};

// Keeps the progress texts, which the panel paints at once at every change;
// once one holds stopAt, if given, clicks "Прервать": the work stops at its
// next event point, however fast the machine.
class ProgressWatch : public QObject
{
public:
    ProgressWatch(QWidget *window, const QString &stopAt)
        : m_label(window->findChild<QLabel *>("progressLabel")),
          m_cancel(window->findChild<QPushButton *>("pbCancel")), m_stopAt(stopAt)
    {
        m_label->installEventFilter(this);
    }
    QStringList shown;
    bool stopped = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        shown << m_label->text();
        if (!stopped && !m_stopAt.isEmpty() && m_label->text().contains(m_stopAt)) {
            stopped = true;
            m_cancel->click();
        }
        return false;
    }

private:
    QLabel *m_label;
    QPushButton *m_cancel;
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
        TableFile::save(sampleTable(goodsTable, records, mark), path,
                        TableFile::formatOf(goodsTable, path));
        return path;
    }

    QString summary() { return progressLabel()->text(); }

private slots:
    void initTestCase()
    {
        WindowTest::initTestCase();
        // A load logs every cell it puts in.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        // Enough for the goods to reach a profile save's event points.
        qputenv("MORVELL_BUILTIN_GOODS", "600");
    }

    void tableLoad_data()
    {
        columns<QString, bool, bool>("file", "filled", "stopped");
        for (const char *file : {"goods.txt", "goods.csv"}) {
            for (const bool filled : {false, true}) {
                for (const bool stopped : {true, false})
                    QTest::newRow(qPrintable(
                        QStringLiteral("%1, %2 grid, %3")
                            .arg(file, filled ? "filled" : "empty", stopped ? "stopped" : "whole")))
                        << file << filled << stopped;
            }
        }
    }

    // Into a grid of 600 records and an edit, the text file adds rows and the
    // CSV, shorter, drops them. A stop puts every cell back with its marks; a
    // whole load ends as one without progress.
    void tableLoad()
    {
        const auto [file, filled, stopped] =
            fetch<QString, bool, bool>("file", "filled", "stopped");
        selectTable(goodsTable);
        const std::unique_ptr<QMyTableWidget> reference(createTableEditor(goodsTable));
        if (filled) {
            const QString before = saveSample("before.txt", 600, "Было");
            answerFileDialog(before);
            click("pbLoadTable");
            editCell(0, 1, "ПРАВКА");
            QCOMPARE(reference->loadFromFile(before), 0);
        }
        const QStringList before = gridState(*currentEditor());
        const QString path = saveSample(file, file.endsWith(".csv") ? 400 : 800, "Стало");
        ProgressWatch watch(window, stopped ? "Записи: " : "");
        BoxAnswers boxes;
        answerFileDialog(path);
        click("pbLoadTable");
        // Only whether to drop the unsaved values, which loaded cells are.
        QCOMPARE(boxes.seen.size(), int(filled));
        QVERIFY2(!watch.shown.filter(QRegularExpression("^Записи: \\d")).isEmpty(),
                 qPrintable(watch.shown.join('|')));
        if (stopped) {
            QVERIFY(watch.stopped);
            QCOMPARE(gridState(*currentEditor()), before);
            QVERIFY2(summary().startsWith("Загружено 0 записей за ") &&
                         summary().endsWith(" — прервано"),
                     qPrintable(summary()));
            return;
        }
        QCOMPARE(reference->loadFromFile(path), 0);
        QCOMPARE(gridState(*currentEditor()), gridState(*reference));
        QVERIFY2(summary().startsWith(
                     QStringLiteral("Загружено %1 записей за ").arg(reference->rowCount())),
                 qPrintable(summary()));
    }

    void tableSave_data()
    {
        columns<QString, QString, bool>("file", "filter", "stopped");
        for (const bool stopped : {true, false}) {
            const QString how = stopped ? "stopped" : "whole";
            QTest::newRow(qPrintable("text, " + how)) << "saved.txt"
                                                      << "*.txt" << stopped;
            QTest::newRow(qPrintable("CSV, " + how)) << "saved.csv"
                                                     << "*.csv" << stopped;
            QTest::newRow(qPrintable("CSV for spreadsheets, " + how))
                << "saved.csv"
                << "CSV для Excel (*.csv)" << stopped;
        }
    }

    // Over an existing file: a stop leaves it as it was and nothing beside it;
    // a whole save writes what a save without progress writes.
    void tableSave()
    {
        const auto [file, filter, stopped] =
            fetch<QString, QString, bool>("file", "filter", "stopped");
        QTemporaryDir target;
        const QString path = target.filePath(file);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("старый файл\n") > 0);
        old.close();
        selectTable(goodsTable);
        answerFileDialog(saveSample("source.txt", 600, "Товар"));
        click("pbLoadTable");
        ProgressWatch watch(window, stopped ? "Записи: " : "");
        NoMessageBox noBox;
        answerSaveOver(path, filter);
        click("pbSaveTable");
        QCOMPARE(noBox.seen, QString());
        if (stopped) {
            QVERIFY(watch.stopped);
            QCOMPARE(fileBytes(path), QByteArray("старый файл\n"));
            QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{file});
            QVERIFY2(summary().startsWith("Сохранено 0 записей за ") &&
                         summary().endsWith(" — прервано"),
                     qPrintable(summary()));
            return;
        }
        const QString reference = directory.filePath(file);
        TableFile::save(currentEditor()->data(), reference,
                        TableFile::formatOf(goodsTable, path, filter));
        QCOMPARE(fileBytes(path), fileBytes(reference));
        QVERIFY2(summary().startsWith("Сохранено 600 записей за "), qPrintable(summary()));
    }

    // The users go in whole, then the goods stop: both grids, and every other,
    // are as they were.
    void stoppedProfileLoad()
    {
        for (int table : {goodsTable, usersTable}) {
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
        const MemoryTable users = sampleTable(usersTable, 10, "Кассир");
        const MemoryTable goods = sampleTable(goodsTable, 600, "Профиль");
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
        QVERIFY2(summary().endsWith(" — прервано"), qPrintable(summary()));
    }

    // The file a profile save writes after its read stops as the read does:
    // the file stays as it was, and the next save, asking nothing, reads anew.
    void stoppedProfileSave()
    {
        const QString path = directory.filePath("saved.prf");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("старый профиль\n") > 0);
        old.close();
        ProgressWatch watch(window, "Запись в файл: Записи: ");
        NoMessageBox noBox;
        answerSaveOver(path);
        child<QAction>("actionSaveProfile")->trigger();
        QVERIFY(watch.stopped);
        QCOMPARE(fileBytes(path), QByteArray("старый профиль\n"));
        QVERIFY2(summary().startsWith("Прочитано ") && summary().endsWith(" — прервано"),
                 qPrintable(summary()));
        answerSaveOver(path);
        child<QAction>("actionSaveProfile")->trigger();
        QCOMPARE(noBox.seen, QString());
        QVERIFY(fileBytes(path).startsWith("MORVELL-PROFILE 1\n"));
    }
};

QTEST_MAIN(TestFileProgress)
#include "tst_fileprogress.moc"
