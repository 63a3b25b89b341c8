#pragma once

#include "portjob.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVector>

// Serves several ports at once, each by a program of its own on one port:
// the table editors belong to the thread of the application, so a port's
// connection gets a process rather than a thread. The outcomes come back in
// the order of the ports.
class ParallelPorts
{
public:
    // arguments: the program's own, whose ports and jobs are replaced.
    ParallelPorts(const QStringList &arguments, int jobs);
    QList<PortOutcome> run(const QStringList &ports);
    // Passes a stop on to every program still running.
    void interrupt();

private:
    QStringList argumentsFor(const QString &port) const;

    QStringList m_arguments;
    const int m_jobs;
    // The process of each port while it runs, else 0.
    QVector<qint64> m_running;
    bool m_interrupted = false;
};

QJsonObject outcomeToJson(const PortOutcome &outcome, const QString &command);
PortOutcome outcomeFromJson(const QJsonObject &object);
