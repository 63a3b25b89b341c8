#pragma once

#include "progresstext.h"

#include <QObject>

class OperationProgress;

// The running count, rate and time left of the operation on one line of
// standard error, rewritten in place: only where standard error is a
// terminal, as a script's log would fill with them.
class CliProgress : public QObject
{
public:
    CliProgress(OperationProgress &progress, bool enabled);

    void start(ProgressText::Work work);
    // Takes the line away, before a summary is printed.
    void clear();

private:
    void show();

    OperationProgress &m_progress;
    const bool m_enabled;
    ProgressText::Work m_work = ProgressText::Work::RecordsRead;
    bool m_shown = false;
};
