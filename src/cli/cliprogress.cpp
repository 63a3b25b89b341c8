#include "cliprogress.h"

#include "operationprogress.h"

#include <cstdio>

CliProgress::CliProgress(OperationProgress &progress, bool enabled)
    : m_progress(progress), m_enabled(enabled)
{
    if (m_enabled)
        connect(&m_progress, &OperationProgress::changed, this, [this] {
            if (m_progress.isRunning())
                show();
        });
}

void CliProgress::start(ProgressText::Work work)
{
    m_work = work;
}

void CliProgress::clear()
{
    if (!m_shown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

void CliProgress::show()
{
    const QString text = m_progress.runningText(m_work);
    std::fprintf(stderr, "\r%s\x1b[K", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_shown = true;
}
