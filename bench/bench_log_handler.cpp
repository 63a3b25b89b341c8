// Throughput of the log message handler: lines per second and microseconds per line, written by
// one thread and by two, into the log file under XDG_DATA_HOME. Closing the file (and so writing
// out what is buffered) is part of each measurement.

#include "loghandler.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int totalLines = 400000;
const QString message = QStringLiteral("MainWindow::on_pbRead_clicked");

void callHandler(int lines)
{
    const QMessageLogContext context;
    for (int line = 0; line < lines; ++line)
        logMessageHandler(QtDebugMsg, context, message);
}

void streamIntoDebug(int lines)
{
    for (int line = 0; line < lines; ++line)
        qDebug() << "MainWindow::on_pbRead_clicked";
}

// Splits totalLines over threadCount threads running writer and prints the rate.
void measure(const char *name, int threadCount, const std::function<void(int)> &writer)
{
    QFile::remove(logFilePath());
    QElapsedTimer timer;
    timer.start();
    {
        LogHandlerScope scope;
        std::vector<std::thread> threads;
        for (int thread = 0; thread < threadCount; ++thread)
            threads.emplace_back(writer, totalLines / threadCount);
        for (std::thread &thread : threads)
            thread.join();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%-28s %d thread(s): %9.0f lines/s %6.2f us/line\n", name, threadCount,
                totalLines / seconds, seconds * 1e6 / totalLines);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // The log path is fixed when the program loads, so only the environment can redirect it.
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME")) {
        std::fprintf(stderr, "Set XDG_DATA_HOME to a scratch directory (scripts/bench.sh).\n");
        return 2;
    }
    QDir().mkpath(QFileInfo(logFilePath()).path());

    for (int threadCount : {1, 2}) {
        measure("logMessageHandler", threadCount, callHandler);
        measure("qDebug() into the handler", threadCount, streamIntoDebug);
    }
    return 0;
}
