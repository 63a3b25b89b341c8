#include "fileeventpoint.h"

namespace {

// Often enough for repaints and "Прервать" to feel immediate, seldom enough
// to cost nothing measurable beside the work.
constexpr qint64 eventIntervalMs = 50;

} // namespace

PacedEventPoint::PacedEventPoint(FileEventPoint point) : m_point(std::move(point)) {}

// The clock runs from the first event point on.
bool PacedEventPoint::lookAtClock(qint64 done)
{
    if (m_clock.isValid() && m_clock.elapsed() < eventIntervalMs)
        return true;
    const bool goOn = m_point(done);
    // From the end of the events handled: what took them is no work's time.
    m_clock.start();
    return goOn;
}
