#include "registerfinder.h"

#include "baudrate.h"
#include "errorcode.h"
#include "protocolpelto.h"

#include <QMutexLocker>
#include <QThread>

RegisterFinder::RegisterFinder() = default;

RegisterFinder::~RegisterFinder()
{
    stop();
    wait();
}

QVector<int> RegisterFinder::ratesInOrder()
{
    QVector<int> rates{115200, 9600, 57600, 38400, 19200, 4800, 2400};
    for (int rate : BaudRate::Rates) {
        if (!rates.contains(rate))
            rates << rate;
    }
    return rates;
}

void RegisterFinder::start(const QList<PortInfo> &ports, const QVector<int> &rates)
{
    stop();
    wait();
    m_stop = false;
    m_ports = ports;
    m_rates = rates;
    m_attemptsDone = 0;
    m_attemptsTotal = ports.size() * rates.size();
    m_found = QVector<std::optional<FoundRegister>>(ports.size());
    m_problems = QVector<QString>(ports.size());
    m_portsLeft = ports.size();
    for (int index = 0; index < ports.size(); ++index) {
        m_threads.emplace_back(QThread::create([this, index] { searchPort(index); }));
        m_threads.back()->start();
    }
}

void RegisterFinder::stop()
{
    m_stop = true;
}

void RegisterFinder::wait()
{
    for (const auto &thread : m_threads)
        thread->wait();
    m_threads.clear();
}

bool RegisterFinder::isRunning() const
{
    return m_portsLeft > 0;
}

QList<FoundRegister> RegisterFinder::found() const
{
    const QMutexLocker lock(&m_mutex);
    QList<FoundRegister> registers;
    for (const auto &entry : m_found) {
        if (entry)
            registers << *entry;
    }
    return registers;
}

QStringList RegisterFinder::problems() const
{
    const QMutexLocker lock(&m_mutex);
    QStringList texts;
    for (const QString &problem : m_problems) {
        if (!problem.isEmpty())
            texts << problem;
    }
    return texts;
}

void RegisterFinder::searchPort(int index)
{
    const PortInfo &port = m_ports.at(index);
    int tried = 0;
    for (int rate : qAsConst(m_rates)) {
        // A register on the network answers at whatever rate, or not at all.
        if (m_stop || (port.isNetwork() && tried > 0))
            break;
        protocolPelto protocol;
        protocol.setBaudRateCode(BaudRate::codeOfRate(rate));
        DeviceMetrics metrics;
        const int result = protocol.identifyAt(port, attemptTimeoutMs, metrics);
        ++tried;
        ++m_attemptsDone;
        if (result == ERR_OK) {
            const QMutexLocker lock(&m_mutex);
            m_found[index] = FoundRegister{port, rate, metrics};
            break;
        }
        if (protocol.portUnusable()) {
            const QMutexLocker lock(&m_mutex);
            m_problems[index] =
                port.systemLocation() + QStringLiteral(": ") + protocol.failureCause();
            break;
        }
    }
    // What this port leaves out counts as done, so that the count ends whole.
    m_attemptsDone += m_rates.size() - tried;
    --m_portsLeft;
}
