#pragma once

#include <QElapsedTimer>
#include <QObject>

// The progress of the one long operation running (a table read or write, a
// dump, a file load or save) and the user's wish to stop it. The work loops
// report what they have done at their event points, where the window also
// gets to handle its events; the window shows it.
class OperationProgress : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // A new operation with nothing done yet; total -1 when not known.
    void start(qint64 total = -1);
    void setTotal(qint64 total) { m_total = total; }
    // A next stage of the same operation, such as the check after a write:
    // done counts again from 0 towards the stage's total, at the stage's own
    // rate; elapsedMs still covers the whole operation.
    void startStage(qint64 total);
    // Lets the window handle pending events, notes what is done, and says
    // whether to go on: false once the user asked to stop.
    bool eventPoint(qint64 done);
    // The operation's end, with what was done in all.
    void finish(qint64 done);

    // The user asks the operation to stop at its next event point.
    void requestCancel();
    bool isRunning() const { return m_running; }
    bool cancelRequested() const { return m_cancelRequested; }

    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }
    // Work per second so far in this stage; 0 before any.
    double rate() const;
    // Milliseconds left at the rate so far; -1 when unknown.
    qint64 remainingMs() const;

signals:
    // At most about ten times a second while running, and once at the start
    // and the end.
    void changed();
    void runningChanged(bool running);

private:
    void notify(bool always);

    QElapsedTimer m_clock;
    QElapsedTimer m_stageClock;
    QElapsedTimer m_sinceNotified;
    qint64 m_done = 0;
    qint64 m_total = -1;
    bool m_running = false;
    bool m_cancelRequested = false;
};
