#include "cellmarks.h"
#include "logcapture.h"
#include "modalanswer.h"
#include "portlist.h"
#include "progresstext.h"
#include "qmytablewidget.h"
#include "registerprocess.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <csignal>

class TestLongOperations : public WindowTest
{
    Q_OBJECT

    RegisterProcess emulator;

    // The goods table of an emulator program with that many records.
    void useEmulator(int goods)
    {
        QVERIFY(emulator.start({"--goods", QString::number(goods)}));
        fillPortBox(ports(), {PortInfo::typedPath(emulator.path())});
        ports()->setCurrentIndex(0);
    }

    bool hasIncompleteMark() { return !tabs()->tabIcon(tabs()->currentIndex()).isNull(); }

    // The texts of the current grid from a row on.
    QStringList gridTexts(int fromRow = 0)
    {
        QStringList texts;
        for (int row = fromRow; row < currentEditor()->rowCount(); ++row) {
            for (int column = 0; column < currentEditor()->columnCount(); ++column)
                texts << currentEditor()->item(row, column)->text();
        }
        return texts;
    }

private slots:
    void cleanup()
    {
        WindowTest::cleanup();
        emulator.stop();
    }

    void progressEndsInSummary()
    {
        useEmulator(3000);
        QStringList running;
        WhenDuringOperation watch(
            [&] {
                if (progressLabel()->text().startsWith("Записи: "))
                    running << progressLabel()->text();
                return false;
            },
            [] {});
        click("pbRead");
        QCOMPARE(currentEditor()->rowCount(), 3000);
        QVERIFY2(!running.filter(QRegularExpression("^Записи: [1-9][\\d\u00a0]*, [\\d\u00a0]+/с$"))
                      .isEmpty(),
                 qPrintable(running.join('|')));
        QVERIFY2(QRegularExpression("^Прочитано 3\u00a0000 записей за [\\d,]+ м?с$")
                     .match(progressLabel()->text())
                     .hasMatch(),
                 qPrintable(progressLabel()->text()));
        QCOMPARE(statusLabel(1)->text(), "Ожидание");
        QVERIFY(!child<QPushButton>("pbCancel")->isEnabled());
        QVERIFY(!hasIncompleteMark());
    }

    // Stops come at the next event point: the goods read has one every 50
    // records, the write one after every odd row, the dump one per block.
    void cancelledRead()
    {
        useEmulator(3000);
        int rowsAtPress = 0;
        NoMessageBox noBox;
        WhenDuringOperation press([&] { return currentEditor()->rowCount() >= 100; },
                                  [&] {
                                      rowsAtPress = currentEditor()->rowCount();
                                      QTest::keyClick(window, Qt::Key_Escape);
                                  });
        click("pbRead");
        QVERIFY(press.happened());
        QVERIFY2(currentEditor()->rowCount() - rowsAtPress <= 50,
                 qPrintable(QString::number(currentEditor()->rowCount() - rowsAtPress)));
        QVERIFY(progressLabel()->text().endsWith(" — прервано"));
        QVERIFY(hasIncompleteMark());
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(statusLabel(1)->text(), "Ожидание");
    }

    // "Дочитать" is offered for a table read in part, reads the rest, and the
    // table is then what a whole read gives; unsaved edits stay.
    void continuedRead()
    {
        useEmulator(600);
        auto *continueRead = child<QAction>("actionContinueRead");
        QVERIFY(!continueRead->isEnabled());
        WhenDuringOperation press([&] { return currentEditor()->rowCount() >= 100; },
                                  [&] { QTest::keyClick(window, Qt::Key_Escape); });
        click("pbRead");
        QVERIFY(press.happened());
        const int stoppedAt = currentEditor()->rowCount();
        QVERIFY(stoppedAt < 600 && hasIncompleteMark());
        QVERIFY(continueRead->isEnabled());
        QVERIFY(currentEditor()->actions().contains(continueRead));
        editCell(0, 0, "ПРАВКА");

        {
            NoMessageBox noBox;
            continueRead->trigger();
            QCOMPARE(noBox.seen, QString());
        }
        QCOMPARE(currentEditor()->rowCount(), 600);
        QVERIFY(!hasIncompleteMark());
        QVERIFY(!continueRead->isEnabled());
        QCOMPARE(currentEditor()->item(0, 0)->text(), "ПРАВКА");
        QVERIFY(CellMarks::isChanged(*currentEditor()->item(0, 0)));
        QVERIFY2(progressLabel()->text().startsWith(
                     ProgressText::done(ProgressText::Work::RecordsRead, 600 - stoppedAt) + " за"),
                 qPrintable(progressLabel()->text()));
        const QStringList continued = gridTexts(1);
        ModalSeen dropEdits;
        answerMessageBox(&dropEdits, QMessageBox::Yes, window);
        click("pbRead");
        QCOMPARE(dropEdits.text, "Есть незаписанные изменения. Они будут потеряны.\nПродолжить?");
        QCOMPARE(gridTexts(1), continued);
    }

    // A register whose line goes away in the middle of a read and comes back
    // on the same path: the window says it waits, counting down, then reads
    // on to the end, answered once for every record, to what a whole read
    // gives; the summary tells the wait, and its looks for the port are no
    // failures.
    void readWaitsForPortToComeBack()
    {
        QTemporaryDir directory;
        const QString link = directory.filePath("register");
        // Paced, so that the line goes away in the middle, at the fastest rate.
        const QStringList arguments{"--link", link, "--goods", "600", "--baud", "921600"};
        QVERIFY(emulator.start(arguments));
        fillPortBox(ports(), {PortInfo::typedPath(link)});
        ports()->setCurrentIndex(0);
        auto *baudRate = child<QComboBox>("cbBaudRate");
        baudRate->setCurrentIndex(baudRate->findText("921600 бод"));
        emit baudRate->activated(baudRate->currentIndex());
        RegisterProcess second;
        // The link goes with the program, as an unplugged adapter's device
        // does: left, it names a terminal number the next terminal opened on
        // this machine takes, perhaps another test's register.
        WhenDuringOperation kill([&] { return currentEditor()->rowCount() >= 100; },
                                 [&] {
                                     ::kill(pid_t(emulator.pid()), SIGKILL);
                                     QFile::remove(link);
                                 });
        QString waitText;
        WhenDuringOperation comeBack(
            [&] { return progressLabel()->text().startsWith("Ожидание подключения…"); },
            [&] {
                waitText = progressLabel()->text();
                QVERIFY(second.start(arguments));
            });
        NoMessageBox noBox;
        LogCapture log;
        click("pbRead");
        QCOMPARE(waitText, "Ожидание подключения… 30 с");
        QCOMPARE(noBox.seen, QString());
        QCOMPARE(currentEditor()->rowCount(), 600);
        QVERIFY(!hasIncompleteMark());
        QVERIFY2(QRegularExpression("^Прочитано 600 записей за [^с]+с, ожидание порта [^с]+с$")
                     .match(progressLabel()->text())
                     .hasMatch(),
                 qPrintable(progressLabel()->text()));
        // Seven fields of the first record, 600 records and the end.
        QStringList answered = LogCapture::answeredRequests(log.lines().join('\n'), "46");
        QCOMPARE(answered.size(), 608);
        answered.removeDuplicates();
        QCOMPARE(answered.size(), 608);
        const QStringList afterComeback = gridTexts();
        click("pbRead");
        QCOMPARE(gridTexts(), afterComeback);
    }

    void cancelledWrite()
    {
        useEmulator(600);
        click("pbRead");
        for (int row = 0; row < currentEditor()->rowCount(); ++row)
            CellMarks::setWeight(*currentEditor()->item(row, 5), CellMarks::changedWeight);
        NoMessageBox noBox;
        WhenDuringOperation press(
            [&] { return !CellMarks::isChanged(*currentEditor()->item(0, 5)); },
            [&] { click("pbCancel"); });
        click("pbWrite");
        QVERIFY(press.happened());
        const int unsent = boldCells(*currentEditor());
        QVERIFY2(unsent > 0 && unsent < 600, qPrintable(QString::number(unsent)));
        const QString written = QStringLiteral("Записано %1 ").arg(600 - unsent);
        QVERIFY2(progressLabel()->text().startsWith(written) &&
                     progressLabel()->text().endsWith(" — прервано"),
                 qPrintable(progressLabel()->text()));
        QCOMPARE(noBox.seen, QString());
        QVERIFY(child<QPushButton>("pbWrite")->isEnabled());
    }

    void cancelledDump()
    {
        useEmulator(1);
        window->setDumpPageVisible(true);
        NoMessageBox noBox;
        WhenDuringOperation press([&] { return progressLabel()->text().startsWith("Байты: "); },
                                  [&] { click("pbCancel"); });
        click("pbReadFW");
        QVERIFY(press.happened());
        QVERIFY(!child<QPushButton>("pbSave")->isEnabled());
        QCOMPARE(statusLabel(1)->text(), "Ожидание");
        QVERIFY(progressLabel()->text().endsWith(" — прервано"));
        QCOMPARE(noBox.seen, QString());
        QVERIFY(child<QPushButton>("pbReadFW")->isEnabled());
    }

    // A read cut short keeps its mark until a read completes the table, and
    // its save asks first.
    void killedReadIsIncomplete()
    {
        child<QAction>("actionPortWait0")->trigger();
        useEmulator(3000);
        WhenDuringOperation kill([&] { return currentEditor()->rowCount() >= 100; },
                                 [&] { ::kill(pid_t(emulator.pid()), SIGKILL); });
        ModalSeen error;
        answerMessageBox(&error, QMessageBox::Ok, window);
        click("pbRead");
        QCOMPARE(error.text, "Ошибка ККМ");
        QVERIFY(hasIncompleteMark());

        ModalSeen question;
        ModalSeen cancelled;
        answerMessageBox(&question, QMessageBox::No, window, {{&cancelled, QMessageBox::Ok}});
        click("pbSaveTable");
        QVERIFY2(question.text.startsWith("Таблица прочитана не полностью"),
                 qPrintable(question.text));
        QCOMPARE(cancelled.text, "Прервано пользователем");

        PortInfo builtIn = PortInfo::availablePorts().last();
        fillPortBox(ports(), {builtIn});
        click("pbRead");
        QVERIFY(!hasIncompleteMark());
    }

    void unsavedEdits_data()
    {
        columns<QString, bool>("action", "agreed");
        for (const char *action : {"read", "load", "close"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, yes").arg(action))) << action << true;
            QTest::newRow(qPrintable(QStringLiteral("%1, no").arg(action))) << action << false;
        }
    }

    void unsavedEdits()
    {
        const auto [action, agreed] = fetch<QString, bool>("action", "agreed");
        QTemporaryDir directory;
        const QString file = directory.filePath("users.txt");
        selectTable(3);
        click("pbRead");
        const QString original = currentEditor()->item(0, 1)->text();
        answerFileDialog(file);
        click("pbSaveTable");
        QCOMPARE(window->windowTitle(), "Morvell");

        editCell(0, 1, QStringLiteral("Новое имя"));
        QTRY_VERIFY(window->isWindowModified());
        QCOMPARE(window->windowTitle(), "Morvell[*]");

        ModalSeen question;
        ModalSeen cancelled;
        // A load declined ends as a cancelled one: "Прервано пользователем".
        QList<QPair<ModalSeen *, QMessageBox::StandardButton>> after;
        if (action == "load" && !agreed)
            after << qMakePair(&cancelled, QMessageBox::Ok);
        answerMessageBox(&question, agreed ? QMessageBox::Yes : QMessageBox::No, window, after);
        if (action == "read") {
            click("pbRead");
        } else if (action == "load") {
            if (agreed)
                answerFileDialog(file);
            click("pbLoadTable");
        } else {
            window->close();
        }
        QVERIFY2(question.text.startsWith("Есть незаписанные изменения"),
                 qPrintable(question.text));
        if (action == "close") {
            QCOMPARE(window->isVisible(), !agreed);
            return;
        }
        QCOMPARE(currentEditor()->item(0, 1)->text(),
                 agreed ? original : QStringLiteral("Новое имя"));
        // A loaded value that differs from the grid is itself an edit to write.
        QCOMPARE(window->isWindowModified(), action == "load" || !agreed);
    }

    // Without an edit to lose, closing asks nothing.
    void closesWithoutQuestion()
    {
        selectTable(3);
        click("pbRead");
        NoMessageBox noBox;
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(noBox.seen, QString());
    }
};

QTEST_MAIN(TestLongOperations)
#include "tst_longoperations.moc"
