// A register on the network against one on a serial line: a read of 2,000 goods records from
// the emulator program on a pseudo-terminal paced at 921600 baud, on a TCP port of the loopback,
// and on one whose every direction is 40 ms late (an 80 ms round trip), with the time per
// exchange beside that round trip and the failed exchanges. Run through scripts/bench.sh.

#include "baudrate.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "loghandler.h"
#include "protocolpelto.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <memory>

namespace {

constexpr int GoodsRecords = 2000;
constexpr int GoodsTable = 1;
constexpr int SerialBaud = 921600;
constexpr int LatencyMs = 40;
constexpr int StartTimeoutMs = 10000;

// The emulator program with the goods table and the options given; where it serves.
std::unique_ptr<QProcess> startRegister(const QStringList &options, QString &where)
{
    auto emulator = std::make_unique<QProcess>();
    emulator->start(QStringLiteral(REGISTER_EMULATOR),
                    QStringList{QStringLiteral("--goods"), QString::number(GoodsRecords)} +
                        options);
    while (!emulator->canReadLine()) {
        if (!emulator->waitForReadyRead(StartTimeoutMs))
            return nullptr;
    }
    where = QString::fromLocal8Bit(emulator->readLine()).trimmed();
    return emulator;
}

struct Read
{
    bool complete = false;
    double seconds = 0;
    ExchangeCounts counts;
    QList<QByteArray> records;
};

Read readGoods(const QString &location)
{
    Read read;
    protocolPelto protocol;
    protocol.setBaudRateCode(BaudRate::codeOfRate(SerialBaud));
    QElapsedTimer timer;
    timer.start();
    if (protocol.openPort(PortInfo::typedPath(location)) != ERR_OK)
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
    read.counts = protocol.exchangeCounts();
    protocol.closePort();
    read.seconds = timer.nsecsElapsed() / 1e9;
    read.complete = read.records.size() == GoodsRecords;
    return read;
}

void print(const char *line, const Read &read, const Read &reference)
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
    const auto serial = startRegister({"--baud", QString::number(SerialBaud)}, terminal);
    const auto loopback = startRegister({"--listen", "127.0.0.1:0"}, near);
    const auto late =
        startRegister({"--listen", "127.0.0.1:0", "--latency", QString::number(LatencyMs)}, far);
    if (!serial || !loopback || !late) {
        std::fprintf(stderr, "The emulator program did not start.\n");
        return 1;
    }
    const Read serialRead = readGoods(terminal);
    const Read nearRead = readGoods(QStringLiteral("tcp://") + near);
    const Read farRead = readGoods(QStringLiteral("tcp://") + far);
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
