// The register on a pseudo-terminal, or on a TCP port with --listen: prints
// the terminal's path or the address it listens on, then answers over the
// line's framing until SIGINT or SIGTERM. Exits with 2 on wrong arguments,
// with 1 when it cannot serve.

#include "faultyline.h"
#include "fdline.h"
#include "framelink.h"
#include "hostspeedline.h"
#include "latencyline.h"
#include "pacedline.h"
#include "pseudoterminal.h"
#include "registeremulator.h"
#include "registerprotocol.h"
#include "registerresponder.h"
#include "statefile.h"
#include "stopsignals.h"
#include "tcpserverline.h"
#include "terminallink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

constexpr quint32 MaxDelayMs = 10000;
constexpr quint32 MaxLatencyMs = 10000;
constexpr quint32 MaxTcpPort = 65535;
// The rates the driver offers.
constexpr int BaudRates[] = {2400,  4800,  9600,   14400,  19200,  28800,
                             38400, 57600, 115200, 230400, 460800, 921600};

constexpr int UsageFailure = 2;
constexpr int RunFailure = 1;

struct Options
{
    int goodsCount = RegisterEmulator::DefaultGoodsCount;
    QString statePath;
    QString linkPath;
    int baud = 0; // 0: not paced
    bool listen = false;
    QHostAddress listenAddress;
    quint16 listenPort = 0;
    int latencyMs = 0;
    QString serialNumber = QLatin1String(RegisterEmulator::DefaultSerialNumber);
    FaultRates faults;
};

bool parseRate(const QCommandLineParser &parser, const QString &name, double &rate, QString &error)
{
    if (!parser.isSet(name))
        return true;
    bool isNumber = false;
    rate = parser.value(name).toDouble(&isNumber);
    if (isNumber && rate >= 0 && rate <= 1)
        return true;
    error = QStringLiteral("--%1 wants a number from 0 to 1").arg(name);
    return false;
}

bool parseCount(const QCommandLineParser &parser, const QString &name, quint32 max, quint32 &count,
                QString &error)
{
    if (!parser.isSet(name))
        return true;
    bool isNumber = false;
    count = parser.value(name).toUInt(&isNumber);
    if (isNumber && count <= max)
        return true;
    error = QStringLiteral("--%1 wants a whole number from 0 to %2").arg(name).arg(max);
    return false;
}

bool parseBaud(const QCommandLineParser &parser, int &baud, QString &error)
{
    if (!parser.isSet(QStringLiteral("baud")))
        return true;
    baud = parser.value(QStringLiteral("baud")).toInt();
    if (std::find(std::begin(BaudRates), std::end(BaudRates), baud) != std::end(BaudRates))
        return true;
    QStringList rates;
    for (int rate : BaudRates)
        rates.append(QString::number(rate));
    error = QStringLiteral("--baud wants one of %1").arg(rates.join(QStringLiteral(", ")));
    return false;
}

// [ADDR:]PORT, the address written out as digits; a port alone is the
// loopback's, so that nothing outside this machine reaches the register
// unless asked for.
bool parseListen(const QCommandLineParser &parser, Options &options, QString &error)
{
    if (!parser.isSet(QStringLiteral("listen")))
        return true;
    const QString value = parser.value(QStringLiteral("listen"));
    const int colon = value.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QString() : value.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool isNumber = false;
    const uint port = value.mid(colon + 1).toUInt(&isNumber);
    options.listenAddress =
        host.isEmpty() ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(host);
    if (!isNumber || port > MaxTcpPort || options.listenAddress.isNull() ||
        (colon >= 0 && host.isEmpty())) {
        error = QStringLiteral("--listen wants [ADDRESS:]PORT, the address in digits, "
                               "the port 0 to 65535 (0: any free one)");
        return false;
    }
    // The system's reading takes "1.2.3" for 1.2.0.3 and "010.0.0.1" for
    // 8.0.0.1: an IPv4 address is to be written out as it reads back.
    if (options.listenAddress.protocol() == QAbstractSocket::IPv4Protocol && !host.isEmpty() &&
        options.listenAddress.toString() != host) {
        error = QStringLiteral("--listen: %1 is no IPv4 address written out in full, "
                               "four numbers 0 to 255 such as 127.0.0.1")
                    .arg(host);
        return false;
    }
    options.listen = true;
    options.listenPort = quint16(port);
    return true;
}

bool parseOptions(const QCoreApplication &application, Options &options, QString &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the register on a new pseudo-terminal, or on a TCP port with "
                       "--listen, and prints its path or address. "
                       "The fault options spoil that share of the bytes in both directions."));
    parser.addHelpOption();
    const auto option = [&](const char *name, const char *description, const char *valueName) {
        parser.addOption({QString::fromLatin1(name), QString::fromLatin1(description),
                          QString::fromLatin1(valueName)});
    };
    option("goods", "Records in the goods table of a new register (default 20).", "count");
    option("state",
           "Keeps the tables in this file: loaded at start, saved after every change; "
           "its goods table size wins over --goods.",
           "file");
    option("drop", "Share of bytes dropped.", "rate");
    option("corrupt", "Share of bytes with one bit flipped.", "rate");
    option("duplicate", "Share of bytes sent twice.", "rate");
    option("delay", "Share of bytes delayed, together with the bytes after them.", "rate");
    option("delay-ms", "How long a delayed byte is late (default 0).", "ms");
    option("seed", "Seed of the fault generator (default 1).", "number");
    option("link",
           "Makes this symbolic link to the terminal, removed at exit, and holds <path>.lock "
           "meanwhile; replaces a dangling link or one left by an emulator that was killed.",
           "path");
    option("baud",
           "Paces the line at this rate, 8N1, as a real line, and hears the host only while "
           "it has the terminal at this rate (default: not paced, any rate).",
           "rate");
    option("serial", "The factory number its identification gives, 1 to 16 digits.", "digits");
    option("listen",
           "Serves the register on this TCP port instead of a pseudo-terminal, one client at a "
           "time, and prints the address; a port alone listens on 127.0.0.1 only, any other "
           "address is written out. Port 0 takes a free one.",
           "[address:]port");
    option("latency", "Delays what crosses the line by this much each way (default 0).", "ms");
    if (!parser.parse(application.arguments())) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();

    quint32 goods = quint32(options.goodsCount);
    quint32 delayMs = 0;
    quint32 latencyMs = 0;
    FaultRates &faults = options.faults;
    const bool valid =
        parseCount(parser, QStringLiteral("goods"), RegisterEmulator::MaxGoodsCount, goods,
                   error) &&
        parseRate(parser, QStringLiteral("drop"), faults.drop, error) &&
        parseRate(parser, QStringLiteral("corrupt"), faults.corrupt, error) &&
        parseRate(parser, QStringLiteral("duplicate"), faults.duplicate, error) &&
        parseRate(parser, QStringLiteral("delay"), faults.delay, error) &&
        parseCount(parser, QStringLiteral("delay-ms"), MaxDelayMs, delayMs, error) &&
        parseCount(parser, QStringLiteral("seed"), UINT32_MAX, faults.seed, error) &&
        parseCount(parser, QStringLiteral("latency"), MaxLatencyMs, latencyMs, error) &&
        parseBaud(parser, options.baud, error) && parseListen(parser, options, error);
    if (!valid)
        return false;
    if (faults.drop + faults.corrupt + faults.duplicate + faults.delay > 1) {
        error = QStringLiteral("the fault rates add up to more than 1");
        return false;
    }
    options.goodsCount = int(goods);
    faults.delayMs = int(delayMs);
    options.latencyMs = int(latencyMs);
    options.statePath = parser.value(QStringLiteral("state"));
    options.linkPath = parser.value(QStringLiteral("link"));
    if (parser.isSet(QStringLiteral("link")) && options.linkPath.isEmpty()) {
        error = QStringLiteral("--link wants a path");
        return false;
    }
    if (options.listen && parser.isSet(QStringLiteral("link"))) {
        error = QStringLiteral("--link names a pseudo-terminal, which --listen does not make");
        return false;
    }
    if (parser.isSet(QStringLiteral("serial"))) {
        options.serialNumber = parser.value(QStringLiteral("serial"));
        if (!QRegularExpression(QStringLiteral("^\\d{1,16}$"))
                 .match(options.serialNumber)
                 .hasMatch()) {
            error = QStringLiteral("--serial wants 1 to 16 digits");
            return false;
        }
    }
    return true;
}

bool hasFaults(const FaultRates &faults)
{
    return faults.drop > 0 || faults.corrupt > 0 || faults.duplicate > 0 || faults.delay > 0;
}

int fail(const QString &message, int exitCode = RunFailure)
{
    std::fprintf(stderr, "register-emulator: %s\n", qPrintable(message));
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    const StopSignals stopSignals;
    QCoreApplication application(argc, argv);
    Options options;
    QString error;
    if (!parseOptions(application, options, error))
        return fail(error, UsageFailure);
    if (stopSignals.fd() < 0)
        return fail(QStringLiteral("no descriptor for SIGINT and SIGTERM"));

    RegisterEmulator registerEmulator(options.goodsCount);
    registerEmulator.setSerialNumber(options.serialNumber);
    if (!options.statePath.isEmpty() &&
        !StateFile::load(options.statePath, registerEmulator, error))
        return fail(QStringLiteral("%1: %2").arg(options.statePath, error));
    // The line's own end: the terminal's master side or the TCP port.
    std::optional<PseudoTerminal> terminal;
    std::optional<FdLine> terminalLine;
    std::optional<TcpServerLine> tcpLine;
    TerminalLink terminalLink;
    QString address;
    if (options.listen) {
        tcpLine.emplace(stopSignals.fd());
        if (!tcpLine->listen(options.listenAddress, options.listenPort, error)) {
            // An address no interface here has is a wrong argument; a port
            // taken or forbidden is not.
            if (tcpLine->listenError() == QAbstractSocket::SocketAddressNotAvailableError)
                return fail(QStringLiteral("--listen: %1 is no address of this machine")
                                .arg(options.listenAddress.toString()),
                            UsageFailure);
            return fail(QStringLiteral("--listen: %1").arg(error));
        }
        address = tcpLine->endpoint();
    } else {
        terminal.emplace();
        if (!terminal->open(error))
            return fail(QStringLiteral("no pseudo-terminal: %1").arg(error));
        if (!options.linkPath.isEmpty() &&
            !terminalLink.create(options.linkPath, terminal->slavePath(), error))
            return fail(QStringLiteral("--link %1: %2").arg(options.linkPath, error), UsageFailure);
        address = terminal->slavePath();
        terminalLine.emplace(terminal->masterFd(), stopSignals.fd());
    }
    // Each option puts its line over the one before.
    ByteLine *line = tcpLine ? static_cast<ByteLine *>(&*tcpLine) : &*terminalLine;
    std::optional<HostSpeedLine> heardLine;
    if (terminal && options.baud > 0)
        line = &heardLine.emplace(*line, terminal->masterFd(), options.baud);
    std::optional<LatencyLine> latencyLine;
    if (options.latencyMs > 0)
        line = &latencyLine.emplace(*line, options.latencyMs);
    std::optional<PacedLine> pacedLine;
    if (options.baud > 0)
        line = &pacedLine.emplace(*line, options.baud);
    FaultyLine faultyLine(*line, options.faults);
    if (hasFaults(options.faults))
        line = &faultyLine;
    FrameLink link(*line);
    // The host's ACK of an answer comes a round trip later.
    link.setRoundTripMs(2 * options.latencyMs);
    RegisterResponder responder(link, [&](const QByteArray &request) {
        const int revision = registerEmulator.revision();
        const QByteArray answer = registerEmulator.handle(request);
        if (!options.statePath.isEmpty() && registerEmulator.revision() != revision &&
            !StateFile::save(options.statePath, registerEmulator, error))
            std::fprintf(stderr, "register-emulator: %s not saved: %s\n",
                         qPrintable(options.statePath), qPrintable(error));
        return answer;
    });

    std::printf("%s\n", qPrintable(address));
    std::fflush(stdout);
    while (!stopSignals.received())
        responder.serveNext();

    using namespace RegisterProtocol;
    std::fprintf(stderr,
                 "register-emulator: %d requests executed, %d repeated; "
                 "executed %d identifications, %d mode entries, %d reads, %d writes, "
                 "%d dump starts, %d dump blocks; %s; %lld bytes sent, %lld received\n",
                 responder.executedRequests(), responder.repeatedRequests(),
                 responder.executedCommands(Identify), responder.executedCommands(EnterMode),
                 responder.executedCommands(ReadField), responder.executedCommands(WriteField),
                 responder.executedCommands(StartDump), responder.executedCommands(NextDumpBlock),
                 qPrintable(faultyLine.summary()),
                 tcpLine ? tcpLine->bytesWritten() : terminalLine->bytesWritten(),
                 tcpLine ? tcpLine->bytesRead() : terminalLine->bytesRead());
    return 0;
}
