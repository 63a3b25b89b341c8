#include "loghandler.h"

#include <QDateTime>
#include <QLocale>
#include <QStandardPaths>
#include <QTextCodec>
#include <QTextStream>

namespace {

constexpr qint64 maxLogFileSize = 64 * 1024 * 1024;

// logFile is named before the application object exists, while a rotation names both files again
// later. The application data location gains the application's name once the application object
// exists, so both names are built on the generic data location, which never changes during a run.
QString logPathNamed(const QString &fileName)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Korvan/") + fileName;
}

// Returns an empty template for message types that are not logged.
QString lineTemplate(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("%1 D: %2");
    case QtWarningMsg:
        return QStringLiteral("%1 W: %2");
    case QtCriticalMsg:
        return QStringLiteral("%1 C: %2");
    case QtFatalMsg:
        return QStringLiteral("%1 F: %2");
    default:
        return QString();
    }
}

// Keeps one predecessor and starts an empty file. Failures are ignored: the reopen then starts
// the current file afresh.
void rotateLogFile()
{
    logFile.flush();
    logFile.close();
    const QString oldPath = oldLogFilePath();
    if (QFile::exists(oldPath))
        QFile::remove(oldPath);
    QFile::rename(logFilePath(), oldPath);
    logFile.open(QIODevice::WriteOnly | QIODevice::Text);
}

// Called with logMutex held.
void writeLine(const QString &line)
{
    if (!logFile.isOpen())
        logFile.open(QIODevice::WriteOnly | QIODevice::Append);
    if (!logFile.isOpen())
        return;
    // Opened for appending or afresh, the position is the file's size; asking the file for its size
    // would query the file system on every line.
    if (logFile.pos() > maxLogFileSize)
        rotateLogFile();
    if (!logFile.isOpen())
        return;
    static QTextCodec *const utf8 = QTextCodec::codecForName("UTF-8");
    QTextStream stream(&logFile);
    stream.setCodec(utf8);
    stream << line << QLatin1String("\r\n");
}

} // namespace

QFile logFile(logFilePath());
std::mutex logMutex;

// Converting to local time reads the time zone again on every call, which would dominate the cost
// of a line. Each thread therefore keeps the text of the second it last formatted and adds only
// the milliseconds; zone offsets and their changes fall on whole seconds, so the text stays exact.
QString logTimestamp(qint64 msecsSinceEpoch)
{
    thread_local qint64 cachedSecond = -1;
    thread_local QString cachedSecondText;
    const qint64 second = msecsSinceEpoch / 1000;
    if (second != cachedSecond) {
        cachedSecond = second;
        // The C locale keeps the digits ASCII whatever the user's locale.
        cachedSecondText = QLocale::c().toString(QDateTime::fromSecsSinceEpoch(second),
                                                 QStringLiteral("dd.MM.yyyy HH:mm:ss."));
    }
    const int millisecond = int(msecsSinceEpoch % 1000);
    const QChar digits[] = {QChar('0' + millisecond / 100), QChar('0' + millisecond / 10 % 10),
                            QChar('0' + millisecond % 10)};
    return cachedSecondText + QString(digits, 3);
}

QString logFilePath()
{
    return logPathNamed(QStringLiteral("Morvell.log"));
}

QString oldLogFilePath()
{
    return logPathNamed(QStringLiteral("Morvell_old.log"));
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const QString format = lineTemplate(type);
    if (format.isEmpty())
        return;
    const QString line = format.arg(logTimestamp(QDateTime::currentMSecsSinceEpoch()), message);

    std::lock_guard<std::mutex> lock(logMutex);
    writeLine(line);
}

LogHandlerScope::LogHandlerScope() : m_previousHandler(qInstallMessageHandler(logMessageHandler)) {}

LogHandlerScope::~LogHandlerScope()
{
    {
        std::lock_guard<std::mutex> lock(logMutex);
        logFile.close();
    }
    qInstallMessageHandler(m_previousHandler);
}
