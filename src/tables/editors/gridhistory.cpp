#include "gridhistory.h"

#include "gridrollback.h"

#include <QSet>

#include <algorithm>

GridHistory::GridHistory(QObject *parent, std::size_t keptCellsLimit)
    : QObject(parent), m_keptCellsLimit(keptCellsLimit)
{
}

GridHistory::~GridHistory() = default;

void GridHistory::record(const QString &name, Parts parts)
{
    m_redo.clear();
    m_undo.push_back({name, std::move(parts)});
    dropOldest();
    emit changed();
}

std::size_t GridHistory::kept(const Step &step)
{
    std::size_t cells = 0;
    for (const auto &part : step.parts)
        cells += part->size();
    return cells;
}

void GridHistory::dropOldest()
{
    std::size_t cells = 0;
    for (const Step &step : m_undo)
        cells += kept(step);
    while (cells > m_keptCellsLimit && m_undo.size() > 1) {
        cells -= kept(m_undo.front());
        m_undo.erase(m_undo.begin());
    }
}

void GridHistory::move(Steps &from, Steps &to)
{
    if (from.empty())
        return;
    for (const auto &part : from.back().parts)
        part->swap();
    to.push_back(std::move(from.back()));
    from.pop_back();
}

void GridHistory::undo()
{
    move(m_undo, m_redo);
    emit changed();
}

void GridHistory::redo()
{
    move(m_redo, m_undo);
    emit changed();
}

QString GridHistory::undoName() const
{
    return m_undo.empty() ? QString() : m_undo.back().name;
}

QString GridHistory::redoName() const
{
    return m_redo.empty() ? QString() : m_redo.back().name;
}

// From the nearest step on: a step that changed the grid goes, and so does
// every step beyond it that changed a grid it changed too, as undoing or
// redoing that one would put back what the gone step had replaced.
void GridHistory::forget(Steps &steps, const QTableWidget &grid)
{
    QSet<const QTableWidget *> gone{&grid};
    const auto changesGone = [&gone](const Step &step) {
        return std::any_of(step.parts.cbegin(), step.parts.cend(),
                           [&gone](const auto &part) { return gone.contains(&part->grid()); });
    };
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (!changesGone(*step))
            continue;
        for (const auto &part : step->parts)
            gone.insert(&part->grid());
        step->parts.clear();
    }
    steps.erase(std::remove_if(steps.begin(), steps.end(),
                               [](const Step &step) { return step.parts.empty(); }),
                steps.end());
}

void GridHistory::forget(const QTableWidget &grid)
{
    forget(m_undo, grid);
    forget(m_redo, grid);
    emit changed();
}
