#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <mutex>

// The process-wide log file, named when the program is loaded and opened by the first line.
extern QFile logFile;
// Serialises every use of logFile; not recursive, so nothing done under it may log.
extern std::mutex logMutex;

// The local time of a moment (milliseconds since 1970) as "dd.MM.yyyy HH:mm:ss.zzz".
QString logTimestamp(qint64 msecsSinceEpoch);

QString logFilePath();
QString oldLogFilePath();

// Writes one Qt message as a line of the log file; installed for the whole run of main.
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// Installs logMessageHandler for its lifetime; on destruction closes the log file and puts the
// previous handler back.
class LogHandlerScope
{
public:
    LogHandlerScope();
    ~LogHandlerScope();
    LogHandlerScope(const LogHandlerScope &) = delete;
    LogHandlerScope &operator=(const LogHandlerScope &) = delete;

private:
    QtMessageHandler m_previousHandler;
};
