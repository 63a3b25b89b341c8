#include "logcapture.h"

#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

namespace {

QMutex capturedMutex;
QStringList captured;

void captureHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker lock(&capturedMutex);
    captured.append(message);
}

} // namespace

LogCapture::LogCapture() : m_previous(qInstallMessageHandler(captureHandler))
{
    clear();
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&capturedMutex);
    return captured;
}

void LogCapture::clear()
{
    QMutexLocker lock(&capturedMutex);
    captured.clear();
}

QStringList LogCapture::answeredRequests(const QString &log, const QString &command)
{
    QStringList answered;
    auto exchanges =
        QRegularExpression(QStringLiteral("DriverComponent::exchange (%1\\S*) -> 55").arg(command))
            .globalMatch(log);
    while (exchanges.hasNext())
        answered << exchanges.next().captured(1);
    return answered;
}
