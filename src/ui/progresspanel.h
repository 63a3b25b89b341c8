#pragma once

#include "progresstext.h"

#include <QWidget>

class ElidingLabel;
class OperationProgress;
class QPushButton;
class QShortcut;

// The status bar's view of the long operation running: what it has done, its
// rate and the time left, then a one-line summary until the next one starts;
// and "Прервать", which stops it at its next event point (Esc does the same).
// The panel shows from the first operation on; "Прервать" only while there is
// something it can stop.
class ProgressPanel : public QWidget
{
    Q_OBJECT
public:
    ProgressPanel(OperationProgress &progress, QWidget *window);

    // Starts the operation's progress; one that has event points can be stopped.
    void start(ProgressText::Work work, qint64 total, bool cancellable);
    // While the port is gone: says so, with the seconds left and "Прервать",
    // lets the window handle its events, and tells whether to go on waiting;
    // waiting false goes back to the running count.
    bool waitForPort(bool waiting, qint64 msLeft);
    // Ends it with the summary of what was done in all, how far the checks
    // after writes got, the exchanges where any failed, and how it ended.
    void finish(qint64 count, int result, const ExchangeCounts &exchanges = {});

private:
    void showRunning();

    OperationProgress &m_progress;
    ElidingLabel *m_text;
    QPushButton *m_cancel;
    QShortcut *m_escape;
    ProgressText::Work m_work = ProgressText::Work::RecordsRead;
    bool m_showsRunning = false;
};
