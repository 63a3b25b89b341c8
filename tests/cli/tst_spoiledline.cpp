#include "linecomparison.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ProgramTimeoutMs = 110000;
constexpr int ChangedRows = 100;

// Fields 1, 2, 3, 4 and 7 of the first ChangedRows goods of a goods table
// file, each with another value: 500 cells.
QByteArray changedGoods(const QByteArray &file)
{
    QStringList lines = QString::fromUtf8(file).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        QStringList parts = line.split(QLatin1Char('\t'));
        const int row = parts.value(0).toInt();
        const int field = parts.value(1).toInt();
        if (parts.size() != 4 || row > ChangedRows || field == 5 || field == 6)
            continue;
        parts[3] = field == 1   ? QStringLiteral("ТОВАР %1").arg(row)
                   : field == 2 ? QStringLiteral("2000000%1").arg(row, 6, 10, QLatin1Char('0'))
                   : field == 3 ? QStringLiteral("%1.50").arg(row)
                                : QString::number(1 - parts.at(3).toInt() % 2);
        line = parts.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')).toUtf8();
}

} // namespace

// The command-line program on a line that spoils a byte in a hundred both
// ways: each command ends as on a clean line, with the same file, the same
// tables in the register and the same requests executed, none twice.
class TestSpoiledLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QProcessEnvironment m_environment;

    // The program with the command's words, "{port}" and "{output}" replaced.
    LineComparison::Operation command(const QString &words) const
    {
        return [this, words](const QString &port, const QString &output) {
            QStringList arguments = words.split(QLatin1Char(' '));
            arguments.replaceInStrings(QStringLiteral("{port}"), port);
            arguments.replaceInStrings(QStringLiteral("{output}"), output);
            QProcess process;
            process.setProcessEnvironment(m_environment);
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process.start(QStringLiteral(MORVELL_CLI), arguments);
            if (!process.waitForFinished(ProgramTimeoutMs))
                process.kill();
            process.waitForFinished();
            return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        };
    }

    // The command on a clean line, then on a spoiled one.
    void compareLines(const QStringList &registerArguments, const QString &words,
                      LineComparison::Outcome &clean)
    {
        QString problem;
        QVERIFY2(LineComparison::run(registerArguments, false, command(words), clean, problem),
                 qPrintable(problem));
        LineComparison::Outcome spoiled;
        QVERIFY2(LineComparison::run(registerArguments, true, command(words), spoiled, problem),
                 qPrintable(problem));
        QVERIFY(spoiled.output == clean.output);
        QVERIFY(spoiled.state == clean.state);
        QCOMPARE(spoiled.executed, clean.executed);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data"));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config"));
    }

    void readsGoods()
    {
        LineComparison::Outcome clean;
        compareLines({"--goods", "2000"}, "read 1 -o {output} --port {port}", clean);
        QCOMPARE(clean.output.count("\n1\t1\t64\t"), 1);
        QVERIFY(clean.output.contains("\n2000\t7\t1\t"));
    }

    // The program checks the write by reading the fields back; the register's
    // tables and its counts show that each went in, once.
    void writesAndChecksCells()
    {
        const QString changed = m_home.filePath("changed.txt");
        LineComparison::Outcome read;
        QString problem;
        QVERIFY2(LineComparison::run({"--goods", QString::number(ChangedRows)}, false,
                                     command("read 1 -o {output} --port {port}"), read, problem),
                 qPrintable(problem));
        QFile file(changed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(changedGoods(read.output));
        file.close();

        LineComparison::Outcome clean;
        compareLines({"--goods", QString::number(ChangedRows)},
                     "write 1 " + changed + " --port {port}", clean);
        QVERIFY2(clean.executed.contains(" 500 writes"), qPrintable(clean.executed));
    }

    // Its 256-byte blocks come through whole in only 7 % of the sends on
    // such a line, so the dump is given the most retries.
    void readsWholeDump()
    {
        LineComparison::Outcome clean;
        compareLines({}, "dump 2 -o {output} --retries 10 --port {port}", clean);
        QVERIFY(clean.output.size() > 4096);
    }
};

QTEST_GUILESS_MAIN(TestSpoiledLine)
#include "tst_spoiledline.moc"
