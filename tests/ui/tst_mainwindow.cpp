#include "baudrate.h"
#include "modalanswer.h"
#include "portlist.h"
#include "pseudoterminal.h"
#include "qmytablewidget.h"
#include "qtabletab.h"
#include "registerprocess.h"
#include "testdata.h"
#include "windowtestsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Takes the user's right to open the device for its lifetime: as root, whom
// file modes do not stop, by acting as nobody; otherwise through its mode.
class DeviceForbidden
{
public:
    explicit DeviceForbidden(const QString &path) : m_path(QFile::encodeName(path))
    {
        if (geteuid() == 0) {
            m_asNobody = seteuid(65534) == 0;
        } else {
            struct stat status;
            ::stat(m_path.constData(), &status);
            m_mode = status.st_mode & 07777;
            ::chmod(m_path.constData(), 0);
        }
    }
    ~DeviceForbidden()
    {
        if (m_asNobody)
            (void)seteuid(0);
        else if (geteuid() != 0)
            ::chmod(m_path.constData(), m_mode);
    }

private:
    QByteArray m_path;
    bool m_asNobody = false;
    mode_t m_mode = 0;
};

} // namespace

class TestMainWindow : public WindowTest
{
    Q_OBJECT

private slots:
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
        // The form's 520, more where the font makes its controls wider.
        QVERIFY(window->minimumWidth() >= 520);
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
        row("port without description", "COM1:,COM4:Korvan", "COM1: Последовательный порт", "",
            "COM1: Последовательный порт");
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

    // A name with ";" stays out of the plain CSV, whose readers split at every
    // ";": the box names the value and the files that hold it, and the
    // summary says nothing was saved.
    void goodsNameWithSemicolon()
    {
        selectTable(1);
        click("pbRead");
        editCell(1, 0, "ООО \"РОМАШКА\"; ФИЛИАЛ");
        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Ok, window);
        answerFileDialog(QDir::temp().filePath("never-saved.csv"), "*.csv");
        click("pbSaveTable");
        QCOMPARE(seen.text, "Некорректные данные");
        QVERIFY2(seen.informativeText.startsWith("Запись 2, поле «Название»: «ООО \"РОМАШКА\"; "
                                                 "ФИЛИАЛ» — знак «;»"),
                 qPrintable(seen.informativeText));
        QVERIFY(progressLabel()->text().contains(QRegExp("^Не сохранено за .+ — ошибка$")));
    }

    // The register behind a link the emulator program made, or on the
    // network, typed into the box: each operation over it, and the port
    // remembered.
    void typedPortServesEveryOperation_data()
    {
        columns<bool>("network");
        QTest::newRow("link") << false;
        QTest::newRow("on the network") << true;
    }

    void typedPortServesEveryOperation()
    {
        QFETCH(bool, network);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("register"));
        RegisterProcess emulator;
        QVERIFY(emulator.start(network ? QStringList{"--goods", "30", "--listen", "127.0.0.1:0"}
                                       : QStringList{"--goods", "30", "--link", link}));
        const QString port = network ? "tcp://" + emulator.path() : link;
        typePort(port);
        QCOMPARE(ports()->currentText(), port);
        QCOMPARE(window->findChild<QComboBox *>("cbBaudRate")->isVisibleTo(window), !network);

        click("pbRead");
        QCOMPARE(statusLabel(0)->text(), "Порт открыт");
        QCOMPARE(currentEditor()->rowCount(), 30);
        editCell(29, 0, QStringLiteral("ПЕЧЕНЬЕ ОВСЯНОЕ"));
        QVERIFY(currentEditor()->item(29, 0)->font().bold());
        click("pbWrite");
        QVERIFY2(progressLabel()->text().contains(", проверено"),
                 qPrintable(progressLabel()->text()));
        click("pbRead");
        QCOMPARE(currentEditor()->item(29, 0)->text(), QStringLiteral("ПЕЧЕНЬЕ ОВСЯНОЕ"));
        click("pbCheckConn");
        QVERIFY2(statusLabel(0)->text().startsWith("Связь установлена ("),
                 qPrintable(statusLabel(0)->text()));

        window->setDumpPageVisible(true);
        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Yes, window);
        answerFileDialog(dir.filePath(QStringLiteral("dump.bin")));
        click("pbReadFW");
        QCOMPARE(seen.title, "Дамп считан");
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("dump.bin"))).size() > 4096);

        cleanup();
        openWindow();
        QCOMPARE(ports()->currentText(), port);
        QCOMPARE(currentPortOf(ports()).systemLocation(), port);
        const QString executed = emulator.stop();
        QVERIFY2(executed.contains(" 1 writes, 1 dump starts"), qPrintable(executed));

        // Once the link is gone, the maker's port is chosen as on a first
        // start; an address on the network is looked for only when used.
        cleanup();
        openWindow();
        QCOMPARE(ports()->currentText(),
                 network ? port : QStringLiteral("EMU1: Встроенный эмулятор ККТ Korvan"));
    }

    // An adapter with a stable name (a link in the by-id directory) is
    // remembered by it, with its rate, so that back as another ttyUSB it is still the port.
    void adapterRememberedByStableName()
    {
        QTemporaryDir dir;
        const QString byId = dir.filePath("by-id");
        QVERIFY(QDir().mkpath(byId));
        qputenv("MORVELL_SERIAL_BY_ID", QFile::encodeName(byId));
        const QString stableName = byId + "/usb-Maker_Adapter_A1-if00-port0";
        RegisterProcess first;
        QVERIFY(first.start({"--link", dir.filePath("ttyUSB0")}));
        QVERIFY(QFile::link(dir.filePath("ttyUSB0"), stableName));
        typePort(dir.filePath("ttyUSB0"));
        QVERIFY2(
            ports()
                ->itemData(ports()->currentIndex(), Qt::ToolTipRole)
                .toString()
                .contains("Постоянное имя: " + stableName),
            qPrintable(ports()->itemData(ports()->currentIndex(), Qt::ToolTipRole).toString()));
        auto *baudRate = child<QComboBox>("cbBaudRate");
        baudRate->setCurrentIndex(baudRate->findText("19200 бод"));
        emit baudRate->activated(baudRate->currentIndex());

        first.stop();
        RegisterProcess second;
        QVERIFY(second.start({"--link", dir.filePath("ttyUSB1")}));
        QVERIFY(QFile::remove(stableName) && QFile::link(dir.filePath("ttyUSB1"), stableName));
        cleanup();
        openWindow();
        QCOMPARE(currentPortOf(ports()).systemLocation(), stableName);
        QCOMPARE(child<QComboBox>("cbBaudRate")->currentText(), "19200 бод");
        click("pbCheckConn");
        QVERIFY2(statusLabel(0)->text().startsWith("Связь установлена"),
                 qPrintable(statusLabel(0)->text()));
        qunsetenv("MORVELL_SERIAL_BY_ID");
    }

    // "Найти ККТ..." lists the registers on the ports of the list at their
    // rates, asking nothing but their identification; the row chosen sets
    // the port and the rate, which then connect.
    void findsRegisterAndChoosesIt()
    {
        QTemporaryDir dir;
        RegisterProcess slow;
        RegisterProcess fast;
        QVERIFY(slow.start({"--baud", "9600", "--serial", "111", "--link", dir.filePath("slow")}));
        QVERIFY(fast.start({"--baud", "57600", "--serial", "222", "--link", dir.filePath("fast")}));
        typePort(dir.filePath("slow"));
        typePort(dir.filePath("fast"));
        QStringList rows;
        answerNextModal<QDialog>([&rows](QDialog *dialog) {
            auto *found = dialog->findChild<QTableWidget *>("foundRegisters");
            const auto buttons = dialog->findChildren<QPushButton *>();
            if (!QTest::qWaitFor([found] { return found->rowCount() == 2; }, 20000))
                qWarning() << "the search found" << found->rowCount() << "registers";
            // The search goes on over the other ports; choosing stops it.
            for (int row = 0; row < found->rowCount(); ++row) {
                QStringList texts;
                for (int column = 0; column < found->columnCount(); ++column)
                    texts << found->item(row, column)->text();
                rows << texts.join('|');
                if (texts.value(1) == "57600 бод")
                    found->selectRow(row);
            }
            for (QPushButton *button : buttons) {
                if (button->text() == "Выбрать")
                    button->click();
            }
        });
        click("pbFindRegister");
        rows.sort();
        QCOMPARE(rows, QStringList({dir.filePath("fast") +
                                        "|57600 бод|ККТ Korvan Tessel (эмулятор)|222|3.2.1205",
                                    dir.filePath("slow") +
                                        "|9600 бод|ККТ Korvan Tessel (эмулятор)|111|3.2.1205"}));
        QCOMPARE(currentPortOf(ports()).systemLocation(), dir.filePath("fast"));
        QCOMPARE(child<QComboBox>("cbBaudRate")->currentText(), "57600 бод");
        const QString unchosen = slow.stop();
        QVERIFY2(unchosen.contains("executed 1 identifications, 0 mode entries, 0 reads, 0 writes"),
                 qPrintable(unchosen));
        click("pbCheckConn");
        QVERIFY2(statusLabel(0)->text().startsWith("Связь установлена"),
                 qPrintable(statusLabel(0)->text()));
    }

    // Each port keeps the rate chosen for it, across restarts; a port never
    // used gets 115200 baud, or the one rate an earlier version kept.
    void baudRateRemembered()
    {
        const auto rate = [this] { return child<QComboBox>("cbBaudRate")->currentText(); };
        const auto chooseRate = [this](const QString &rate) {
            auto *box = child<QComboBox>("cbBaudRate");
            box->setCurrentIndex(box->findText(rate));
            emit box->activated(box->currentIndex());
        };
        QCOMPARE(rate(), "115200 бод");
        cleanup();
        QSettings("Korvan", "Morvell").setValue("port/baudRateCode", BaudRate::codeOfRate(38400));
        openWindow();
        QCOMPARE(rate(), "38400 бод");
        chooseRate("9600 бод");
        PseudoTerminal line;
        QString error;
        QVERIFY2(line.open(error), qPrintable(error));
        typePort(line.slavePath());
        QCOMPARE(rate(), "38400 бод");
        chooseRate("57600 бод");
        cleanup();
        openWindow();
        QCOMPARE(rate(), "57600 бод");
        ports()->setCurrentIndex(ports()->findText("EMU1: Встроенный эмулятор ККТ Korvan"));
        QCOMPARE(rate(), "9600 бод");
    }

    void typedPathRefusedBeforeOpening_data()
    {
        columns<QString, QString>("path", "message");
        QTest::newRow("missing") << "/dev/no-such-line"
                                 << "Устройство /dev/no-such-line не найдено.";
        QTest::newRow("regular file")
            << "/etc/hostname"
            << "/etc/hostname не является устройством последовательного порта.";
    }

    void typedPathRefusedBeforeOpening()
    {
        const auto [path, message] = fetch<QString, QString>("path", "message");
        const QString before = ports()->currentText();
        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Ok, window);
        typePort(path);
        QCOMPARE(seen.text, message);
        QCOMPARE(ports()->currentText(), before);
        QVERIFY(statusLabel(0)->text().isEmpty()); // nothing was opened
    }

    // Every way a line fails keeps the usual texts and adds its own cause
    // and hint below them, and in the port label's tooltip.
    void failureCauses_data()
    {
        columns<QString, QString, QString, QString>("failure", "message", "portLabel", "cause");
        const auto row = [](const char *failure, const char *message, const char *portLabel,
                            const char *cause) {
            QTest::newRow(failure)
                << QString(failure) << QString(message) << QString(portLabel) << QString(cause);
        };
        const char *notOpened = "Не удалось открыть порт!";
        row("missing", "Порт не открыт", notOpened,
            "Устройство не найдено (%1). Проверьте, что ККТ или переходник подключены");
        row("forbidden", "Порт не открыт", notOpened,
            "Нет доступа к порту (%1). Открыть устройство может только root");
        row("busy", "Порт не открыт", notOpened,
            "Порт занят другой программой (%1). Закройте программу");
        row("silent", "Порт не открыт", notOpened,
            "Нет связи (%1). ККТ не отвечает: проверьте питание ККТ, кабель и скорость обмена.");
        // Typed as an address alone, no path.
        row("refused on the network", "Порт не открыт", notOpened,
            "Подключение отклонено (%1). ККТ не принимает подключения на порту 1 адреса 127.0.0.1");
        row("killed mid-read", "Ошибка ККМ", "Порт открыт",
            "Связь с портом потеряна (%1). Устройство отключено или ошибка ввода-вывода");
        row("on the network, killed mid-read", "Ошибка ККМ", "Порт открыт",
            "Связь с портом потеряна (%1). Соединение с 127.0.0.1, порт ");
        // Silent after it answered: the line may be poor, and more retries carry it.
        row("silent mid-read", "Ошибка ККМ", "Порт открыт",
            "Нет связи (%1). ККТ не отвечает: проверьте питание ККТ, кабель и скорость обмена.\n"
            "Если линия с помехами, увеличьте «Повторов при сбое» в меню «Таблица» (сейчас 0).");
    }

    void failureCauses()
    {
        const auto [failure, message, portLabel, cause] =
            fetch<QString, QString, QString, QString>("failure", "message", "portLabel", "cause");
        QTemporaryDir dir;
        RegisterProcess emulator;
        PseudoTerminal silentLine;
        QString path = dir.filePath(QStringLiteral("gone"));
        QSerialPort holder;
        std::unique_ptr<DeviceForbidden> forbidden;
        QTimer killer;
        if (failure == "silent") {
            QString error;
            QVERIFY2(silentLine.open(error), qPrintable(error));
            path = silentLine.slavePath();
        } else if (failure == "refused on the network") {
            path = QStringLiteral("tcp://127.0.0.1:1");
        } else if (failure.startsWith("on the network")) {
            QVERIFY(emulator.start({"--goods", "5000", "--listen", "127.0.0.1:0"}));
            path = "tcp://" + emulator.path();
        } else if (failure != "missing") {
            QVERIFY(emulator.start({"--goods", "5000"}));
            path = emulator.path();
        }
        if (failure == "refused on the network") {
            typePort(QStringLiteral("127.0.0.1:1"));
        } else {
            fillPortBox(ports(), {PortInfo::typedPath(path)});
            ports()->setCurrentIndex(0);
        }
        QCOMPARE(currentPortOf(ports()).systemLocation(), path);
        if (failure == "busy") {
            holder.setPortName(path);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        } else if (failure == "forbidden") {
            forbidden = std::make_unique<DeviceForbidden>(path);
        } else if (failure.endsWith("mid-read")) {
            // Not waited for: the window would wait for it to come back.
            child<QAction>("actionPortWait0")->trigger();
            // Not retried: a silent line takes 0.3 s a try.
            child<QAction>("actionRetries0")->trigger();
            connect(&killer, &QTimer::timeout, [&] {
                if (currentEditor()->rowCount() >= 100 && killer.isActive()) {
                    killer.stop();
                    ::kill(pid_t(emulator.pid()), failure.contains("killed") ? SIGKILL : SIGSTOP);
                }
            });
            killer.start(1);
        }

        ModalSeen seen;
        answerMessageBox(&seen, QMessageBox::Ok, window);
        click("pbRead");
        forbidden.reset();
        QCOMPARE(seen.title, "Ошибка");
        QCOMPARE(seen.text, message);
        const QString expectedCause = cause.arg(path);
        QVERIFY2(seen.informativeText.startsWith(expectedCause), qPrintable(seen.informativeText));
        QCOMPARE(statusLabel(0)->text(), portLabel);
        QVERIFY2(statusLabel(0)->toolTip().startsWith(portLabel + '\n' + expectedCause),
                 qPrintable(statusLabel(0)->toolTip()));
        if (failure.endsWith("mid-read")) {
            const QRegularExpressionMatch progress =
                QRegularExpression("\\nПрочитан[оа] (\\d+) запис(ь|и|ей)\\.$")
                    .match(seen.informativeText);
            QVERIFY2(progress.hasMatch(), qPrintable(seen.informativeText));
            QCOMPARE(progress.captured(1).toInt(), currentEditor()->rowCount());
        }
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
        for (const char *action : {"actionContinueRead", "actionCompareWithRegister"})
            QVERIFY2(!child<QAction>(action)->isEnabled(), action);
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
