// Cost of the line framing: the same goods-record reads over a pseudo-terminal,
// once framed (stop-and-wait with ACK and CRC) and once as bare request and
// answer bytes, in the same run. Prints microseconds per exchange and the ratio.

#include "deviceline.h"
#include "fdline.h"
#include "framelink.h"
#include "hostexchange.h"
#include "pseudoterminal.h"
#include "registeremulator.h"
#include "registerresponder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int Exchanges = 1000;
constexpr int Rounds = 10;
constexpr int GoodsCount = 1000;
constexpr int RequestSize = 5;
constexpr int AnswerSize = 2 + 84;
constexpr int TimeoutMs = 1000;

QByteArray readRecord(int row)
{
    QByteArray request(1, char(RegisterProtocol::ReadField));
    request.append(char(1));
    request.append(char(row >> 8));
    request.append(char(row & 0xFF));
    request.append(char(0));
    return request;
}

// The register's side, run on its own thread over the terminal's master
// until stopped.
class RegisterThread
{
public:
    using Serve = std::function<void(FdLine &, const std::atomic_bool &stop)>;

    RegisterThread(int masterFd, const Serve &serve)
        : m_masterFd(masterFd), m_wake(eventfd(0, EFD_CLOEXEC))
    {
        m_thread = std::thread([this, masterFd, serve] {
            FdLine line(masterFd, m_wake);
            serve(line, m_stop);
        });
    }
    ~RegisterThread()
    {
        m_stop = true;
        const quint64 one = 1;
        if (::write(m_wake, &one, sizeof one) < 0)
            std::perror("eventfd");
        m_thread.join();
        ::close(m_wake);
        // The host's last ACK, which the next register would take for a request.
        FdLine line(m_masterFd, -1);
        while (!line.read(0).isEmpty()) {
        }
    }

private:
    int m_masterFd;
    int m_wake;
    std::atomic_bool m_stop{false};
    std::thread m_thread;
};

void serveFramed(RegisterEmulator &registerEmulator, FdLine &line, const std::atomic_bool &stop)
{
    FrameLink link(line);
    RegisterResponder responder(
        link, [&](const QByteArray &request) { return registerEmulator.handle(request); });
    while (!stop)
        responder.serveNext();
}

void serveBare(RegisterEmulator &registerEmulator, FdLine &line, const std::atomic_bool &stop)
{
    QByteArray received;
    while (!stop) {
        received += line.read(-1);
        for (; received.size() >= RequestSize; received.remove(0, RequestSize))
            line.write(registerEmulator.handle(received.left(RequestSize)));
    }
}

bool exchangeBare(ByteLine &line, const QByteArray &request, QByteArray &answer)
{
    answer.clear();
    if (!line.write(request))
        return false;
    while (answer.size() < AnswerSize) {
        const QByteArray bytes = line.read(TimeoutMs);
        if (bytes.isEmpty())
            return false;
        answer += bytes;
    }
    return true;
}

// Microseconds per exchange; -1 when an exchange failed.
double measure(const std::function<bool(const QByteArray &, QByteArray &)> &exchange)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray answer;
    for (int i = 0; i < Exchanges; ++i) {
        if (!exchange(readRecord(1 + i % GoodsCount), answer) || answer.size() != AnswerSize)
            return -1;
    }
    return timer.nsecsElapsed() / 1e3 / Exchanges;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    PseudoTerminal terminal;
    QString error;
    if (!terminal.open(error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    QSerialPort port(terminal.slavePath());
    port.setBaudRate(QSerialPort::Baud115200);
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(port.portName()),
                     qPrintable(port.errorString()));
        return 1;
    }
    DeviceLine hostLine(port);
    FrameLink hostLink(hostLine);
    HostExchange host(hostLink);
    RegisterEmulator registerEmulator(GoodsCount);

    double framed = -1;
    double bare = -1;
    // Best of several alternating rounds, so that a busy moment of the machine
    // does not count against one side only.
    for (int round = 0; round < Rounds; ++round) {
        {
            RegisterThread thread(terminal.masterFd(), [&](FdLine &line, const auto &stop) {
                serveFramed(registerEmulator, line, stop);
            });
            const double microseconds = measure([&](const QByteArray &request, QByteArray &answer) {
                return host.exchange(request, answer, TimeoutMs);
            });
            framed = round == 0 ? microseconds : std::min(framed, microseconds);
        }
        {
            RegisterThread thread(terminal.masterFd(), [&](FdLine &line, const auto &stop) {
                serveBare(registerEmulator, line, stop);
            });
            const double microseconds = measure([&](const QByteArray &request, QByteArray &answer) {
                return exchangeBare(hostLine, request, answer);
            });
            bare = round == 0 ? microseconds : std::min(bare, microseconds);
        }
        if (framed < 0 || bare < 0) {
            std::fprintf(stderr, "an exchange failed\n");
            return 1;
        }
    }
    std::printf("goods record read (%d-byte request, %d-byte answer), best of %d x %d:\n",
                RequestSize, AnswerSize, Rounds, Exchanges);
    std::printf("  framed %8.1f us/exchange\n", framed);
    std::printf("  bare   %8.1f us/exchange\n", bare);
    std::printf("  ratio  %8.2f (framed / bare)\n", framed / bare);
    return 0;
}
