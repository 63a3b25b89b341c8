#include "parallelports.h"

#include "errorcode.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>
#include <memory>

namespace {

// The options that give a port or the number of jobs, and whether a value follows.
bool isPortOrJobs(const QString &argument, bool &takesValue)
{
    for (const QString &option : {QStringLiteral("--port"), QStringLiteral("--jobs"),
                                  QStringLiteral("-port"), QStringLiteral("-jobs")}) {
        if (argument == option) {
            takesValue = true;
            return true;
        }
        if (argument.startsWith(option + QLatin1Char('='))) {
            takesValue = false;
            return true;
        }
    }
    return false;
}

} // namespace

QJsonObject outcomeToJson(const PortOutcome &outcome, const QString &command)
{
    return {{QStringLiteral("port"), outcome.port},
            {QStringLiteral("command"), command},
            {QStringLiteral("exitCode"), outcome.exitCode},
            {QStringLiteral("result"), outcome.result},
            {QStringLiteral("message"), outcome.message},
            {QStringLiteral("details"), outcome.details},
            {QStringLiteral("summary"), outcome.summary},
            {QStringLiteral("count"), outcome.count},
            {QStringLiteral("identification"), outcome.identification},
            {QStringLiteral("output"), outcome.output},
            {QStringLiteral("differences"), QJsonArray::fromStringList(outcome.differences)}};
}

PortOutcome outcomeFromJson(const QJsonObject &object)
{
    PortOutcome outcome;
    outcome.port = object.value(QStringLiteral("port")).toString();
    outcome.exitCode = object.value(QStringLiteral("exitCode")).toInt();
    outcome.result = object.value(QStringLiteral("result")).toInt();
    outcome.message = object.value(QStringLiteral("message")).toString();
    outcome.details = object.value(QStringLiteral("details")).toString();
    outcome.summary = object.value(QStringLiteral("summary")).toString();
    outcome.count = object.value(QStringLiteral("count")).toVariant().toLongLong();
    outcome.identification = object.value(QStringLiteral("identification")).toString();
    outcome.output = object.value(QStringLiteral("output")).toString();
    for (const QJsonValue &line : object.value(QStringLiteral("differences")).toArray())
        outcome.differences << line.toString();
    return outcome;
}

ParallelPorts::ParallelPorts(const QStringList &arguments, int jobs) : m_jobs(jobs)
{
    for (int index = 1; index < arguments.size(); ++index) {
        bool takesValue = false;
        if (isPortOrJobs(arguments.at(index), takesValue))
            index += takesValue ? 1 : 0;
        // Each program reports in JSON only; the summary is this one's.
        else if (!QStringList{QStringLiteral("--json"), QStringLiteral("-q"),
                              QStringLiteral("--quiet"), QStringLiteral("-v"),
                              QStringLiteral("--verbose")}
                      .contains(arguments.at(index)))
            m_arguments << arguments.at(index);
    }
}

QStringList ParallelPorts::argumentsFor(const QString &port) const
{
    return m_arguments + QStringList{QStringLiteral("--port"), port, QStringLiteral("--json"),
                                     QStringLiteral("-q")};
}

QList<PortOutcome> ParallelPorts::run(const QStringList &ports)
{
    QList<PortOutcome> outcomes;
    for (const QString &port : ports) {
        PortOutcome waiting;
        waiting.port = port;
        outcomes << waiting;
    }
    std::vector<std::unique_ptr<QProcess>> processes;
    m_running = QVector<qint64>(ports.size(), 0);
    QEventLoop loop;
    int next = 0;
    int running = 0;
    const auto startNext = [&] {
        while (running < m_jobs && next < ports.size() && !m_interrupted) {
            const int index = next++;
            auto &process = processes.emplace_back(std::make_unique<QProcess>());
            process->setProcessChannelMode(QProcess::SeparateChannels);
            process->setStandardErrorFile(QProcess::nullDevice());
            QObject::connect(
                process.get(), QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                [&, index, process = process.get()](int exitCode, QProcess::ExitStatus) {
                    const QJsonDocument document =
                        QJsonDocument::fromJson(process->readAllStandardOutput());
                    if (document.isObject()) {
                        outcomes[index] = outcomeFromJson(document.object());
                    } else {
                        outcomes[index].exitCode = exitCode == 0 ? CliExit::Port : exitCode;
                        outcomes[index].message = errorCodeToString(ERR_PORT_NOT_OPEN);
                    }
                    m_running[index] = 0;
                    --running;
                    loop.quit();
                });
            process->start(QCoreApplication::applicationFilePath(), argumentsFor(ports.at(index)));
            m_running[index] = process->processId();
            ++running;
        }
    };
    startNext();
    while (running > 0) {
        loop.exec();
        startNext();
    }
    return outcomes;
}

void ParallelPorts::interrupt()
{
    m_interrupted = true;
    for (qint64 pid : qAsConst(m_running)) {
        if (pid > 0)
            ::kill(pid_t(pid), SIGINT);
    }
}
