#include "cellmarks.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "registerprocess.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The window as a desktop program: its size, keys and files.
class TestDesktop : public WindowTest
{
    Q_OBJECT

    void activate()
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void trigger(const char *action) { child<QAction>(action)->trigger(); }

    // What of the status bar cannot be read: a widget not wholly inside the
    // window, a label narrower than its text or ten characters, an elided
    // text whose tooltip does not hold it whole, or beside one a label wider
    // than its own text. elided counts the elided texts.
    QStringList statusBarMisfits(int *elided = nullptr)
    {
        // As the user sees it, laid out again after the last change.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QStringList misfits;
        QStringList roomy;
        int elidedHere = 0;
        for (QWidget *widget : window->statusBar()->findChildren<QWidget *>()) {
            if (!widget->isVisible())
                continue;
            auto *label = qobject_cast<QLabel *>(widget);
            const QString name = label ? label->text() : widget->metaObject()->className();
            if (!window->rect().contains(QRect(widget->mapTo(window, QPoint()), widget->size())))
                misfits << name + ": outside the window";
            if (!label)
                continue;
            const int width = label->contentsRect().width();
            const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
            if (width < qMin(textWidth, label->fontMetrics().averageCharWidth() * 10))
                misfits << name + QStringLiteral(": squeezed to %1 px").arg(width);
            if (width > textWidth + label->fontMetrics().averageCharWidth())
                roomy << name +
                             QStringLiteral(": %1 px for a text of %2").arg(width).arg(textWidth);
            if (width < textWidth) {
                ++elidedHere;
                if (!label->toolTip().contains(label->text()))
                    misfits << name + ": not in its tooltip " + label->toolTip();
            }
        }
        if (elidedHere > 0)
            misfits << roomy;
        if (elided)
            *elided = elidedHere;
        return misfits;
    }

private slots:
    // Long texts of real operations side by side: an identification, a
    // comparison with rows only in the table, a stopped read's summary, and
    // the running text of a profile's save, with "Прервать".
    void statusTextsFit_data()
    {
        columns<QSize>("size");
        QTest::newRow("start size") << QSize();
        QTest::newRow("800x480") << QSize(800, 480);
    }

    void statusTextsFit()
    {
        const auto [size] = fetch<QSize>("size");
        if (size.isValid())
            window->resize(size);
        // Nothing has run yet to show progress of.
        QVERIFY(!progressLabel()->isVisible());
        RegisterProcess emulator;
        QVERIFY(emulator.start({"--goods", "2000"}));
        fillPortBox(ports(), {PortInfo::typedPath(emulator.path())});
        ports()->setCurrentIndex(0);
        selectTable(1);
        click("pbRead");
        QCOMPARE(currentEditor()->rowCount(), 2000);

        // The file keeps the first record alone: its number, then a line per field.
        QTemporaryDir directory;
        const QString path = directory.filePath("first.txt");
        QCOMPARE(currentEditor()->saveToFile(path), 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArrayList lines = file.readAll().split('\n');
        file.resize(0);
        file.write(lines.mid(0, 1 + currentEditor()->columnCount()).join('\n') + '\n');
        file.close();
        answerFileDialog(path);
        trigger("actionCompareWithFile");
        QVERIFY(child<QLabel>("comparisonLabel")->text().contains("строк только в таблице: 1999"));

        WhenDuringOperation stop([&] { return progressLabel()->text().startsWith("Записи: "); },
                                 [&] { click("pbCancel"); });
        trigger("actionCompareWithRegister");
        QVERIFY(stop.happened());
        QVERIFY(progressLabel()->text().endsWith(" — прервано"));
        click("pbCheckConn");
        QVERIFY(statusLabel(0)->text().startsWith("Связь установлена ("));
        int elided = 0;
        QStringList misfits = statusBarMisfits(&elided);
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join('\n')));
        QVERIFY(elided > 0);

        answerFileDialog(directory.filePath("profile.prf"));
        WhenDuringOperation during(
            [&] { return progressLabel()->text().startsWith("Таблица 1 из "); },
            [&] {
                misfits = statusBarMisfits();
                click("pbCancel");
            });
        trigger("actionSaveProfile");
        QVERIFY(during.happened());
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join('\n')));
    }

    // At the start size a checked write's summary reads whole beside an
    // identification and a comparison, which give way.
    void summaryWholeAtStartSize()
    {
        click("pbRead");
        trigger("actionCompareWithRegister");
        editCell(0, 2, "12.50");
        click("pbWrite");
        click("pbCheckConn");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QLabel *summary = progressLabel();
        QVERIFY2(summary->width() >= summary->fontMetrics().horizontalAdvance(summary->text()),
                 qPrintable(summary->text()));
    }

    void captionsFitAtStartSize()
    {
        QVERIFY(window->width() >= 640 && window->height() >= 480);
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            if (button->isVisible())
                QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        }
        // At the least width the line's speed and the search stay side by side.
        window->resize(window->minimumSize());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QRect speed = child<QWidget>("cbBaudRate")->geometry();
        QVERIFY(speed.right() < child<QWidget>("pbFindRegister")->geometry().left());
    }

    void geometryAndColumnsRemembered()
    {
        window->resize(900, 600);
        selectTable(3);
        currentEditor()->horizontalHeader()->resizeSection(0, 77);
        cleanup();
        openWindow();
        QCOMPARE(window->size(), QSize(900, 600));
        selectTable(3);
        QCOMPARE(currentEditor()->columnWidth(0), 77);
    }

    // Each key does what its button or command does, wherever the focus is.
    void shortcuts()
    {
        activate();
        selectTable(3);
        currentEditor()->setFocus();
        // A button's key clicks it a moment later, as a mouse click shows.
        QTest::keyClick(window, Qt::Key_F5);
        QTRY_VERIFY(currentEditor()->rowCount() > 0);
        QTemporaryDir directory;
        const QString path = directory.filePath("users.txt");
        answerFileDialog(path);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(QFile::exists(path));
        editCell(0, 1, "Правка");
        ModalSeen question;
        answerMessageBox(&question, QMessageBox::Yes, window);
        answerFileDialog(path);
        // Offscreen, nothing gives the window back its activation after a dialog.
        activate();
        QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(currentEditor()->item(0, 1)->text() != "Правка");

        const int tab = tabs()->currentIndex();
        activate();
        QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), tab + 1);
        QTest::keyClick(window, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), tab);
        QTest::keyClick(window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs()->currentIndex(), tab - 1);
        QTest::keyClick(window, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), tab);
        QVERIFY(child<QPushButton>("pbRead")->toolTip().endsWith("(F5)"));

        editCell(0, 1, "Правка");
        QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(boldCells(*currentEditor()), 0);
        QString offered;
        answerFileDialog(QString(), QString(), &offered);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(offered.contains("Профиль ККТ"));
    }

    // F10 opens the first menu; every menu, and every entry of a menu, has an
    // access key of its own.
    void menuKeys()
    {
        activate();
        QTest::keyClick(window, Qt::Key_F10);
        QCOMPARE(qobject_cast<QMenu *>(QApplication::activePopupWidget())->title(), "&Таблица");
        QSet<QKeySequence> menus{QKeySequence()};
        for (QAction *menu : window->menuBar()->actions()) {
            QVERIFY2(!menus.contains(QKeySequence::mnemonic(menu->text())),
                     qPrintable(menu->text()));
            menus << QKeySequence::mnemonic(menu->text());
            QSet<QKeySequence> keys{QKeySequence()};
            for (QAction *action : menu->menu()->actions()) {
                const QKeySequence key = QKeySequence::mnemonic(action->text());
                QVERIFY2(action->isSeparator() || !keys.contains(key), qPrintable(action->text()));
                keys << key;
            }
        }
    }

    // Ctrl+F opens the search of the goods, Enter goes on, Esc closes it.
    void findGoods()
    {
        activate();
        selectTable(1);
        QTest::keyClick(window, Qt::Key_F5);
        QTRY_VERIFY(currentEditor()->rowCount() > 0);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        auto *finder = child<QLineEdit>("rowFinder");
        QVERIFY(finder->isVisible());
        // The rows whose barcode or name holds a 5, in order.
        QList<int> matching;
        for (int row = 0; row < currentEditor()->rowCount(); ++row) {
            if (currentEditor()->item(row, 0)->text().contains('5') ||
                currentEditor()->item(row, 1)->text().contains('5'))
                matching << row;
        }
        QVERIFY(matching.size() >= 2);
        QTest::keyClicks(finder, "5");
        QTest::keyClick(finder, Qt::Key_Return);
        QCOMPARE(currentEditor()->currentRow(), matching.at(0));
        QTest::keyClick(finder, Qt::Key_Return);
        QCOMPARE(currentEditor()->currentRow(), matching.at(1));
        finder->setText("хлеб");
        QTest::keyClick(finder, Qt::Key_Return);
        QCOMPARE(currentEditor()->currentRow(), 0);
        QTest::keyClick(finder, Qt::Key_Escape);
        QVERIFY(finder->isHidden());
    }

    // The cell found shows in a mark of its own, which is neither an edit nor
    // a difference: it moves to the next cell found and goes with an edit.
    void foundCellMarked()
    {
        selectTable(1);
        click("pbRead");
        QMyTableWidget *grid = currentEditor();
        editCell(3, 0, "ИСКОМЫЙ ТОВАР");
        trigger("actionCompareWithRegister");
        const int differences = grid->comparison()->remaining(grid->data());
        const int bold = boldCells(*grid);
        QTableWidgetItem *found = grid->item(3, 0);
        const QColor differenceColor = found->background().color();

        auto *finder = child<QLineEdit>("rowFinder");
        finder->setText("искомый");
        QTest::keyClick(finder, Qt::Key_Return);
        QCOMPARE(grid->currentItem(), found);
        QVERIFY(CellMarks::isFound(*found));
        QCOMPARE(found->background().color(), CellMarks::foundColor());
        QCOMPARE(grid->comparison()->remaining(grid->data()), differences);
        QCOMPARE(boldCells(*grid), bold);

        finder->setText(grid->item(7, 1)->text());
        QTest::keyClick(finder, Qt::Key_Return);
        QTableWidgetItem *next = grid->currentItem();
        QVERIFY(next && next != found);
        QVERIFY(CellMarks::isFound(*next));
        QVERIFY(!CellMarks::isFound(*found));
        QCOMPARE(found->background().color(), differenceColor);
        QCOMPARE(grid->comparison()->remaining(grid->data()), differences);

        editCell(next->row(), next->column(), "4600000000000");
        QVERIFY(!CellMarks::isFound(*next));
        QVERIFY(next->background().color() != CellMarks::foundColor());
    }

    // The name's extension decides the format, as it does for the load; the
    // filter gives a bare name its extension, and the one for spreadsheets
    // starts a CSV with a byte-order mark. Every file loads back equal.
    void savedAsTheNameSays_data()
    {
        columns<QString, QString, QString, QByteArray>("typed", "filter", "file", "start");
        const QByteArray text("1\n1\t1\t64\t");
        const QByteArray csv("Таблица товаров\n");
        const QByteArray bom("\xEF\xBB\xBF");
        const QString spreadsheets = "CSV для Excel (*.csv)";
        const auto row = [](const char *name, const QString &typed, const QString &filter,
                            const QString &file, const QByteArray &start) {
            QTest::newRow(name) << typed << filter << file << start;
        };
        row("bare, text", "goods", "*.txt", "goods.txt", text);
        row("bare, csv", "goods", "*.csv", "goods.csv", csv);
        row("bare, spreadsheets", "goods", spreadsheets, "goods.csv", bom + csv);
        row("bare, all files", "goods", "Все файлы (*.*)", "goods", text);
        row(".csv, text", "goods.csv", "*.txt", "goods.csv", csv);
        row(".csv, spreadsheets", "goods.csv", spreadsheets, "goods.csv", bom + csv);
        row(".txt, csv", "goods.txt", "*.csv", "goods.txt", text);
        row(".txt, spreadsheets", "goods.txt", spreadsheets, "goods.txt", text);
        row("other extension, csv", "goods.dat", "*.csv", "goods.dat", text);
        row("bare, workbook", "goods", "Книга Excel (*.xlsx)", "goods.xlsx", "PK\x03\x04");
        row(".xlsx, text", "goods.xlsx", "*.txt", "goods.xlsx", "PK\x03\x04");
    }

    void savedAsTheNameSays()
    {
        const auto [typed, filter, file, start] =
            fetch<QString, QString, QString, QByteArray>("typed", "filter", "file", "start");
        QTemporaryDir directory;
        selectTable(1);
        click("pbRead");
        QString suggested;
        answerFileDialog(directory.filePath(typed), filter, &suggested);
        click("pbSaveTable");
        QVERIFY2(suggested.endsWith("База товаров " + QDate::currentDate().toString(Qt::ISODate) +
                                    ".txt"),
                 qPrintable(suggested));
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{file});
        QFile saved(directory.filePath(file));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray contents = saved.readAll();
        QVERIFY2(contents.startsWith(start), contents.left(40).constData());

        const auto texts = [this] {
            QStringList cells;
            for (int row = 0; row < currentEditor()->rowCount(); ++row) {
                for (int column = 0; column < currentEditor()->columnCount(); ++column)
                    cells << currentEditor()->item(row, column)->text();
            }
            return cells;
        };
        const QStringList before = texts();
        editCell(2, 0, "ДРУГОЙ");
        ModalSeen question;
        answerMessageBox(&question, QMessageBox::Yes, window);
        QString offered;
        answerFileDialog(saved.fileName(), QString(), &offered);
        click("pbLoadTable");
        QCOMPARE(texts(), before);
        // The next dialog starts in the folder of this file.
        QCOMPARE(QDir(offered).absolutePath(), QDir(directory.path()).absolutePath());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
