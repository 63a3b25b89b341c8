#pragma once

#include <vector>

class QTableWidget;
class QTableWidgetItem;

// What a load replaces in a grid, kept until the load is settled, so that a
// load that stops can put the grid back as it was: its row count and the very
// items the load replaced or dropped, with their texts and marks. Only the
// rows the grid had are kept; rows the load added simply go again. Nothing is
// copied: a load into an empty grid keeps nothing at all.
//
// A settled change may stay as a step that can be undone: swap puts the kept
// items back and keeps, in their place, the very items it takes out, so that
// the next swap does the change again.
class GridRollback
{
public:
    explicit GridRollback(QTableWidget &grid);
    // The load stays: the items it replaced are deleted.
    ~GridRollback();
    GridRollback(const GridRollback &) = delete;
    GridRollback &operator=(const GridRollback &) = delete;

    // Takes the cell's item out of the grid for the load to put another in its place.
    void keep(int row, int column);
    // Keeps a copy of the cell's item, which is about to change in place.
    void keepCopy(int row, int column);
    // Takes the items of the rows from row on out of the grid, which the load drops.
    void keepRowsFrom(int row);
    // Puts the grid back as it was. The items come back quietly, as they
    // were: they are no edits, and their marks are theirs already.
    void restore();
    // Puts the grid back as it was and keeps what it was changed to, row
    // count included: swapped again, the grid is changed again.
    void swap();
    QTableWidget &grid() const { return m_grid; }
    // The cells kept, each an item (or the note of a missing one).
    std::size_t size() const { return m_kept.size(); }

private:
    struct Kept
    {
        int row;
        int column;
        // nullptr for a cell that was missing.
        QTableWidgetItem *item;
    };

    QTableWidget &m_grid;
    int m_rows;
    std::vector<Kept> m_kept;
};
