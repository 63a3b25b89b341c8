#include "registerprocess.h"

namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 10000;

} // namespace

RegisterProcess::~RegisterProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
}

bool RegisterProcess::start(const QStringList &arguments)
{
    if (!m_errors.open())
        return false;
    m_process.setStandardErrorFile(m_errors.fileName());
    m_process.start(QStringLiteral(REGISTER_EMULATOR), arguments);
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(StartTimeoutMs))
            return false;
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_path.isEmpty();
}

QString RegisterProcess::stop(int signal)
{
    // Without a process its id is 0, which would signal the whole process group.
    if (m_process.state() == QProcess::NotRunning)
        return QString();
    ::kill(pid_t(m_process.processId()), signal);
    if (!m_process.waitForFinished(StopTimeoutMs) ||
        m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(m_errors.readAll());
}

int RegisterProcess::run(const QStringList &arguments, QString &errors)
{
    QProcess process;
    process.start(QStringLiteral(REGISTER_EMULATOR), arguments);
    const bool ended = process.waitForFinished(StopTimeoutMs);
    if (!ended) {
        process.kill();
        process.waitForFinished(StopTimeoutMs);
    }
    errors = QString::fromLocal8Bit(process.readAllStandardError());
    return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
