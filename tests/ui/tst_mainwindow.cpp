#include "driverregistration.h"
#include "mainwindow.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "qtabletab.h"
#include "modalanswer.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const PortInfo builtIn(QStringLiteral("EMU1"), u("Встроенный эмулятор ККТ Korvan"),
                       QLatin1String(builtInRegisterLocation));

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
private slots:
    void initTestCase() { registerDriverComponent(); }
    void init();
    void cleanup() { delete window; }

    void startState();
    void portChoice_data();
    void portChoice();
    void readsEveryTable();
    void writeButtonFollowsTheTable();
    void invalidCellAsksBeforeWriting();
    void connectionCheck();
    void failingOpen();
    void cancelledFileDialogs_data();
    void cancelledFileDialogs();
    void savesAndLoadsTheCurrentTable();
    void dumpOfEachProcessor_data();
    void dumpOfEachProcessor();
    void dumpPageShortcut();

private:
    template <typename T> T *child(const char *name) { return window->findChild<T *>(name); }
    QTabWidget *tabs() { return child<QTabWidget>("tabWidget"); }
    QLabel *statusLabel(int index) { return window->statusBar()->findChildren<QLabel *>().at(index); }
    QMyTableWidget *currentEditor();
    void selectTable(int table);

    MainWindow *window = nullptr;
};

void TestMainWindow::init()
{
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

QMyTableWidget *TestMainWindow::currentEditor()
{
    return tabs()->currentWidget()->findChild<QMyTableWidget *>();
}

void TestMainWindow::selectTable(int table)
{
    for (int index = 0; index < tabs()->count(); ++index) {
        auto *page = qobject_cast<QTableTab *>(tabs()->widget(index));
        if (page && page->tableNumber() == table) {
            tabs()->setCurrentIndex(index);
            return;
        }
    }
    QFAIL("no such table tab");
}

void TestMainWindow::startState()
{
    QCOMPARE(tabs()->count(), 11);
    QCOMPARE(tabs()->currentIndex(), 0);
    QCOMPARE(tabs()->tabText(0), u("База товаров "));
    QCOMPARE(tabs()->tabText(10), u("Настройки ОФД"));
    QCOMPARE(child<QComboBox>("cbPorts")->currentText(), u("EMU1: Встроенный эмулятор ККТ Korvan"));
    QVERIFY(!child<QPushButton>("pbSave")->isEnabled());
    QVERIFY(child<QPushButton>("pbWrite")->isEnabled());
    QCOMPARE(statusLabel(2)->text(), u("Версия: 2.0.1.1886"));
    QCOMPARE(window->minimumWidth(), 520);
    QCOMPARE(window->windowTitle(), QStringLiteral("Morvell"));
    QCOMPARE(child<QComboBox>("cbFWtype")->itemData(0).toInt(), 17);
}

void TestMainWindow::portChoice_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("expected");

    QTest::newRow("maker's port in any case")
        << QStringList{"COM1:Generic", "COM4:korVAN usb", "COM5:Korvan"} << ""
        << QStringList() << "COM4: korVAN usb";
    QTest::newRow("no maker's port") << QStringList{"COM1:Generic"} << "" << QStringList() << "";
    QTest::newRow("remembered port survives a refresh")
        << QStringList{"COM1:Generic", "COM4:Korvan"} << "COM1: Generic"
        << QStringList{"COM4:Korvan", "COM1:Generic"} << "COM1: Generic";
    QTest::newRow("vanished port replaced by the maker's")
        << QStringList{"COM1:Generic", "COM4:Korvan"} << "COM1: Generic"
        << QStringList{"COM2:Other", "COM4:Korvan"} << "COM4: Korvan";
    QTest::newRow("vanished port, nothing to replace it")
        << QStringList{"COM1:Generic"} << "COM1: Generic" << QStringList{"COM2:Other"} << "";
}

void TestMainWindow::portChoice()
{
    QFETCH(QStringList, before);
    QFETCH(QString, chosen);
    QFETCH(QStringList, after);
    QFETCH(QString, expected);

    const auto ports = [](const QStringList &entries) {
        QList<PortInfo> list;
        for (const QString &entry : entries)
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

void TestMainWindow::readsEveryTable()
{
    for (int index = 0; index < tabs()->count(); ++index) {
        tabs()->setCurrentIndex(index);
        child<QPushButton>("pbRead")->click();
        QVERIFY2(currentEditor()->rowCount() > 0, qPrintable(tabs()->tabText(index)));
        QCOMPARE(statusLabel(0)->text(), u("Порт открыт"));
        QCOMPARE(statusLabel(1)->text(), u("Ожидание"));
    }
}

void TestMainWindow::writeButtonFollowsTheTable()
{
    auto *write = child<QPushButton>("pbWrite");
    for (int table : {7, 8, 9, 1}) {
        selectTable(table);
        child<QPushButton>("pbRead")->click(); // the operation first enables every control
        QCOMPARE(write->isEnabled(), table != 7 && table != 8);
    }
}

void TestMainWindow::invalidCellAsksBeforeWriting()
{
    selectTable(3);
    child<QPushButton>("pbRead")->click();
    QMyTableWidget *editor = currentEditor();
    QTableWidgetItem *password = editor->item(0, 0);
    password->setText(QStringLiteral("not a number"));
    QCOMPARE(password->background().color(), QColor(Qt::red));
    statusLabel(0)->clear();

    ModalSeen seen;
    answerMessageBox(&seen, QMessageBox::No, window);
    child<QPushButton>("pbWrite")->click();
    QCOMPARE(seen.text, u("Обнаружены некорректные данные.\nВы уверены, что хотите продолжить запись?"));
    QVERIFY(!seen.readEnabled);
    QVERIFY(statusLabel(0)->text().isEmpty()); // the port was never opened
    QCOMPARE(statusLabel(1)->text(), u("Ожидание"));
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMainWindow::connectionCheck()
{
    child<QPushButton>("pbCheckConn")->click();
    QLabel *port = statusLabel(0);
    QVERIFY2(port->text().startsWith(u("Связь установлена (")) && port->text().endsWith(')'),
             qPrintable(port->text()));
    QVERIFY(port->styleSheet().contains(QStringLiteral("color : green")));
}

void TestMainWindow::failingOpen()
{
    auto *ports = child<QComboBox>("cbPorts");
    fillPortBox(ports, {PortInfo(QStringLiteral("ttyUSB9"), QStringLiteral("Korvan"),
                                 QStringLiteral("/dev/no-such-line"))});
    ModalSeen seen;
    answerMessageBox(&seen, QMessageBox::Ok, window);
    child<QPushButton>("pbRead")->click();
    QCOMPARE(seen.title, u("Ошибка"));
    QCOMPARE(seen.text, u("Порт не открыт"));
    QVERIFY(!seen.readEnabled); // controls stay disabled until the operation ends
    QCOMPARE(statusLabel(0)->text(), u("Не удалось открыть порт!"));
    QVERIFY(statusLabel(0)->styleSheet().contains(QStringLiteral("background-color : red")));
    QVERIFY(child<QPushButton>("pbRead")->isEnabled());
}

void TestMainWindow::cancelledFileDialogs_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("load") << QByteArray("pbLoadTable");
    QTest::newRow("save") << QByteArray("pbSaveTable");
}

void TestMainWindow::cancelledFileDialogs()
{
    QFETCH(QByteArray, button);
    ModalSeen seen;
    answerFileDialog(QString());
    answerMessageBox(&seen, QMessageBox::Ok, window);
    child<QPushButton>(button.constData())->click();
    QCOMPARE(seen.title, u("Ошибка"));
    QCOMPARE(seen.text, u("Прервано пользователем"));
}

void TestMainWindow::savesAndLoadsTheCurrentTable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.txt"));
    selectTable(3);
    child<QPushButton>("pbRead")->click();
    const int rows = currentEditor()->rowCount();
    answerFileDialog(path);
    child<QPushButton>("pbSaveTable")->click();
    QVERIFY(QFileInfo(path).size() > 0);

    currentEditor()->setRowCount(0);
    answerFileDialog(path);
    child<QPushButton>("pbLoadTable")->click();
    QCOMPARE(currentEditor()->rowCount(), rows);
    QCOMPARE(statusLabel(1)->text(), u("Ожидание"));
}

void TestMainWindow::dumpOfEachProcessor_data()
{
    QTest::addColumn<int>("entry");
    QTest::newRow("firmware processor") << 0;
    QTest::newRow("fiscal memory processor") << 1;
}

void TestMainWindow::dumpOfEachProcessor()
{
    QFETCH(int, entry);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dump.bin"));
    window->setDumpPageVisible(true);
    child<QComboBox>("cbFWtype")->setCurrentIndex(entry);

    ModalSeen seen;
    answerMessageBox(&seen, QMessageBox::Yes, window);
    answerFileDialog(path);
    child<QPushButton>("pbReadFW")->click();
    QCOMPARE(seen.title, u("Дамп считан"));

    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("^Cчитано (\\d+) байт. Ожидание$")).match(statusLabel(1)->text());
    QVERIFY2(count.hasMatch(), qPrintable(statusLabel(1)->text()));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.size(), count.captured(1).toLongLong());
    QVERIFY(saved.size() > 0);
    QVERIFY(child<QPushButton>("pbSave")->isEnabled());
}

void TestMainWindow::dumpPageShortcut()
{
    QCOMPARE(tabs()->count(), 11);
    QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs()->count(), 12);
    QCOMPARE(tabs()->tabText(11), u("Чтение дампа"));
    QCOMPARE(tabs()->currentIndex(), 11);
    QVERIFY(!child<QPushButton>("pbRead")->isVisible());
    QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs()->count(), 11);
    QVERIFY(child<QPushButton>("pbRead")->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
