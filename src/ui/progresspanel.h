#pragma once

#include "progresstext.h"
#include "tableoperations.h"

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
class ProgressPanel : public QWidget, public ProgressReport
{
    Q_OBJECT
public:
    ProgressPanel(OperationProgress &progress, QWidget *window);

    // Starts the operation's progress; one that has event points can be stopped.
    void start(ProgressText::Work work, qint64 total, bool cancellable);
    // A part of an operation over several tables: the running text starts
    // with label and counts the part's work towards its total.
    void startPart(const QString &label, qint64 total) override;
    // The check that follows a write: the running text counts the fields
    // read back towards total, and the summary says how far the checks got.
    void startCheck(qint64 total) override;
    void endCheck(qint64 checked) override;
    // Ends it with the summary of what was done in all and how it ended.
    void finish(qint64 count, int result);

private:
    void showRunning();

    OperationProgress &m_progress;
    ElidingLabel *m_text;
    QPushButton *m_cancel;
    QShortcut *m_escape;
    ProgressText::Work m_work = ProgressText::Work::RecordsRead;
    bool m_showsRunning = false;
    QString m_partLabel;
    bool m_checking = false;
    // Of the checks after writes, summed over the parts; total -1 without one.
    qint64 m_checkTotal = -1;
    qint64 m_checked = 0;
};
