#pragma once

#include "devicemetrics.h"
#include "portinfo.h"

#include <QList>
#include <QMutex>
#include <QVector>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QThread;

// A register that answered a search, and where.
struct FoundRegister
{
    PortInfo port;
    int baud = 0;
    DeviceMetrics metrics;
};

// Looks for registers on ports: every port in a thread of its own, its rates
// in turn until one answers. It only asks for the identification, never
// enters a mode or writes, and waits for each answer a short time only.
class RegisterFinder
{
public:
    static constexpr int attemptTimeoutMs = 300;

    RegisterFinder();
    ~RegisterFinder();

    // The driver's rates, 115200 first, then the others, the most common first.
    static QVector<int> ratesInOrder();

    void start(const QList<PortInfo> &ports, const QVector<int> &rates);
    // Stops each port's search at its next attempt.
    void stop();
    // Waits for every port's search to end.
    void wait();
    bool isRunning() const;

    // Attempts made (or left out: a port found or unusable skips its other
    // rates) and all there are.
    int attemptsDone() const { return m_attemptsDone; }
    int attemptsTotal() const { return m_attemptsTotal; }
    // What answered so far, in the order of the ports given.
    QList<FoundRegister> found() const;
    // Why a port could not be searched at all: "port: cause", in order.
    QStringList problems() const;

private:
    void searchPort(int index);

    QList<PortInfo> m_ports;
    QVector<int> m_rates;
    // QThreads, as the serial line needs one with its event dispatcher.
    std::vector<std::unique_ptr<QThread>> m_threads;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_attemptsDone{0};
    std::atomic<int> m_portsLeft{0};
    int m_attemptsTotal = 0;
    mutable QMutex m_mutex;
    // Per port, as searched.
    QVector<std::optional<FoundRegister>> m_found;
    QVector<QString> m_problems;
};
