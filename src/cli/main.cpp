// morvell-cli: the program's tables, files and checks from the command line,
// on one port or many, with no display.

#include "clioptions.h"
#include "cliprogress.h"
#include "driverregistration.h"
#include "exchangetrace.h"
#include "interruption.h"
#include "operationprogress.h"
#include "parallelports.h"
#include "portjob.h"
#include "progresstext.h"
#include "registerfinder.h"
#include "startup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

QTextStream &standardError()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream &standardOutput()
{
    static QTextStream stream(stdout);
    return stream;
}

bool verboseLog = false;

// The exchange log goes to standard error with -v, nowhere otherwise.
void logToStandardError(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (verboseLog)
        standardError() << message << Qt::endl;
}

// A port from the system's list by its name, a device by its path, or a
// register on the network by its address, "tcp://" before it or not.
bool findPort(const QString &name, PortInfo &port)
{
    if (name.contains(QLatin1Char('/'))) {
        port = PortInfo::typedPath(name);
        return true;
    }
    for (const PortInfo &listed : PortInfo::availablePorts()) {
        if (listed.portName() == name) {
            port = listed;
            return true;
        }
    }
    const QString location = PortInfo::networkLocation(name);
    if (location.isEmpty())
        return false;
    port = PortInfo::typedPath(location);
    return true;
}

int listPorts(const CliOptions &options)
{
    for (const PortInfo &port : PortInfo::availablePorts()) {
        if (options.json) {
            const QJsonObject object{{QStringLiteral("port"), port.portName()},
                                     {QStringLiteral("description"), port.description()},
                                     {QStringLiteral("location"), port.systemLocation()},
                                     {QStringLiteral("manufacturer"), port.manufacturer()},
                                     {QStringLiteral("serialNumber"), port.serialNumber()}};
            standardOutput() << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
        } else {
            standardOutput() << port.portName() << '\t' << port.description() << '\t'
                             << port.systemLocation() << '\n';
        }
    }
    return CliExit::Success;
}

// find: the registers that answer on the ports given, or on every serial
// port listed, at the rates given or at all of them; 0 when any did, 3 when
// none did.
int findRegisters(const CliOptions &options, const Interruption &interruption)
{
    QList<PortInfo> ports;
    for (const QString &name : options.ports) {
        PortInfo port;
        if (!findPort(name, port)) {
            standardError() << name << ": "
                            << QCoreApplication::translate("main", "Нет такого порта") << '\n';
            continue;
        }
        ports << port;
    }
    if (options.ports.isEmpty()) {
        for (const PortInfo &port : PortInfo::availablePorts()) {
            if (port.systemLocation() != QLatin1String(builtInRegisterLocation))
                ports << port;
        }
    }
    const QVector<int> rates =
        options.rates.isEmpty() ? RegisterFinder::ratesInOrder() : options.rates;
    QElapsedTimer timer;
    timer.start();
    RegisterFinder finder;
    finder.start(ports, rates);
    while (finder.isRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (interruption.requested())
            finder.stop();
        QThread::msleep(20);
    }
    finder.wait();
    const QList<FoundRegister> found = finder.found();
    for (const FoundRegister &entry : found) {
        const QString firmware = entry.metrics.firmware();
        if (options.json) {
            const QJsonObject object{{QStringLiteral("port"), entry.port.portName()},
                                     {QStringLiteral("location"), entry.port.systemLocation()},
                                     {QStringLiteral("baud"), entry.baud},
                                     {QStringLiteral("model"), entry.metrics.model},
                                     {QStringLiteral("description"), entry.metrics.description},
                                     {QStringLiteral("serialNumber"), entry.metrics.serialNumber},
                                     {QStringLiteral("firmware"), firmware}};
            standardOutput() << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
        } else {
            standardOutput() << entry.port.systemLocation() << '\t' << entry.baud << '\t'
                             << entry.metrics.description << '\t' << entry.metrics.serialNumber
                             << '\t' << firmware << '\n';
        }
    }
    standardOutput().flush();
    for (const QString &problem : finder.problems())
        standardError() << problem << '\n';
    if (!options.quiet)
        standardError() << QCoreApplication::translate("main", "Найдено ККТ: %1 (портов %2, "
                                                               "скоростей %3, за %4)")
                               .arg(found.size())
                               .arg(ports.size())
                               .arg(rates.size())
                               .arg(ProgressText::duration(timer.elapsed()))
                        << '\n';
    standardError().flush();
    if (interruption.requested())
        return CliExit::Interrupted;
    return found.isEmpty() ? CliExit::Port : CliExit::Success;
}

// Two ports whose -o files would be one file, the second port's replacing
// the first's: said before any port is opened, empty when there are none.
QString sharedOutputFile(const CliOptions &options)
{
    QHash<QString, QString> portOfFile;
    for (const QString &name : options.ports) {
        PortInfo port;
        if (options.output.isEmpty() || !findPort(name, port))
            continue;
        const QString file =
            QFileInfo(PortJob::outputPath(options.output, port)).absoluteFilePath();
        if (portOfFile.contains(file))
            return QCoreApplication::translate("main", "у портов %1 и %2 один и тот же файл -o: %3")
                .arg(portOfFile.value(file), name, file);
        portOfFile.insert(file, name);
    }
    return QString();
}

PortOutcome unknownPort(const QString &name)
{
    PortOutcome outcome;
    outcome.port = name;
    outcome.exitCode = CliExit::Port;
    outcome.message = QCoreApplication::translate("main", "Нет такого порта");
    outcome.details = QCoreApplication::translate("main", "Список портов: morvell-cli ports");
    return outcome;
}

// A port's outcome: its command's, or that there is no such port.
PortOutcome servePort(const CliOptions &options, const QString &name, OperationProgress &progress,
                      CliProgress &progressLine, std::function<bool()> interrupted,
                      ExchangeTrace *trace)
{
    PortInfo port;
    if (!findPort(name, port))
        return unknownPort(name);
    PortJob job(options, port, progress, progressLine, std::move(interrupted), trace);
    return job.run();
}

void report(const CliOptions &options, const PortOutcome &outcome, bool severalPorts)
{
    if (options.json) {
        standardOutput() << QJsonDocument(outcomeToJson(outcome, options.commandName))
                                .toJson(QJsonDocument::Compact)
                         << '\n';
        return;
    }
    const QString prefix = severalPorts ? outcome.port + QLatin1Char('\t') : QString();
    if (options.command == CliOptions::Command::Check && outcome.exitCode == CliExit::Success)
        standardOutput() << prefix << outcome.identification << '\n';
    for (const QString &line : outcome.differences)
        standardOutput() << prefix << line << '\n';
    standardOutput().flush();
    if (outcome.exitCode != CliExit::Success && outcome.exitCode != CliExit::Differences) {
        standardError() << outcome.port << ": " << outcome.message << '\n';
        if (!outcome.details.isEmpty())
            standardError() << "    " << QString(outcome.details).replace('\n', "\n    ") << '\n';
    } else if (!options.quiet) {
        standardError() << outcome.port << ": " << outcome.summary << '\n';
    }
    standardError().flush();
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(logToStandardError);
    QCoreApplication application(argc, argv);
    ensureCyrillicLocaleCodec();

    CliOptions options;
    QString error;
    if (!parseCliOptions(application.arguments(), options, error)) {
        standardError() << "morvell-cli: " << error << '\n';
        return CliExit::Usage;
    }
    if (options.help) {
        standardOutput() << cliHelpText();
        return CliExit::Success;
    }
    const bool severalPorts = options.ports.size() > 1;
    const bool atOnce = severalPorts && options.jobs > 1;
    // Ports served at once leave their summaries only: their progress lines
    // and exchange logs would be mixed line by line.
    verboseLog = options.verbose && !atOnce;
    registerDriverComponent();
    if (options.command == CliOptions::Command::Ports)
        return listPorts(options);
    if (const QString shared = sharedOutputFile(options); !shared.isEmpty()) {
        standardError() << "morvell-cli: " << shared << '\n';
        return CliExit::Usage;
    }
    ExchangeTrace trace;
    if (!options.trace.isEmpty() && !trace.open(options.trace, error)) {
        standardError() << "morvell-cli: "
                        << QCoreApplication::translate("main",
                                                       "не удалось открыть файл --trace %1: %2")
                               .arg(options.trace, error)
                        << '\n';
        return CliExit::File;
    }
    ExchangeTrace *tracing = options.trace.isEmpty() ? nullptr : &trace;

    OperationProgress progress;
    ParallelPorts parallel(options.jobs);
    const Interruption interruption(progress, [&parallel] { parallel.interrupt(); });
    if (options.command == CliOptions::Command::Find)
        return findRegisters(options, interruption);
    QList<PortOutcome> outcomes;
    if (atOnce) {
        outcomes = parallel.run(options.ports,
                                [&options, tracing](int index, OperationProgress &portProgress,
                                                    std::function<bool()> interrupted) {
                                    CliProgress noLine(portProgress, false);
                                    return servePort(options, options.ports.at(index), portProgress,
                                                     noLine, std::move(interrupted), tracing);
                                });
    } else {
        // A trace on standard error would be cut by the progress line.
        CliProgress progressLine(progress, !options.quiet && !options.json &&
                                               options.trace != QLatin1String("-") &&
                                               isatty(STDERR_FILENO));
        for (const QString &name : qAsConst(options.ports)) {
            if (interruption.requested())
                break;
            outcomes << servePort(
                options, name, progress, progressLine,
                [&interruption] { return interruption.requested(); }, tracing);
        }
    }
    int exitCode = CliExit::Success;
    for (const PortOutcome &outcome : qAsConst(outcomes)) {
        report(options, outcome, severalPorts);
        if (exitCode == CliExit::Success)
            exitCode = outcome.exitCode;
    }
    return interruption.requested() ? CliExit::Interrupted : exitCode;
}
