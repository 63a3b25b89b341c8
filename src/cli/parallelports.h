#pragma once

#include "portjob.h"

#include <QList>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class OperationProgress;

// Serves several ports at once, each on a thread of its own with its own
// connection and progress; the outcomes come back in the order of the ports.
class ParallelPorts
{
public:
    // One port's work, run on its thread with that thread's progress;
    // interrupted tells whether the user asked to stop before it began.
    using Work = std::function<PortOutcome(int index, OperationProgress &progress,
                                           std::function<bool()> interrupted)>;

    explicit ParallelPorts(int jobs);
    ~ParallelPorts();

    // Runs work for each port, at most jobs at once, and returns once all
    // that started are done. A port not started for a stop keeps only its name.
    QList<PortOutcome> run(const QStringList &ports, const Work &work);
    // Stops every running port at its next event point and starts no more.
    // Called from the thread that called run, such as by its event loop.
    void interrupt();

private:
    class PortThread;

    const int m_jobs;
    std::atomic<bool> m_interrupted{false};
    // The threads of the ports that have started, by index; null for the others.
    std::vector<std::unique_ptr<PortThread>> m_threads;
};
