#include "fileeventpoint.h"

namespace {

// Often enough for repaints and "Прервать" to feel immediate, seldom enough
// to cost nothing measurable beside the work.
constexpr qint64 eventIntervalMs = 50;

} // namespace

PacedEventPoint::PacedEventPoint(FileEventPoint point) : m_point(std::move(point))
{
    m_clock.start();
}

bool PacedEventPoint::lookAtClock(qint64 done)
{
    if (m_clock.elapsed() < eventIntervalMs)
        return true;
    const bool goOn = m_point(done);
    // From the end of the events handled: what took them is no work's time.
    m_clock.restart();
    return goOn;
}
