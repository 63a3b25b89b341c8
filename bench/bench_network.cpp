// A register on the network against one on a serial line: a read of 2,000 goods records from
// the emulator program on a pseudo-terminal paced at 921600 baud, on a TCP port of the loopback,
// and on one whose every direction is 40 ms late (an 80 ms round trip), with the time per
// exchange beside that round trip and the failed exchanges. Run through scripts/bench.sh.

#include "baudrate.h"
#include "driverregistration.h"
#include "emulatedgoods.h"
#include "loghandler.h"
#include "protocolpelto.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <memory>

namespace {

constexpr int GoodsRecords = 2000;
constexpr int SerialBaud = 921600;
constexpr int LatencyMs = 40;
constexpr int StartTimeoutMs = 10000;

// A read of the goods, at the pseudo-terminal's rate where the line has one.
GoodsRead readGoodsAt(const QString &location)
{
    protocolPelto protocol;
    protocol.setBaudRateCode(BaudRate::codeOfRate(SerialBaud));
    return readGoods(protocol, PortInfo::typedPath(location), GoodsRecords);
}

void print(const char *line, const GoodsRead &read, const GoodsRead &reference)
{
    std::printf("  %-28s %8.3f s, %d exchanges, %.2f ms each, %d failed tries, %s, records %s\n",
                line, read.seconds, read.counts.exchanges,
                read.counts.exchanges ? read.seconds * 1000 / read.counts.exchanges : 0.0,
                read.counts.failures, read.complete ? "complete" : "NOT COMPLETE",
                read.records == reference.records ? "equal" : "DIFFERENT");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    LogHandlerScope logHandler;
    registerDriverComponent();

    QString terminal;
    QString near;
    QString far;
    const auto serial =
        startEmulator(GoodsRecords, {"--baud", QString::number(SerialBaud)}, terminal);
    const auto loopback = startEmulator(GoodsRecords, {"--listen", "127.0.0.1:0"}, near);
    const auto late = startEmulator(
        GoodsRecords, {"--listen", "127.0.0.1:0", "--latency", QString::number(LatencyMs)}, far);
    if (!serial || !loopback || !late) {
        std::fprintf(stderr, "The emulator program did not start.\n");
        return 1;
    }
    const GoodsRead serialRead = readGoodsAt(terminal);
    const GoodsRead nearRead = readGoodsAt(QStringLiteral("tcp://") + near);
    const GoodsRead farRead = readGoodsAt(QStringLiteral("tcp://") + far);
    std::printf("%d goods records:\n", GoodsRecords);
    print("pseudo-terminal, 921600 baud", serialRead, serialRead);
    print("TCP, loopback", nearRead, serialRead);
    print("TCP, 80 ms round trip", farRead, serialRead);
    std::printf("  TCP on the loopback takes %.2f times the pseudo-terminal's time; with the round "
                "trip, %.2f times exchanges x 80 ms\n",
                nearRead.seconds / serialRead.seconds,
                farRead.seconds / (farRead.counts.exchanges * 2 * LatencyMs / 1000.0));
    for (QProcess *emulator : {serial.get(), loopback.get(), late.get()}) {
        emulator->terminate();
        emulator->waitForFinished(StartTimeoutMs);
    }
    const bool exact = serialRead.complete && nearRead.records == serialRead.records &&
                       farRead.records == serialRead.records && farRead.counts.failures == 0;
    return exact ? 0 : 1;
}
