// Retries of exchanges that got no answer, on the emulator program's line (not paced): a read of
// 2,000 goods records on a clean line and on one that spoils 1 % of the bytes both ways (half
// dropped, half with a bit flipped), side by side, with the retries each took and whether the
// records equal; then what one retry costs: a record read from a register that does not answer,
// once with no retry and once with two, the difference halved. Run through scripts/bench.sh.

#include "driverregistration.h"
#include "emulatedgoods.h"
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

// A read of the goods at most Retries times retried per exchange.
GoodsRead readGoodsRetried(const QString &terminal)
{
    protocolPelto protocol;
    protocol.setRetries(Retries);
    return readGoods(protocol, PortInfo(QStringLiteral("pts"), QString(), terminal), GoodsRecords);
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
    const auto clean = startEmulator(GoodsRecords, {}, cleanTerminal);
    const auto faulty = startEmulator(GoodsRecords,
                                      {QStringLiteral("--drop"), QStringLiteral("0.005"),
                                       QStringLiteral("--corrupt"), QStringLiteral("0.005")},
                                      faultyTerminal);
    if (!clean || !faulty) {
        std::fprintf(stderr, "The emulator program gave no terminal.\n");
        return 1;
    }
    const GoodsRead cleanRead = readGoodsRetried(cleanTerminal);
    const GoodsRead faultyRead = readGoodsRetried(faultyTerminal);
    std::printf("%d goods records, %d retries at most per exchange:\n", GoodsRecords, Retries);
    std::printf("  clean line          %8.3f s, %d retries, %s\n", cleanRead.seconds,
                cleanRead.counts.retries, cleanRead.complete ? "complete" : "NOT COMPLETE");
    std::printf("  1 %% damaged bytes   %8.3f s, %d retries, %s, records %s\n", faultyRead.seconds,
                faultyRead.counts.retries, faultyRead.complete ? "complete" : "NOT COMPLETE",
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
