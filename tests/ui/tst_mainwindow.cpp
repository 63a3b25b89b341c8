#include "driverregistration.h"
#include "mainwindow.h"
#include "modalanswer.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "qtabletab.h"
#include "testdata.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace {

struct ModalSeen
{
    QString title;
    QString text;
    bool readEnabled = true;
};

// Answers the next message box with the given button and records what it said.
void answerMessageBox(ModalSeen *seen, QMessageBox::StandardButton button, QWidget *window)
{
    answerNextModal<QMessageBox>([=](QMessageBox *box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->readEnabled = window->findChild<QPushButton *>("pbRead")->isEnabled();
        box->button(button)->click();
    });
}

// Answers the next file dialog with a path, or cancels it for an empty one.
void answerFileDialog(const QString &path)
{
    answerNextModal<QFileDialog>([=](QFileDialog *dialog) {
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed rather than selected: selection waits for the directory listing.
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    MainWindow *window = nullptr;

    template <typename T> T *child(const char *name) { return window->findChild<T *>(name); }
    QTabWidget *tabs() { return child<QTabWidget>("tabWidget"); }
    QLabel *statusLabel(int index)
    {
        return window->statusBar()->findChildren<QLabel *>().at(index);
    }
    QMyTableWidget *currentEditor()
    {
        return tabs()->currentWidget()->findChild<QMyTableWidget *>();
    }
    void click(const char *button) { child<QPushButton>(button)->click(); }

    void selectTable(int table)
    {
        for (int index = 0; index < tabs()->count(); ++index) {
            auto *page = qobject_cast<QTableTab *>(tabs()->widget(index));
            if (page && page->tableNumber() == table)
                return tabs()->setCurrentIndex(index);
        }
        QFAIL("no such table tab");
    }

private slots:
    void initTestCase() { registerDriverComponent(); }

    void init()
    {
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup() { delete window; }

    void startState()
    {
        QCOMPARE(tabs()->count(), 11);
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(tabs()->tabText(0), "База товаров ");
        QCOMPARE(tabs()->tabText(10), "Настройки ОФД");
        QCOMPARE(child<QComboBox>("cbPorts")->currentText(),
                 "EMU1: Встроенный эмулятор ККТ Korvan");
        QVERIFY(!child<QPushButton>("pbSave")->isEnabled());
        QVERIFY(child<QPushButton>("pbWrite")->isEnabled());
        QCOMPARE(statusLabel(2)->text(), "Версия: 2.0.1.1886");
        QCOMPARE(window->minimumWidth(), 520);
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvell"));
        QCOMPARE(child<QComboBox>("cbFWtype")->itemData(0).toInt(), 17);
    }

    // Ports as "name:description", separated by ",".
    void portChoice_data()
    {
        columns<QString, QString, QString, QString>("before", "chosen", "after", "expected");
        const auto row = [](const char *name, const char *before, const char *chosen,
                            const char *after, const char *expected) {
            QTest::newRow(name) << QString(before) << QString(chosen) << QString(after)
                                << QString(expected);
        };
        row("maker's port in any case", "COM1:Generic,COM4:korVAN usb,COM5:Korvan", "", "",
            "COM4: korVAN usb");
        row("no maker's port", "COM1:Generic", "", "", "");
        row("remembered port survives a refresh", "COM1:Generic,COM4:Korvan", "COM1: Generic",
            "COM4:Korvan,COM1:Generic", "COM1: Generic");
        row("vanished port replaced by the maker's", "COM1:Generic,COM4:Korvan", "COM1: Generic",
            "COM2:Other,COM4:Korvan", "COM4: Korvan");
        row("vanished port, nothing to replace it", "COM1:Generic", "COM1: Generic", "COM2:Other",
            "");
    }

    void portChoice()
    {
        const auto [before, chosen, after, expected] =
            fetch<QString, QString, QString, QString>("before", "chosen", "after", "expected");
        const auto ports = [](const QString &entries) {
            QList<PortInfo> list;
            for (const QString &entry : entries.split(','))
                list << PortInfo(entry.section(':', 0, 0), entry.section(':', 1), QString());
            return list;
        };
        QComboBox box;
        fillPortBox(&box, ports(before));
        if (!chosen.isEmpty())
            box.setCurrentText(chosen);
        if (!after.isEmpty())
            fillPortBox(&box, ports(after));
        QCOMPARE(box.currentText(), expected);
        QCOMPARE(currentPortOf(&box).portName(), expected.section(':', 0, 0));
    }

    void readsEveryTable()
    {
        for (int index = 0; index < tabs()->count(); ++index) {
            tabs()->setCurrentIndex(index);
            click("pbRead");
            QVERIFY2(currentEditor()->rowCount() > 0, qPrintable(tabs()->tabText(index)));
            QCOMPARE(statusLabel(0)->text(), "Порт открыт");
            QCOMPARE(statusLabel(1)->text(), "Ожидание");
        }
    }

    void writeButtonFollowsTheTable()
    {
        for (int table : {7, 8, 9, 1}) {
            selectTable(table);
            click("pbRead"); // the operation first enables every control
            QCOMPARE(child<QPushButton>("pbWrite")->isEnabled(), table != 7 && table != 8);
        }
    }

    void invalidCellAsksBeforeWriting()
    {
        selectTable(3);
        click("pbRead");
        QTableWidgetItem *password = currentEditor()->item(0, 0);
        password->setText(QStringLiteral("not a number"));
        QCOMPARE(password->background().color(), QColor(Qt::red));
        statusLabel(0)->clear();

        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::No, window);
        click("pbWrite");
        QCOMPARE(seen.text,
                 "Обнаружены некорректные данные.\nВы уверены, что хотите продолжить запись?");
        QVERIFY(!seen.readEnabled);
        QVERIFY(statusLabel(0)->text().isEmpty()); // the port was never opened
        QCOMPARE(statusLabel(1)->text(), "Ожидание");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void connectionCheck()
    {
        click("pbCheckConn");
        QLabel *port = statusLabel(0);
        QVERIFY2(port->text().startsWith("Связь установлена (") && port->text().endsWith(')'),
                 qPrintable(port->text()));
        QVERIFY(port->styleSheet().contains(QStringLiteral("color : green")));
    }

    void failingOpen()
    {
        fillPortBox(child<QComboBox>("cbPorts"),
                    {PortInfo("ttyUSB9", "Korvan", "/dev/no-such-line")});
        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Ok, window);
        click("pbRead");
        QCOMPARE(seen.title, "Ошибка");
        QCOMPARE(seen.text, "Порт не открыт");
        QVERIFY(!seen.readEnabled); // controls stay disabled until the operation ends
        QCOMPARE(statusLabel(0)->text(), "Не удалось открыть порт!");
        QVERIFY(statusLabel(0)->styleSheet().contains(QStringLiteral("background-color : red")));
        QVERIFY(child<QPushButton>("pbRead")->isEnabled());
    }

    void cancelledFileDialogs_data()
    {
        columns<QByteArray>("button");
        QTest::newRow("load") << QByteArray("pbLoadTable");
        QTest::newRow("save") << QByteArray("pbSaveTable");
    }

    void cancelledFileDialogs()
    {
        QFETCH(QByteArray, button);
        ModalSeen seen;
        answerFileDialog(QString());
        answerMessageBox(&seen, QMessageBox::Ok, window);
        click(button.constData());
        QCOMPARE(seen.title, "Ошибка");
        QCOMPARE(seen.text, "Прервано пользователем");
    }

    void savesAndLoadsTheCurrentTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("users.txt"));
        selectTable(3);
        click("pbRead");
        const int rows = currentEditor()->rowCount();
        answerFileDialog(path);
        click("pbSaveTable");
        QVERIFY(QFileInfo(path).size() > 0);

        currentEditor()->setRowCount(0);
        answerFileDialog(path);
        click("pbLoadTable");
        QCOMPARE(currentEditor()->rowCount(), rows);
        QCOMPARE(statusLabel(1)->text(), "Ожидание");
    }

    void dumpOfEachProcessor_data()
    {
        columns<int>("entry");
        QTest::newRow("firmware processor") << 0;
        QTest::newRow("fiscal memory processor") << 1;
    }

    void dumpOfEachProcessor()
    {
        QFETCH(int, entry);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dump.bin"));
        window->setDumpPageVisible(true);
        child<QComboBox>("cbFWtype")->setCurrentIndex(entry);

        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Yes, window);
        answerFileDialog(path);
        click("pbReadFW");
        QCOMPARE(seen.title, "Дамп считан");

        const QRegularExpressionMatch count =
            QRegularExpression("^Cчитано (\\d+) байт. Ожидание$").match(statusLabel(1)->text());
        QVERIFY2(count.hasMatch(), qPrintable(statusLabel(1)->text()));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), count.captured(1).toLongLong());
        QVERIFY(saved.size() > 0);
        QVERIFY(child<QPushButton>("pbSave")->isEnabled());
    }

    void dumpPageShortcut()
    {
        QCOMPARE(tabs()->count(), 11);
        QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs()->count(), 12);
        QCOMPARE(tabs()->tabText(11), "Чтение дампа");
        QCOMPARE(tabs()->currentIndex(), 11);
        QVERIFY(!child<QPushButton>("pbRead")->isVisible());
        QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs()->count(), 11);
        QVERIFY(child<QPushButton>("pbRead")->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
