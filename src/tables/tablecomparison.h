#pragma once

#include <QPoint>
#include <QString>
#include <QVector>

#include <functional>

class QTableWidget;
class QTableWidgetItem;

// Compares an editor grid with another of the same columns, row r with row r,
// and gives the grid's differing cells the difference highlight. Texts and
// changed marks stay as they are. A cell whose highlight was the register's
// refusal of a write takes the difference highlight instead when it differs.
class TableComparison
{
public:
    // Whether two different texts of a cell stand for the same value; equal
    // texts always do.
    using SameValue =
        std::function<bool(int row, int column, const QString &gridText, const QString &otherText)>;

    // Takes the previous comparison's highlights away and highlights what
    // differs now. A missing cell counts as empty; one that differs is
    // counted, but a cell is never created to carry the highlight.
    void compare(QTableWidget &grid, const QTableWidget &other, const SameValue &sameValue = {});
    // Takes every difference highlight away.
    static void clear(QTableWidget &grid);

    int differentCells() const { return m_differentCells; }
    // Rows the other lacks, each counted once, all of their cells highlighted.
    int rowsOnlyInGrid() const { return m_rowsOnlyInGrid; }
    // Rows the grid lacks: counted, with nothing to highlight.
    int rowsOnlyInOther() const { return m_rowsOnlyInOther; }
    int differences() const { return m_differentCells + m_rowsOnlyInGrid + m_rowsOnlyInOther; }

    // The first cell still highlighted as a difference after (forward) or
    // before (row, column) in row-major order, wrapping around; a position
    // outside the grid starts from its first or last cell. nullptr when none.
    static QTableWidgetItem *nextDifference(QTableWidget &grid, int row, int column, bool forward);

    // The differences not yet edited away: a cell while it keeps its
    // highlight, or stays missing; a row only in the grid while one of its
    // cells does; and every row only in the other.
    int remaining(const QTableWidget &grid) const;

private:
    int m_differentCells = 0;
    int m_rowsOnlyInGrid = 0;
    int m_rowsOnlyInOther = 0;
    // The rows both grids had, and the grid's rows, when compared.
    int m_commonRows = 0;
    int m_gridRows = 0;
    // Differing cells the grid had no item for, as (column, row).
    QVector<QPoint> m_missingCells;
};
