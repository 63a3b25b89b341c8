#include "logcapture.h"

#include <QMutex>
#include <QMutexLocker>

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
