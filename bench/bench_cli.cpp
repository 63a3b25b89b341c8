// morvell-cli as a process, with no display in its environment. Best of five runs of `check` on the
// built-in register, timed from the start to the first exchange line of its -v log and to its
// exit; best of three runs of `read 1` to a file, of the built-in register's 20 goods records and
// of 65,535 records, which the program's built-in register holds when MORVELL_BUILTIN_GOODS says
// so. Each file the program wrote, tab-separated and CSV, is then compared byte for byte
// with the goods editor's "Сохранить как..." file of the same records read in this process from
// the built-in register. Targets: the first exchange in under 100 ms, the read of 65,535 records in
// under 5 s. Then four registers on emulator programs paced at 115200 baud, read in turn and
// with four jobs. Prints the largest peak memory of the program's runs up to the reads of 65,535
// records (target: under 60 MB). BENCH_CLI_PROGRAM names another build of the program to measure
// beside this one. Exits with 1 when a run fails or a file differs. Run through scripts/bench.sh.

#include "benchlog.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "protocolpelto.h"
#include "qmytable1widget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int defaultGoods = 20;
constexpr int fullGoods = 65535;
constexpr int checkRuns = 5;
constexpr int readRuns = 3;
constexpr int runLimitMs = 120000;

const QString builtInName = QStringLiteral("EMU1");
const QByteArray exchangeLine = QByteArrayLiteral("DriverComponent::exchange");

// The program measured: this build's, or the one BENCH_CLI_PROGRAM names.
QString cliProgram()
{
    const QString other = qEnvironmentVariable("BENCH_CLI_PROGRAM");
    return other.isEmpty() ? QStringLiteral(MORVELL_CLI) : other;
}

// The largest peak resident memory of the programs run and ended so far.
double childrenPeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct Run
{
    bool succeeded = false;
    double firstExchangeMs = -1;
    double wholeMs = 0;
    QByteArray standardError;
};

// The program must pick its platform itself, as on a machine with no display.
QProcessEnvironment headlessEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    return environment;
}

// The standard error is read as it comes, so that the first exchange line is
// timed when it arrives rather than at the exit.
Run runCli(const QStringList &arguments, int builtInGoods = defaultGoods)
{
    Run run;
    QProcess process;
    QProcessEnvironment environment = headlessEnvironment();
    environment.insert(QStringLiteral("MORVELL_BUILTIN_GOODS"), QString::number(builtInGoods));
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QElapsedTimer timer;
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] {
        run.standardError += process.readAllStandardError();
        if (run.firstExchangeMs < 0 && run.standardError.contains(exchangeLine))
            run.firstExchangeMs = timer.nsecsElapsed() / 1e6;
    });
    QObject::connect(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer::singleShot(runLimitMs, &process, &QProcess::kill);
    timer.start();
    process.start(cliProgram(), arguments);
    loop.exec();
    run.wholeMs = timer.nsecsElapsed() / 1e6;
    run.standardError += process.readAllStandardError();
    run.succeeded = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                    process.error() == QProcess::UnknownError;
    if (!run.succeeded)
        std::fprintf(stderr, "morvell-cli %s failed (exit code %d):\n%s\n",
                     qPrintable(arguments.join(QLatin1Char(' '))), process.exitCode(),
                     run.standardError.right(2000).constData());
    return run;
}

// A read of each of four registers, each on an emulator program of its own
// paced at 115200 baud, in turn and with four jobs: the milliseconds of each,
// or negative when a run failed.
QPair<double, double> fourRegisters(const QTemporaryDir &directory)
{
    constexpr int registers = 4;
    std::vector<std::unique_ptr<QProcess>> emulators;
    QStringList arguments{QStringLiteral("read"), QStringLiteral("1"), QStringLiteral("-o"),
                          directory.filePath(QStringLiteral("four-{port}.txt"))};
    for (int index = 0; index < registers; ++index) {
        auto &emulator = emulators.emplace_back(std::make_unique<QProcess>());
        emulator->start(QStringLiteral(REGISTER_EMULATOR),
                        {QStringLiteral("--goods"), QStringLiteral("300"), QStringLiteral("--baud"),
                         QStringLiteral("115200")});
        if (!emulator->waitForReadyRead(10000) || !emulator->canReadLine())
            return {-1, -1};
        arguments << QStringLiteral("--port")
                  << QString::fromLocal8Bit(emulator->readLine()).trimmed();
    }
    const Run inTurn = runCli(arguments);
    const Run atOnce =
        runCli(arguments + QStringList{QStringLiteral("--jobs"), QString::number(registers)});
    for (auto &emulator : emulators) {
        emulator->terminate();
        emulator->waitForFinished(10000);
    }
    if (!inTurn.succeeded || !atOnce.succeeded)
        return {-1, -1};
    return {inTurn.wholeMs, atOnce.wholeMs};
}

// Best whole time of runs of a read to path; negative when one failed.
double bestRead(const QString &path, int goods)
{
    double best = 1e12;
    for (int attempt = 0; attempt < readRuns; ++attempt) {
        QFile::remove(path);
        const Run run = runCli({QStringLiteral("read"), QStringLiteral("1"),
                                QStringLiteral("--port"), builtInName, QStringLiteral("-o"), path},
                               goods);
        if (!run.succeeded)
            return -1;
        best = qMin(best, run.wholeMs);
    }
    return best;
}

// The goods editor's files as the window saves them after a read of the
// built-in register holding goods records; returns the read's milliseconds,
// negative on a failure.
double windowFiles(int goods, const QString &textPath, const QString &csvPath)
{
    setBuiltInGoods(goods);
    protocolPelto protocol;
    QMyTable1Widget editor;
    QElapsedTimer timer;
    timer.start();
    int result =
        protocol.openPort(PortInfo(builtInName, QString(), QLatin1String(builtInRegisterLocation)));
    if (result == ERR_OK)
        result = editor.readTable(protocol);
    protocol.closePort();
    const double readMs = timer.nsecsElapsed() / 1e6;
    if (result == ERR_OK)
        result = editor.saveToFile(textPath);
    if (result == ERR_OK)
        result = editor.saveToFile(csvPath);
    if (result != ERR_OK || editor.rowCount() != goods) {
        std::fprintf(stderr, "The editor's files of %d records: result %d, %d rows\n", goods,
                     result, editor.rowCount());
        return -1;
    }
    return readMs;
}

bool sameBytes(const char *what, const QString &program, const QString &window)
{
    QFile programFile(program);
    QFile windowFile(window);
    const bool opened =
        programFile.open(QIODevice::ReadOnly) && windowFile.open(QIODevice::ReadOnly);
    const QByteArray programBytes = programFile.readAll();
    const QByteArray windowBytes = windowFile.readAll();
    const bool same = opened && !programBytes.isEmpty() && programBytes == windowBytes;
    std::printf("%-36s %9lld bytes, window %9lld bytes  identical: %s\n", what,
                qint64(programBytes.size()), qint64(windowBytes.size()), same ? "yes" : "no");
    if (!same) {
        int at = 0;
        while (at < programBytes.size() && at < windowBytes.size() &&
               programBytes.at(at) == windowBytes.at(at))
            ++at;
        std::printf("  first difference at byte %d\n", at);
    }
    return same;
}

int failure(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    std::printf("program: %s\n", qPrintable(cliProgram()));
    const auto log = BenchLog::open();
    if (!log)
        return 2;
    registerDriverComponent();
    QTemporaryDir directory;
    const auto file = [&](const char *name) { return directory.filePath(QLatin1String(name)); };

    double firstExchange = 1e12;
    double whole = 1e12;
    for (int attempt = 0; attempt < checkRuns; ++attempt) {
        const Run run = runCli(
            {QStringLiteral("check"), QStringLiteral("--port"), builtInName, QStringLiteral("-v")});
        if (!run.succeeded || run.firstExchangeMs < 0)
            return failure("check gave no exchange line.");
        firstExchange = qMin(firstExchange, run.firstExchangeMs);
        whole = qMin(whole, run.wholeMs);
    }
    std::printf("check --port EMU1, best of %d: first exchange %.1f ms after the start (target: "
                "under 100), whole run %.1f ms\n",
                checkRuns, firstExchange, whole);

    const double smallText = bestRead(file("program-20.txt"), defaultGoods);
    const double smallCsv = bestRead(file("program-20.csv"), defaultGoods);
    if (smallText < 0 || smallCsv < 0)
        return failure("read 1 of the built-in register failed.");
    std::printf("read 1 --port EMU1 (%d records), best of %d: %.1f ms to .txt, %.1f ms to .csv\n",
                defaultGoods, readRuns, smallText, smallCsv);

    const double fullText = bestRead(file("program-full.txt"), fullGoods);
    const double fullCsv = fullText < 0 ? -1 : bestRead(file("program-full.csv"), fullGoods);
    if (fullText < 0 || fullCsv < 0)
        return failure("read 1 of 65,535 records failed.");
    std::printf("read 1 --port EMU1 of 65,535 records, best of %d: %.3f s to .txt (target: under "
                "5), %.3f s to .csv; peak memory %.1f MB (target: under 60)\n",
                readRuns, fullText / 1e3, fullCsv / 1e3, childrenPeakMegabytes());

    if (windowFiles(defaultGoods, file("window-20.txt"), file("window-20.csv")) < 0)
        return 1;
    const double windowRead =
        windowFiles(fullGoods, file("window-full.txt"), file("window-full.csv"));
    if (windowRead < 0)
        return 1;
    std::printf("the window's read of 65,535 records from the built-in register, in this process: "
                "%.3f s\n",
                windowRead / 1e3);

    const auto [inTurn, atOnce] = fourRegisters(directory);
    if (inTurn < 0)
        return failure("read 1 of four emulator programs failed.");
    std::printf("read 1 of four registers of 300 records, each on an emulator program at 115200 "
                "baud: %.2f s in turn, %.2f s with --jobs 4, %.2f times as fast\n",
                inTurn / 1e3, atOnce / 1e3, inTurn / atOnce);

    bool identical =
        sameBytes("tab-separated, 20 records:", file("program-20.txt"), file("window-20.txt"));
    identical &= sameBytes("CSV, 20 records:", file("program-20.csv"), file("window-20.csv"));
    identical &= sameBytes("tab-separated, 65,535 records:", file("program-full.txt"),
                           file("window-full.txt"));
    identical &=
        sameBytes("CSV, 65,535 records:", file("program-full.csv"), file("window-full.csv"));
    std::printf("identical: %s\n", identical ? "yes" : "no");
    return identical ? 0 : 1;
}
