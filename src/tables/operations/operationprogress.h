#pragma once

#include "progresstext.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <optional>

// The progress of the one long operation running (a table read or write, a
// dump, a file load or save) and the user's wish to stop it. The work loops
// report what they have done at their event points, where the program also
// gets to handle its events; the window's status bar and the command line's
// terminal line only show it.
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
    // rate; elapsedMs still covers the whole operation. The stage counts the
    // work given instead of the operation's own, if any: the records a load
    // puts into its grid once it has read the file's bytes.
    void startStage(qint64 total, std::optional<ProgressText::Work> work = std::nullopt);
    // A part of an operation over several tables: the running text starts
    // with label and counts the part's work towards its total, as a stage.
    void startPart(const QString &label, qint64 total,
                   std::optional<ProgressText::Work> work = std::nullopt);
    // The check that follows a write, a stage towards the fields written;
    // the checks of one operation add up.
    void startCheck(qint64 total);
    void endCheck(qint64 checked);
    // Lets the program handle pending events, notes what is done, and says
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
    // "Таблица 2 из 11, «Настройки»: Записи: 12 из 40, …": the part's label
    // and what is done, counted as work, or as the stage's own work (fields
    // checked during a check).
    QString runningText(ProgressText::Work work) const;
    // The fields the checks after writes were to read back, and read; the
    // total is -1 when no check ran.
    qint64 checkTotal() const { return m_checkTotal; }
    qint64 checked() const { return m_checked; }

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
    QString m_partLabel;
    // What the stage counts, when not the operation's own work.
    std::optional<ProgressText::Work> m_stageWork;
    qint64 m_checkTotal = -1;
    qint64 m_checked = 0;
};
