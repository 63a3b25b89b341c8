#include "linecomparison.h"

#include "registerprocess.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace LineComparison {

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

bool run(const QStringList &arguments, bool spoiled, const Operation &operation, Outcome &outcome,
         QString &problem)
{
    QTemporaryDir directory;
    const QString state = directory.filePath(QStringLiteral("register.state"));
    const QString output = directory.filePath(QStringLiteral("output"));
    RegisterProcess emulator;
    if (!emulator.start(arguments + QStringList{QStringLiteral("--state"), state} +
                        (spoiled ? spoiledLine : QStringList()))) {
        problem = QStringLiteral("the emulator program did not start");
        return false;
    }
    const bool done = operation(emulator.path(), output);
    const QString summary = emulator.stop();
    outcome.output = contents(output);
    outcome.state = contents(state);
    outcome.executed =
        QRegularExpression(QStringLiteral("\\d+ reads, \\d+ writes, \\d+ dump starts, "
                                          "\\d+ dump blocks"))
            .match(summary)
            .captured();
    if (!done)
        problem = QStringLiteral("the operation failed; the register: ") + summary;
    else if (outcome.executed.isEmpty())
        problem = QStringLiteral("no counts in the emulator program's summary: ") + summary;
    return done && !outcome.executed.isEmpty();
}

} // namespace LineComparison
