// The whole path on a line paced at 115200 baud: the emulator program with a
// 2,000-record goods table, opened through the protocol and the driver
// component, every record read as the read button does. Prints the elapsed
// time, the wire time of the bytes the line carried (10 bits each, as the
// emulator counted them) and their ratio. Target: a ratio of at most 1.05.
// Run through scripts/bench.sh.

#include "driverregistration.h"
#include "loghandler.h"
#include "protocolpelto.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int Baud = 115200;
constexpr int BitsPerByte = 10;
constexpr int GoodsRecords = 2000;
constexpr int GoodsTable = 1;
constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 10000;

int failure(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    LogHandlerScope logHandler;
    registerDriverComponent();

    QProcess emulator;
    emulator.start(QStringLiteral(REGISTER_EMULATOR),
                   {QStringLiteral("--baud"), QString::number(Baud), QStringLiteral("--goods"),
                    QString::number(GoodsRecords)});
    while (!emulator.canReadLine()) {
        if (!emulator.waitForReadyRead(StartTimeoutMs))
            return failure("The emulator program gave no terminal.");
    }
    const QString terminal = QString::fromLocal8Bit(emulator.readLine()).trimmed();

    QElapsedTimer timer;
    timer.start();
    protocolPelto protocol;
    if (protocol.openPort(PortInfo(QStringLiteral("pts"), QString(), terminal)) != 0)
        return failure("The emulator's terminal did not open.");
    FieldList record;
    for (int row = 1; row <= GoodsRecords; ++row) {
        if (protocol.readRow(GoodsTable, row, &record) != 0) {
            std::fprintf(stderr, "Record %d could not be read.\n", row);
            return 1;
        }
    }
    protocol.closePort();
    const double seconds = timer.nsecsElapsed() / 1e9;

    emulator.terminate();
    if (!emulator.waitForFinished(StopTimeoutMs))
        return failure("The emulator program did not stop.");
    const QString summary = QString::fromLocal8Bit(emulator.readAllStandardError());
    const QRegularExpressionMatch counts =
        QRegularExpression(QStringLiteral("(\\d+) bytes sent, (\\d+) received")).match(summary);
    if (!counts.hasMatch())
        return failure("The emulator program reported no byte counts.");
    const qint64 bytes = counts.captured(1).toLongLong() + counts.captured(2).toLongLong();
    const double wireSeconds = double(bytes) * BitsPerByte / Baud;
    std::printf("%d goods records at %d baud: %lld bytes on the line\n", GoodsRecords, Baud, bytes);
    std::printf("  elapsed   %7.3f s\n", seconds);
    std::printf("  wire time %7.3f s\n", wireSeconds);
    std::printf("  ratio     %7.3f (target: at most 1.05)\n", seconds / wireSeconds);
    return 0;
}
