#include "linecomparison.h"
#include "portlist.h"
#include "qmytablewidget.h"
#include "windowtestsupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// The window on a line that spoils a byte in a hundred both ways: each
// operation ends as on a clean line, with the same file, the same tables in
// the register and the same requests executed, none twice, and no box.
class TestSpoiledLineWindow : public WindowTest
{
    Q_OBJECT

    QTemporaryDir m_files;

    void usePort(const QString &port)
    {
        fillPortBox(ports(), {PortInfo::typedPath(port)});
        ports()->setCurrentIndex(0);
    }

    // Reads the goods table and saves it to output as "Сохранить..." does.
    bool readGoods(const QString &port, const QString &output)
    {
        usePort(port);
        selectTable(1);
        {
            NoMessageBox noBox;
            click("pbRead");
            if (!noBox.seen.isEmpty()) {
                qWarning() << "the read ended in a box:" << noBox.seen;
                return false;
            }
        }
        answerFileDialog(output);
        click("pbSaveTable");
        return progressLabel()->text().startsWith(QStringLiteral("Сохранено"));
    }

    // The operation on a clean line, then on a spoiled one, in a new window each.
    void compareLines(const QStringList &registerArguments, const QString &outputName,
                      const LineComparison::Operation &operation, LineComparison::Outcome &clean)
    {
        QString problem;
        QVERIFY2(
            LineComparison::run(registerArguments, false, outputName, operation, clean, problem),
            qPrintable(problem));
        cleanup();
        openWindow();
        LineComparison::Outcome spoiled;
        QVERIFY2(
            LineComparison::run(registerArguments, true, outputName, operation, spoiled, problem),
            qPrintable(problem));
        QVERIFY(spoiled.output == clean.output);
        QVERIFY(spoiled.state == clean.state);
        QCOMPARE(spoiled.executed, clean.executed);
    }

private slots:
    void readsGoods()
    {
        const QString goods = QString::number(LineComparison::readGoodsRows);
        LineComparison::Outcome clean;
        compareLines(
            {"--goods", goods}, "goods.txt",
            [this](const QString &port, const QString &output) {
                return readGoods(port, output) &&
                       currentEditor()->rowCount() == LineComparison::readGoodsRows;
            },
            clean);
        QVERIFY(clean.output.contains(("\n" + goods + "\t7\t1\t").toUtf8()));
    }

    // After a read, a file loaded over it marks 500 cells changed; the write
    // sends them and reads them back.
    void writesAndChecksCells()
    {
        const QStringList goods{"--goods", QString::number(LineComparison::changedGoodsRows)};
        LineComparison::Outcome read;
        QString problem;
        QVERIFY2(LineComparison::run(
                     goods, false, "goods.txt",
                     [this](const QString &port, const QString &output) {
                         return readGoods(port, output);
                     },
                     read, problem),
                 qPrintable(problem));
        const QString changed = m_files.filePath("changed.txt");
        QFile file(changed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(LineComparison::changedGoods(read.output));
        file.close();

        LineComparison::Outcome clean;
        compareLines(
            goods, "none",
            [this, changed](const QString &port, const QString &) {
                NoMessageBox noBox;
                usePort(port);
                selectTable(1);
                click("pbRead");
                answerFileDialog(changed);
                click("pbLoadTable");
                if (boldCells(*currentEditor()) != 500) {
                    qWarning() << "cells to write:" << boldCells(*currentEditor()) << noBox.seen;
                    return false;
                }
                click("pbWrite");
                const QString summary = progressLabel()->text();
                if (!noBox.seen.isEmpty() || boldCells(*currentEditor()) != 0 ||
                    !summary.startsWith(QStringLiteral("Записано 500 полей")) ||
                    !summary.contains(QStringLiteral(", проверено"))) {
                    qWarning() << "the write ended with" << summary << noBox.seen;
                    return false;
                }
                return true;
            },
            clean);
        QVERIFY2(clean.executed.contains(" 500 writes"), qPrintable(clean.executed));
    }

    // Its 256-byte blocks come through whole in only 7 % of the sends on
    // such a line; the default retries suffice, as a long frame gets more.
    void readsWholeDump()
    {
        LineComparison::Outcome clean;
        compareLines(
            LineComparison::dumpSpoiledLine, "dump.bin",
            [this](const QString &port, const QString &output) {
                usePort(port);
                window->setDumpPageVisible(true);
                child<QComboBox>("cbFWtype")->setCurrentIndex(1);
                ModalSeen seen;
                answerMessageBox(&seen, QMessageBox::Yes, window);
                answerFileDialog(output);
                click("pbReadFW");
                return seen.title == QStringLiteral("Дамп считан");
            },
            clean);
        QVERIFY(clean.output.size() > 4096);
    }
};

QTEST_MAIN(TestSpoiledLineWindow)
#include "tst_spoiledlinewindow.moc"
