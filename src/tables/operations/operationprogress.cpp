#include "operationprogress.h"

#include <QCoreApplication>

namespace {

// Faster than the eye reads a changing number, and cheap beside a long read.
constexpr qint64 NotifyIntervalMs = 100;

} // namespace

void OperationProgress::start(qint64 total)
{
    m_done = 0;
    m_total = total;
    m_cancelRequested = false;
    m_partLabel.clear();
    m_stageWork.reset();
    m_checkTotal = -1;
    m_checked = 0;
    m_running = true;
    m_clock.start();
    m_stageClock.start();
    emit runningChanged(true);
    notify(true);
}

void OperationProgress::startStage(qint64 total, std::optional<ProgressText::Work> work)
{
    m_done = 0;
    m_total = total;
    m_stageWork = work;
    m_stageClock.start();
    notify(true);
}

void OperationProgress::startPart(const QString &label, qint64 total,
                                  std::optional<ProgressText::Work> work)
{
    m_partLabel = label;
    startStage(total, work);
}

void OperationProgress::startCheck(qint64 total)
{
    m_checkTotal = qMax<qint64>(m_checkTotal, 0) + total;
    startStage(total, ProgressText::Work::FieldsChecked);
}

void OperationProgress::endCheck(qint64 checked)
{
    m_stageWork.reset();
    m_checked += checked;
}

bool OperationProgress::eventPoint(qint64 done)
{
    m_done = done;
    notify(false);
    QCoreApplication::processEvents();
    return !m_cancelRequested;
}

void OperationProgress::finish(qint64 done)
{
    m_done = done;
    m_running = false;
    emit runningChanged(false);
    notify(true);
}

void OperationProgress::requestCancel()
{
    if (m_running)
        m_cancelRequested = true;
}

double OperationProgress::rate() const
{
    const qint64 elapsed = m_stageClock.isValid() ? m_stageClock.elapsed() : 0;
    return elapsed > 0 ? m_done * 1000.0 / elapsed : 0;
}

qint64 OperationProgress::remainingMs() const
{
    const double perSecond = rate();
    if (m_total < 0 || perSecond <= 0)
        return -1;
    return qint64(qMax<qint64>(0, m_total - m_done) * 1000.0 / perSecond);
}

QString OperationProgress::runningText(ProgressText::Work work) const
{
    return m_partLabel + ProgressText::running(m_stageWork.value_or(work), m_done, m_total, rate(),
                                               remainingMs());
}

void OperationProgress::notify(bool always)
{
    if (!always && m_sinceNotified.isValid() && m_sinceNotified.elapsed() < NotifyIntervalMs)
        return;
    m_sinceNotified.start();
    emit changed();
}
