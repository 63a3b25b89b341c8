#pragma once

#include <QElapsedTimer>

#include <functional>

// The event point of work on a table file, called with what is done so far
// (the file's bytes read, the records put into a table or written out): it
// lets the program handle its events and returns false once the user asked to
// stop. An empty one has nothing to do.
using FileEventPoint = std::function<bool(qint64 done)>;

// Offers every step of a loop over a file to an event point, which it calls
// once early in the loop, so that a short one too shows its progress and can
// be stopped, then about every 50 ms at most: the steps are lines and cells,
// hundreds of thousands of them, each far cheaper than handling the window's
// events.
class PacedEventPoint
{
public:
    explicit PacedEventPoint(FileEventPoint point = {});

    // False once the user asked to stop.
    bool step(qint64 done)
    {
        if (!m_point || ++m_steps % stepsPerLook != 0)
            return true;
        return lookAtClock(done);
    }

private:
    // The clock is looked at every this many steps only.
    static constexpr unsigned stepsPerLook = 256;

    bool lookAtClock(qint64 done);

    FileEventPoint m_point;
    QElapsedTimer m_clock;
    unsigned m_steps = 0;
};
