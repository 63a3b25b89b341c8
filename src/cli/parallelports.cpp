#include "parallelports.h"

#include "operationprogress.h"

#include <QEventLoop>
#include <QThread>

#include <mutex>

class ParallelPorts::PortThread : public QThread
{
public:
    PortThread(int index, const Work &work, const std::atomic<bool> &interrupted)
        : m_index(index), m_work(work), m_interrupted(interrupted)
    {
    }

    PortOutcome outcome() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_outcome;
    }

    // The progress belongs to the port's thread, which handles its events
    // only at the work's event points: the stop is queued to it there.
    void interrupt()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_progress)
            QMetaObject::invokeMethod(
                m_progress, [progress = m_progress] { progress->requestCancel(); },
                Qt::QueuedConnection);
    }

protected:
    // The connection, its driver and serial port are made, used and
    // destroyed here, in the thread they belong to.
    void run() override
    {
        OperationProgress progress;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_progress = &progress;
        }
        PortOutcome outcome = m_work(m_index, progress, [this] { return m_interrupted.load(); });
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress = nullptr;
        m_outcome = std::move(outcome);
    }

private:
    const int m_index;
    const Work &m_work;
    const std::atomic<bool> &m_interrupted;
    // Guards the outcome and the progress, which a stop reaches only while
    // the work runs; a standard mutex, which thread checkers follow.
    mutable std::mutex m_mutex;
    PortOutcome m_outcome;
    OperationProgress *m_progress = nullptr;
};

ParallelPorts::ParallelPorts(int jobs) : m_jobs(jobs) {}

ParallelPorts::~ParallelPorts() = default;

QList<PortOutcome> ParallelPorts::run(const QStringList &ports, const Work &work)
{
    QList<PortOutcome> outcomes;
    for (const QString &port : ports) {
        PortOutcome waiting;
        waiting.port = port;
        outcomes << waiting;
    }
    m_threads.clear();
    m_threads.resize(ports.size());
    QEventLoop loop;
    int next = 0;
    int running = 0;
    for (;;) {
        while (running < m_jobs && next < ports.size() && !m_interrupted) {
            const int index = next++;
            auto &thread = m_threads[index] =
                std::make_unique<PortThread>(index, work, m_interrupted);
            QObject::connect(thread.get(), &QThread::finished, &loop, [&, index] {
                m_threads[index]->wait();
                outcomes[index] = m_threads[index]->outcome();
                --running;
                loop.quit();
            });
            thread->start();
            ++running;
        }
        if (running == 0)
            break;
        loop.exec();
    }
    m_threads.clear();
    return outcomes;
}

void ParallelPorts::interrupt()
{
    m_interrupted = true;
    for (const auto &thread : m_threads) {
        if (thread)
            thread->interrupt();
    }
}
