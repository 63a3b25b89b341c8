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

QByteArray changedGoods(const QByteArray &file)
{
    QStringList lines = QString::fromUtf8(file).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        QStringList parts = line.split(QLatin1Char('\t'));
        const int row = parts.value(0).toInt();
        const int field = parts.value(1).toInt();
        if (parts.size() != 4 || row > changedGoodsRows || field == 5 || field == 6)
            continue;
        parts[3] = field == 1   ? QStringLiteral("ТОВАР %1").arg(row)
                   : field == 2 ? QStringLiteral("2000000%1").arg(row, 6, 10, QLatin1Char('0'))
                   : field == 3 ? QStringLiteral("%1.50").arg(row)
                                : QString::number(1 - parts.at(3).toInt() % 2);
        line = parts.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')).toUtf8();
}

bool run(const QStringList &arguments, bool spoiled, const QString &outputName,
         const Operation &operation, Outcome &outcome, QString &problem)
{
    QTemporaryDir directory;
    const QString state = directory.filePath(QStringLiteral("register.state"));
    const QString output = directory.filePath(outputName);
    RegisterProcess emulator;
    // The operation's own arguments last, where they may choose another seed.
    if (!emulator.start((spoiled ? spoiledLine : QStringList()) +
                        QStringList{QStringLiteral("--state"), state} + arguments)) {
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
