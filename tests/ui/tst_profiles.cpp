#include "cellmarks.h"
#include "errorcode.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "registerprocess.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n');
}

void writeLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n').toUtf8());
}

} // namespace

class TestProfiles : public WindowTest
{
    Q_OBJECT

    void trigger(const char *action) { child<QAction>(action)->trigger(); }

    void usePort(const QString &path)
    {
        fillPortBox(ports(), {PortInfo::typedPath(path)});
        ports()->setCurrentIndex(0);
    }

    void saveProfile(const QString &path)
    {
        NoMessageBox noBox;
        answerFileDialog(path);
        trigger("actionSaveProfile");
        QCOMPARE(noBox.seen, QString());
        QVERIFY(QFile::exists(path));
    }

    // Every cell of every table, with its change mark.
    QStringList everyGrid()
    {
        QStringList cells;
        for (QMyTableWidget *grid : window->findChildren<QMyTableWidget *>()) {
            for (int row = 0; row < grid->rowCount(); ++row) {
                for (int column = 0; column < grid->columnCount(); ++column) {
                    const QTableWidgetItem *cell = grid->item(row, column);
                    cells << QString("%1/%2/%3:%4%5")
                                 .arg(grid->tableNumber())
                                 .arg(row)
                                 .arg(column)
                                 .arg(cell ? cell->text() : "-")
                                 .arg(cell && CellMarks::isChanged(*cell) ? "*" : "");
                }
            }
        }
        return cells;
    }

private slots:
    // A profile save stopped in the middle keeps what it read: the next save
    // asks, goes on from there and saves what a save in one go saves.
    void stoppedSaveGoesOn()
    {
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--goods", "600", "--baud", "115200"}));
        usePort(emulator.path());
        QTemporaryDir directory;
        const QString path = directory.filePath("register.prf");
        WhenDuringOperation press(
            [&] {
                return QRegularExpression("Записи: (\\d+)")
                           .match(progressLabel()->text())
                           .captured(1)
                           .toInt() > 100;
            },
            [&] { child<QPushButton>("pbCancel")->click(); });
        answerFileDialog(path);
        trigger("actionSaveProfile");
        QVERIFY(press.happened());
        QVERIFY(!QFile::exists(path));

        ModalSeen question;
        answerFileDialog(path);
        answerMessageBox(&question, QMessageBox::Yes, window);
        trigger("actionSaveProfile");
        QVERIFY2(question.text.startsWith("Прошлое чтение профиля ККТ"), qPrintable(question.text));
        QVERIFY(QFile::exists(path));
        // The kept part is taken: the next save asks nothing.
        saveProfile(directory.filePath("whole.prf"));
        QCOMPARE(fileLines(path).mid(3), fileLines(directory.filePath("whole.prf")).mid(3));
    }

    // A profile of one register, loaded into a new window or into the one that
    // read the register, and written to another, makes the second one's tables
    // those of the first: also those the grids already held unmarked.
    void profileCopiesRegister_data()
    {
        columns<bool>("sameWindow");
        QTest::newRow("new window") << false;
        QTest::newRow("window that read the first register") << true;
    }

    void profileCopiesRegister()
    {
        const bool sameWindow = std::get<0>(fetch<bool>("sameWindow"));
        RegisterProcess first;
        RegisterProcess second;
        QVERIFY(first.start({"--goods", "20"}));
        QVERIFY(second.start({"--goods", "20"}));
        QTemporaryDir directory;
        const QString firstProfile = directory.filePath("first.prf");
        const QString secondProfile = directory.filePath("second.prf");

        usePort(first.path());
        for (const auto &[table, row, column, text] :
             QList<std::tuple<int, int, int, QString>>{{1, 2, 0, "Товар профиля"},
                                                       {3, 0, 1, "Кассир профиля"},
                                                       {6, 1, 0, "Секция профиля"}}) {
            selectTable(table);
            click("pbRead");
            editCell(row, column, text);
            NoMessageBox noBox;
            click("pbWrite");
            QCOMPARE(noBox.seen, QString());
        }
        saveProfile(firstProfile);

        if (!sameWindow) {
            cleanup();
            openWindow();
        }
        usePort(second.path());
        answerFileDialog(firstProfile);
        trigger("actionLoadProfile");
        // Tax rates and payment types are never written, so not marked for it.
        for (int table : {7, 8}) {
            selectTable(table);
            QVERIFY(currentEditor()->rowCount() > 0);
            QCOMPARE(boldCells(*currentEditor()), 0);
        }
        ModalSeen question;
        answerMessageBox(&question, QMessageBox::Yes, window);
        trigger("actionWriteAll");
        QVERIFY2(question.text.startsWith("Записать в ККТ таблицы:\n«База товаров»: строк 20\n"),
                 qPrintable(question.text));
        for (int table : {7, 8}) {
            selectTable(table);
            QVERIFY(!question.text.contains(tabs()->tabText(tabs()->currentIndex())));
        }
        for (int table : {1, 2, 3, 6}) {
            selectTable(table);
            QCOMPARE(boldCells(*currentEditor()), 0);
        }
        QVERIFY(!window->isWindowModified());
        saveProfile(secondProfile);

        // The tables, below the identification and the date.
        const QStringList expected = fileLines(firstProfile).mid(3);
        QCOMPARE(expected.filter("профиля", Qt::CaseInsensitive).size(), 3);
        QCOMPARE(fileLines(secondProfile).mid(3), expected);
    }

    // "Записать всё" names the port and the register there, or says it is silent.
    void writeAllNamesTheRegister_data()
    {
        columns<QString, QString>("speed", "named");
        QTest::newRow("answers") << "115200"
                                 << "ККТ: ККТ Korvan Tessel (эмулятор), заводской номер 77";
        QTest::newRow("silent") << "57600"
                                << "ККТ на этом порту не ответила";
    }

    void writeAllNamesTheRegister()
    {
        const auto [speed, named] = fetch<QString, QString>("speed", "named");
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--baud", "115200", "--serial", "77"}));
        usePort(emulator.path());
        selectTable(3);
        click("pbRead");
        auto *speeds = child<QComboBox>("cbBaudRate");
        speeds->setCurrentIndex(speeds->findText(speed + " бод"));
        emit speeds->activated(speeds->currentIndex());
        ModalSeen question;
        answerMessageBox(&question, QMessageBox::No, window);
        trigger("actionWriteAll");
        QVERIFY2(question.informativeText.startsWith(
                     QString("Порт: %1, %2 бод\n%3").arg(emulator.path(), speed, named)),
                 qPrintable(question.informativeText));
    }

    // Whatever is wrong with a profile, no grid changes; the intact profile
    // shows that the grids would.
    void badProfileChangesNothing_data()
    {
        columns<QString, int, QString>("damage", "code", "problem");
        QTest::newRow("intact") << "" << int(ERR_OK) << "";
        QTest::newRow("not a profile")
            << "first line" << int(ERR_INVALID_DATA) << "Файл не является профилем ККТ";
        QTest::newRow("no date") << "date" << int(ERR_INVALID_DATA)
                                 << "Заголовок профиля повреждён";
        QTest::newRow("unknown table")
            << "[13]" << int(ERR_WRONG_TABLE_NUMBER) << "неизвестная таблица «[13]»";
        QTest::newRow("unknown field") << "field 9" << int(ERR_INVALID_DATA)
                                       << "неверные данные таблицы 3 «Пользователи и пароли»";
        QTest::newRow("bad number in the last table")
            << "last" << int(ERR_INVALID_DATA) << "неверные данные таблицы 12";
        QTest::newRow("table twice")
            << "[3]" << int(ERR_INVALID_DATA)
            << "таблица 3 «Пользователи и пароли» встречается в профиле второй раз";
    }

    void badProfileChangesNothing()
    {
        const auto [damage, code, problem] =
            fetch<QString, int, QString>("damage", "code", "problem");
        QTemporaryDir directory;
        const QString path = directory.filePath("built-in.prf");
        saveProfile(path);
        QStringList lines = fileLines(path);
        if (damage == "first line")
            lines[0] = "2";
        else if (damage == "date")
            lines.removeAt(2);
        else if (damage == "[13]")
            lines << "[13]"
                  << "13"
                  << "1\t1\t2\t5";
        else if (damage == "field 9")
            lines.insert(lines.indexOf("[3]") + 2, "1\t9\t2\t5");
        else if (damage == "last")
            lines.insert(lines.size() - 1, "1\tx\t2\t5");
        else if (damage == "[3]")
            lines << "[3]"
                  << "3";
        writeLines(path, lines);

        for (int table : {1, 3}) {
            selectTable(table);
            click("pbRead");
        }
        editCell(0, 1, "Правка");
        const QStringList before = everyGrid();
        ModalSeen seen;
        answerMessageBox(&seen, code == ERR_OK ? QMessageBox::Yes : QMessageBox::Ok, window);
        answerFileDialog(path);
        trigger("actionLoadProfile");
        if (code == ERR_OK) {
            QCOMPARE(seen.text, "Есть незаписанные изменения. Они будут потеряны.\nПродолжить?");
            QVERIFY(everyGrid() != before);
            return;
        }
        QCOMPARE(seen.text, errorCodeToString(code));
        QVERIFY2(seen.informativeText.contains(problem), qPrintable(seen.informativeText));
        QCOMPARE(everyGrid(), before);
    }
};

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
