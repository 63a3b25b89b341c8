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
    m_label.clear();
    m_checking = false;
}

void CliProgress::startPart(const QString &label, qint64 total)
{
    m_label = label;
    m_checking = false;
    m_progress.startStage(total);
}

void CliProgress::startCheck(qint64 total)
{
    m_checking = true;
    m_progress.startStage(total);
}

void CliProgress::endCheck(qint64)
{
    m_checking = false;
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
    const ProgressText::Work work = m_checking ? ProgressText::Work::FieldsChecked : m_work;
    const QString text =
        m_label + ProgressText::running(work, m_progress.done(), m_progress.total(),
                                        m_progress.rate(), m_progress.remainingMs());
    std::fprintf(stderr, "\r%s\x1b[K", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_shown = true;
}
