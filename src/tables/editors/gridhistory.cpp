#include "gridhistory.h"

#include "gridrollback.h"

#include <algorithm>

GridHistory::GridHistory(QObject *parent) : QObject(parent) {}

GridHistory::~GridHistory() = default;

void GridHistory::record(const QString &name, Parts parts)
{
    m_redo.clear();
    m_undo.push_back({name, std::move(parts)});
    emit changed();
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

void GridHistory::forget(Steps &steps, const QTableWidget &grid)
{
    steps.erase(std::remove_if(steps.begin(), steps.end(),
                               [&grid](const Step &step) {
                                   return std::any_of(step.parts.cbegin(), step.parts.cend(),
                                                      [&grid](const auto &part) {
                                                          return &part->grid() == &grid;
                                                      });
                               }),
                steps.end());
}

void GridHistory::forget(const QTableWidget &grid)
{
    forget(m_undo, grid);
    forget(m_redo, grid);
    emit changed();
}
