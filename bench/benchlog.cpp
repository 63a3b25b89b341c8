#include "benchlog.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// The message handler is a plain function: what it counts lives here.
QtMessageHandler realHandler = nullptr;
qint64 lineCount = 0;
qint64 byteCount = 0;

void countingHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    ++lineCount;
    // Time stamp, level and line end around the message.
    byteCount += 29 + message.toUtf8().size();
    realHandler(type, context, message);
}

} // namespace

std::unique_ptr<BenchLog> BenchLog::open()
{
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME")) {
        std::fprintf(stderr, "Set XDG_DATA_HOME to a scratch directory (scripts/bench.sh).\n");
        return nullptr;
    }
    QDir().mkpath(QFileInfo(logFilePath()).path());
    return std::unique_ptr<BenchLog>(new BenchLog);
}

BenchLog::BenchLog() : m_realHandler(nullptr)
{
    realHandler = qInstallMessageHandler(countingHandler);
    m_realHandler = realHandler;
}

BenchLog::~BenchLog()
{
    qInstallMessageHandler(m_realHandler);
}

qint64 BenchLog::lines()
{
    return lineCount;
}

qint64 BenchLog::bytes()
{
    return byteCount;
}

void setBuiltInGoods(int records)
{
    qputenv("MORVELL_BUILTIN_GOODS", QByteArray::number(records));
}
