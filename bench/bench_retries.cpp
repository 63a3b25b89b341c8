// Retries of exchanges that got no answer, on the emulator program's line (not paced): a read of
// 2,000 goods records on a clean line and on one that spoils 1 % of the bytes both ways (half
// dropped, half with a bit flipped), side by side, with the retries each took and whether the
// records equal; then what one retry costs: a record read from a register that does not answer,
// once with no retry and once with two, the difference halved. Run through scripts/bench.sh.

#include "driverregistration.h"
#include "errorcode.h"
#include "loghandler.h"
#include "protocolpelto.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

constexpr int GoodsRecords = 2000;
constexpr int GoodsTable = 1;
constexpr int Retries = 2;
constexpr int StartTimeoutMs = 10000;

// The emulator program with the goods table, started with the fault options given.
std::unique_ptr<QProcess> startRegister(const QStringList &faults, QString &terminal)
{
    auto emulator = std::make_unique<QProcess>();
    emulator->start(QStringLiteral(REGISTER_EMULATOR),
                    QStringList{QStringLiteral("--goods"), QString::number(GoodsRecords)} + faults);
    while (!emulator->canReadLine()) {
        if (!emulator->waitForReadyRead(StartTimeoutMs))
            return nullptr;
    }
    terminal = QString::fromLocal8Bit(emulator->readLine()).trimmed();
    return emulator;
}

struct Read
{
    bool complete = false;
    double seconds = 0;
    int retries = 0;
    QList<QByteArray> records;
};

Read readGoods(const QString &terminal)
{
    Read read;
    protocolPelto protocol;
    protocol.setRetries(Retries);
    QElapsedTimer timer;
    timer.start();
    if (protocol.openPort(PortInfo(QStringLiteral("pts"), QString(), terminal)) != ERR_OK)
        return read;
    FieldList record;
    for (int row = 1; row <= GoodsRecords; ++row) {
        if (protocol.readRow(GoodsTable, row, &record) != ERR_OK)
            break;
        QByteArray bytes;
        for (const auto &field : qAsConst(record))
            bytes += field->rawData();
        read.records << bytes;
    }
    read.retries = protocol.retriesDone();
    protocol.closePort();
    read.seconds = timer.nsecsElapsed() / 1e9;
    read.complete = read.records.size() == GoodsRecords;
    return read;
}

// Milliseconds of a record read from a register that does not answer.
double unansweredReadMs(const QString &terminal, qint64 pid, int retries)
{
    protocolPelto protocol;
    protocol.setRetries(retries);
    if (protocol.openPort(PortInfo(QStringLiteral("pts"), QString(), terminal)) != ERR_OK)
        return -1;
    ::kill(pid_t(pid), SIGSTOP);
    QElapsedTimer timer;
    timer.start();
    FieldList record;
    const int result = protocol.readRow(GoodsTable, 1, &record);
    const double ms = timer.nsecsElapsed() / 1e6;
    ::kill(pid_t(pid), SIGCONT);
    protocol.closePort();
    return result == ERR_OK ? -1 : ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    LogHandlerScope logHandler;
    registerDriverComponent();

    QString cleanTerminal;
    QString faultyTerminal;
    const auto clean = startRegister({}, cleanTerminal);
    const auto faulty = startRegister({QStringLiteral("--drop"), QStringLiteral("0.005"),
                                       QStringLiteral("--corrupt"), QStringLiteral("0.005")},
                                      faultyTerminal);
    if (!clean || !faulty) {
        std::fprintf(stderr, "The emulator program gave no terminal.\n");
        return 1;
    }
    const Read cleanRead = readGoods(cleanTerminal);
    const Read faultyRead = readGoods(faultyTerminal);
    std::printf("%d goods records, %d retries at most per exchange:\n", GoodsRecords, Retries);
    std::printf("  clean line          %8.3f s, %d retries, %s\n", cleanRead.seconds,
                cleanRead.retries, cleanRead.complete ? "complete" : "NOT COMPLETE");
    std::printf("  1 %% damaged bytes   %8.3f s, %d retries, %s, records %s\n", faultyRead.seconds,
                faultyRead.retries, faultyRead.complete ? "complete" : "NOT COMPLETE",
                faultyRead.records == cleanRead.records ? "equal" : "DIFFERENT");

    const double once = unansweredReadMs(cleanTerminal, clean->processId(), 0);
    const double thrice = unansweredReadMs(cleanTerminal, clean->processId(), Retries);
    std::printf("a record read with no answer: %.0f ms with no retry, %.0f ms with %d; "
                "a retry costs %.0f ms\n",
                once, thrice, Retries, (thrice - once) / Retries);
    for (QProcess *emulator : {clean.get(), faulty.get()}) {
        emulator->terminate();
        emulator->waitForFinished(StartTimeoutMs);
    }
    return cleanRead.complete && faultyRead.complete && faultyRead.records == cleanRead.records ? 0
                                                                                                : 1;
}
