#include "linecomparison.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ProgramTimeoutMs = 110000;

} // namespace

// The command-line program on a line that spoils a byte in a hundred both
// ways: each command ends as on a clean line, with the same file, the same
// tables in the register and the same requests executed, none twice.
class TestSpoiledLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    // What the last command wrote to standard error.
    mutable QString m_summary;

    // The program with the command's words, "{port}" and "{output}" replaced;
    // a register on the network is reached at the address it listens on.
    LineComparison::Operation command(const QString &words, bool network = false) const
    {
        return [this, words, network](const QString &port, const QString &output) {
            QStringList arguments = words.split(QLatin1Char(' '));
            arguments.replaceInStrings(QStringLiteral("{port}"),
                                       network ? QStringLiteral("tcp://") + port : port);
            arguments.replaceInStrings(QStringLiteral("{output}"), output);
            QProcess process;
            process.setProcessEnvironment(m_environment);
            process.start(QStringLiteral(MORVELL_CLI), arguments);
            if (!process.waitForFinished(ProgramTimeoutMs))
                process.kill();
            process.waitForFinished();
            m_summary = QString::fromUtf8(process.readAllStandardError());
            qInfo().noquote() << m_summary.trimmed();
            return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        };
    }

    // The command on a clean line, then on a spoiled one; on the network the
    // emulator program's faults spoil its side of the connection.
    void compareLines(QStringList registerArguments, const QString &outputName,
                      const QString &words, LineComparison::Outcome &clean, bool network = false)
    {
        if (network)
            registerArguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0");
        QString problem;
        QVERIFY2(LineComparison::run(registerArguments, false, outputName, command(words, network),
                                     clean, problem),
                 qPrintable(problem));
        LineComparison::Outcome spoiled;
        QVERIFY2(LineComparison::run(registerArguments, true, outputName, command(words, network),
                                     spoiled, problem),
                 qPrintable(problem));
        QVERIFY(spoiled.output == clean.output);
        QVERIFY(spoiled.state == clean.state);
        QCOMPARE(spoiled.executed, clean.executed);
    }

    // A row for the serial line, a pseudo-terminal, and one for a TCP
    // connection; each a test entry of its own.
    static void lines()
    {
        QTest::addColumn<bool>("network");
        QTest::newRow("serial") << false;
        QTest::newRow("network") << true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config"));
    }

    void readsGoods_data() { lines(); }

    // The trace of the spoiled line's read has a line per exchange it
    // counts, and the retries its summary counts.
    void readsGoods()
    {
        QFETCH(bool, network);
        const QString trace = m_home.filePath("trace.txt");
        LineComparison::Outcome clean;
        const QString goods = QString::number(LineComparison::readGoodsRows);
        compareLines({"--goods", goods}, "goods.txt",
                     "read 1 -o {output} --trace " + trace + " --port {port}", clean, network);
        const QRegularExpressionMatch counts =
            QRegularExpression("^\\S+: Прочитано " + goods +
                               " записей за .+, ([\\d\u00a0]+) обмен\\S*, "
                               "(\\d+) повтор\\S*, \\d+ сбо\\S+\n$")
                .match(m_summary);
        QVERIFY2(counts.hasMatch(), qPrintable(m_summary));
        QFile traced(trace);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(traced.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size() - 1, counts.captured(1).remove(QChar(0xa0)).toInt());
        int retries = 0;
        for (const QString &line : lines.mid(1))
            retries += line.section('\t', 9, 9).toInt();
        QCOMPARE(retries, counts.captured(2).toInt());
    }

    void writesAndChecksCells_data() { lines(); }

    // The program checks the write by reading the fields back; the register's
    // tables and its counts show that each went in, once.
    void writesAndChecksCells()
    {
        QFETCH(bool, network);
        const QString changed = m_home.filePath("changed.txt");
        LineComparison::Outcome read;
        QString problem;
        QVERIFY2(LineComparison::run({"--goods", QString::number(LineComparison::changedGoodsRows)},
                                     false, "goods.txt",
                                     command("read 1 -o {output} --port {port}"), read, problem),
                 qPrintable(problem));
        QFile file(changed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(LineComparison::changedGoods(read.output));
        file.close();

        LineComparison::Outcome clean;
        compareLines({"--goods", QString::number(LineComparison::changedGoodsRows)}, "none",
                     "write 1 " + changed + " --port {port}", clean, network);
        QVERIFY2(clean.executed.contains(" 500 writes"), qPrintable(clean.executed));
    }

    // Its 256-byte blocks come through whole in only 7 % of the sends on
    // such a line; the default retries suffice, as a long frame gets more.
    void readsWholeDump()
    {
        LineComparison::Outcome clean;
        compareLines(LineComparison::dumpSpoiledLine, "dump.bin",
                     "dump 2 -o {output} --port {port}", clean);
        QVERIFY(clean.output.size() > 4096);
    }
};

QTEST_GUILESS_MAIN(TestSpoiledLine)
#include "tst_spoiledline.moc"
