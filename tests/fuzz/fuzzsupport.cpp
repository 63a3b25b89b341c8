#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {

void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

// Kept for the whole process, and reachable, so that leak checks pass over it.
QCoreApplication *application = nullptr;

} // namespace

void startQt()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qInstallMessageHandler(dropMessage);
    application = new QCoreApplication(argc, argv);
}

QString scratchPath(const QString &name)
{
    static QTemporaryDir directory;
    return directory.filePath(name);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("scratch file written", __FILE__, __LINE__);
}

void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace FuzzSupport
