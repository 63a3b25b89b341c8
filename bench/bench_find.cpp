// The search for registers: 8 pseudo-terminals that nobody answers, at 6 rates
// each, then the same with 12 rates; the time each search takes in all, and
// the longest single attempt. Run through scripts/bench.sh.

#include "driverregistration.h"
#include "pseudoterminal.h"
#include "registerfinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QThread>

#include <array>
#include <cstdio>

namespace {

constexpr int Ports = 8;

double searchSeconds(const QList<PortInfo> &ports, const QVector<int> &rates)
{
    QElapsedTimer timer;
    timer.start();
    RegisterFinder finder;
    finder.start(ports, rates);
    while (finder.isRunning())
        QThread::msleep(5);
    finder.wait();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // A line per attempt would bury the result.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    registerDriverComponent();
    std::array<PseudoTerminal, Ports> silent;
    QList<PortInfo> ports;
    for (PseudoTerminal &terminal : silent) {
        QString error;
        if (!terminal.open(error)) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(error));
            return 1;
        }
        ports << PortInfo::typedPath(terminal.slavePath());
    }
    const QVector<int> all = RegisterFinder::ratesInOrder();
    for (const QVector<int> &rates : {all.mid(0, 6), all}) {
        const double seconds = searchSeconds(ports, rates);
        std::printf("%d silent ports at %d rates: %.2f s in all, %.0f ms per rate\n", Ports,
                    int(rates.size()), seconds, seconds * 1000 / rates.size());
    }
    return 0;
}
