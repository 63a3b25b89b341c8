// The dock "Обмен с ККТ": the exchanges of the run as they happen, filtered
// and exported, its text that of every view of them.
#include "exchangetext.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "registerprocess.h"
#include "testdata.h"
#include "trafficdock.h"
#include "trafficmodel.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <csignal>

namespace {

// Told apart by its row.
ExchangeRecord numbered(int number, ExchangeRecord::Kind kind = ExchangeRecord::Kind::ReadRecord,
                        int table = 1, bool failed = false, int retries = 0)
{
    ExchangeRecord record;
    record.kind = kind;
    record.table = quint8(table);
    record.row = quint16(number);
    record.failed = failed;
    record.retries = quint8(retries);
    record.request = QByteArray::fromHex("46 01 00 01 ab");
    return record;
}

} // namespace

class TestTrafficDock : public WindowTest
{
    Q_OBJECT

    TrafficDock *dock() { return child<TrafficDock>("trafficDock"); }
    QTableView *view() { return child<QTableView>("trafficView"); }
    QAbstractItemModel *shown() { return view()->model(); }
    ExchangeJournal &journal() { return dock()->journal(); }
    void openDock()
    {
        child<QAction>("actionTrafficDock")->trigger();
        QVERIFY(dock()->isVisible());
    }
    void choose(const QString &choice)
    {
        auto *box = child<QComboBox>("trafficChoice");
        QVERIFY2(box->findText(choice) >= 0, qPrintable(choice));
        box->setCurrentIndex(box->findText(choice));
    }
    QStringList shownColumn(int column)
    {
        QStringList texts;
        for (int row = 0; row < shown()->rowCount(); ++row)
            texts << shown()->index(row, column).data().toString();
        return texts;
    }
    // The shown rows' cells as lines of the export.
    QString shownLines()
    {
        QString lines;
        for (int row = 0; row < shown()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < ExchangeText::ColumnCount; ++column)
                cells << shown()->index(row, column).data().toString();
            lines += cells.join('\t') + '\n';
        }
        return lines;
    }
    QString journalLines(const std::function<bool(const ExchangeRecord &)> &which)
    {
        QString lines;
        for (int index = 0; index < journal().size(); ++index) {
            if (which(journal().at(index)))
                lines += ExchangeText::line(journal().at(index));
        }
        return lines;
    }

private slots:
    // Closed at the first start; opened and closed by the menu, the keys or
    // (closing) its own button, and so again at the next start.
    void openedAndRemembered_data()
    {
        columns<QString>("way");
        QTest::newRow("menu") << "menu";
        QTest::newRow("keys") << "Ctrl+Shift+L";
        QTest::newRow("close button") << "close button";
    }

    void openedAndRemembered()
    {
        const auto [way] = fetch<QString>("way");
        QMenu *viewMenu = nullptr;
        for (QAction *menu : window->menuBar()->actions())
            viewMenu = menu->text() == "&Вид" ? menu->menu() : viewMenu;
        QVERIFY(viewMenu && viewMenu->actions().contains(child<QAction>("actionTrafficDock")));
        QCOMPARE(child<QAction>("actionTrafficDock")->text(), "&Обмен с ККТ");
        for (const bool open : {true, false}) {
            QCOMPARE(dock()->isVisible(), !open);
            if (way == "Ctrl+Shift+L")
                QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
            else if (way == "close button" && !open)
                dock()->close();
            else
                child<QAction>("actionTrafficDock")->trigger();
            QCOMPARE(dock()->isVisible(), open);
            cleanup();
            openWindow();
            QCOMPARE(dock()->isVisible(), open);
        }
    }

    void showsEveryExchangeOfRead()
    {
        click("pbRead");
        QCOMPARE(currentEditor()->rowCount(), 20);
        // Closed, the dock took no look at the journal.
        QCOMPARE(shown()->rowCount(), 0);
        openDock();
        QCOMPARE(shownLines(), journalLines([](const ExchangeRecord &) { return true; }));
        QStringList start{"Идентификация", "Вход в режим"};
        for (int field = 1; field <= 7; ++field)
            start << "Чтение поля";
        QCOMPARE(shownColumn(ExchangeText::Command).mid(0, 10), start << "Чтение записи");
        QStringList tables = shownColumn(ExchangeText::Table).mid(2, 8);
        tables.removeDuplicates();
        QCOMPARE(tables, QStringList{"1 База товаров"});
        QCOMPARE(shownColumn(ExchangeText::Field).mid(2, 7).join(','), "1,2,3,4,5,6,7");
        QVERIFY(view()->isColumnHidden(ExchangeText::Request));
        child<QCheckBox>("trafficBytes")->click();
        QVERIFY(!view()->isColumnHidden(ExchangeText::Request));
        QVERIFY(!view()->isColumnHidden(ExchangeText::Answer));
    }

    void filters_data()
    {
        columns<QString, QString, bool, QString>("choice", "search", "bytes", "rows");
        QTest::newRow("all") << "Все обмены"
                             << "" << false << "1,2,3,4";
        QTest::newRow("failed or retried") << "Только сбои"
                                           << "" << false << "2,3";
        QTest::newRow("one table") << "Таблица 2 Настройки"
                                   << "" << false << "3,4";
        QTest::newRow("time") << "Все обмены"
                              << "00.000" << false << "1,2,3,4";
        QTest::newRow("text, case aside") << "Все обмены"
                                          << "запись" << false << "4";
        QTest::newRow("failures' text") << "Только сбои"
                                        << "чтение" << false << "2,3";
        QTest::newRow("table's text") << "Таблица 1 База товаров"
                                      << "записи" << false << "1";
        QTest::newRow("bytes hidden") << "Все обмены"
                                      << "01 ab" << false << "";
        QTest::newRow("bytes shown") << "Все обмены"
                                     << "01 ab" << true << "1,2,3,4";
    }

    // Failed rows light red, retried ones light yellow.
    void filters()
    {
        const auto [choice, search, bytes, rows] =
            fetch<QString, QString, bool, QString>("choice", "search", "bytes", "rows");
        journal().exchanged(numbered(1));
        journal().exchanged(numbered(2, ExchangeRecord::Kind::ReadField, 1, true, 2));
        journal().exchanged(numbered(3, ExchangeRecord::Kind::ReadField, 2, false, 1));
        journal().exchanged(numbered(4, ExchangeRecord::Kind::WriteField, 2));
        openDock();
        choose(choice);
        child<QCheckBox>("trafficBytes")->setChecked(bytes);
        child<QLineEdit>("trafficSearch")->setText(search);
        QTRY_COMPARE(shownColumn(ExchangeText::Row).join(','), rows);
        const QList<QColor> colors{
            {}, TrafficModel::failedColor(), TrafficModel::retriedColor(), {}};
        for (int row = 0; row < shown()->rowCount(); ++row) {
            const int number = shownColumn(ExchangeText::Row).at(row).toInt();
            const QVariant background = shown()->index(row, 0).data(Qt::BackgroundRole);
            QCOMPARE(background.isValid() ? background.value<QBrush>().color() : QColor(),
                     colors.at(number - 1));
        }
    }

    // Once full, the ring drops its oldest rows; the view keeps to the
    // newest, as it was at the bottom.
    void followsTheRing()
    {
        const int capacity = ExchangeJournal::defaultCapacity;
        for (int number = 0; number < capacity - 10; ++number)
            journal().exchanged(numbered(number));
        openDock();
        for (int number = capacity - 10; number < capacity + 20; ++number)
            journal().exchanged(numbered(number));
        QTRY_COMPARE(shown()->rowCount(), capacity);
        QCOMPARE(shown()->index(0, ExchangeText::Row).data().toString(), "20");
        QCOMPARE(shown()->index(capacity - 1, ExchangeText::Row).data().toString(),
                 QString::number(quint16(capacity + 19)));
        QCOMPARE(view()->verticalScrollBar()->value(), view()->verticalScrollBar()->maximum());
    }

    // At the bottom, the view keeps the newest row in sight through a read
    // after the dock got lower under it.
    void followsWhenMadeLower()
    {
        for (int number = 0; number < 300; ++number)
            journal().exchanged(numbered(number));
        openDock();
        QTRY_COMPARE(shown()->rowCount(), 300);
        window->resizeDocks({dock()}, {dock()->height() - 30}, Qt::Vertical);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        click("pbRead");
        QTRY_COMPARE(shown()->rowCount(), journal().size());
        const QModelIndex last = view()->indexAt({1, view()->viewport()->height() - 2});
        QCOMPARE(last.row(), shown()->rowCount() - 1);
    }

    // The register killed once the open dock shows a hundred of the read's
    // exchanges, which must have come while it ran.
    void showsFailuresLive()
    {
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--goods", "5000"}));
        fillPortBox(ports(), {PortInfo::typedPath(emulator.path())});
        ports()->setCurrentIndex(0);
        child<QAction>("actionPortWait0")->trigger();
        openDock();
        WhenDuringOperation kill([&] { return shown()->rowCount() >= 100; },
                                 [&] { ::kill(pid_t(emulator.pid()), SIGKILL); });
        NoMessageBox noBox;
        click("pbRead");
        QVERIFY(kill.happened());
        QVERIFY(!noBox.seen.isEmpty());
        choose("Только сбои");
        const QString problems = journalLines(
            [](const ExchangeRecord &record) { return record.failed || record.retries; });
        QVERIFY(!problems.isEmpty());
        QTRY_COMPARE(shownLines(), problems);
    }

    void exportsShownRows()
    {
        click("pbRead");
        openDock();
        child<QLineEdit>("trafficSearch")->setText("чтение записи");
        QTRY_COMPARE(shown()->rowCount(), 21);
        QTemporaryDir directory;
        const QString path = directory.filePath("обмен.txt");
        answerFileDialog(path, "Текст с табуляцией (*.txt)");
        child<QPushButton>("trafficExport")->click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString records = journalLines([](const ExchangeRecord &record) {
            return record.kind == ExchangeRecord::Kind::ReadRecord;
        });
        QCOMPARE(QString::fromUtf8(file.readAll()), ExchangeText::headerLine() + records);
    }

    // The window's export and the command line's trace of the same read say
    // the same, but for the times.
    void exportIsTheTrace()
    {
        selectTable(3);
        click("pbRead");
        openDock();
        QTemporaryDir directory;
        answerFileDialog(directory.filePath("export.txt"), "Текст с табуляцией (*.txt)");
        child<QPushButton>("trafficExport")->click();
        QProcess program;
        program.start(MORVELL_CLI,
                      {"read", "3", "--port", "EMU1", "--trace", directory.filePath("trace.txt")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        const auto withoutTimes = [&directory](const char *name) {
            QFile file(directory.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return QStringList();
            QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
            for (QString &line : lines)
                line = line.section('\t', 2);
            return lines;
        };
        const QStringList exported = withoutTimes("export.txt");
        QVERIFY(exported.size() > 20);
        QCOMPARE(withoutTimes("trace.txt"), exported);
    }
};

QTEST_MAIN(TestTrafficDock)
#include "tst_trafficdock.moc"
