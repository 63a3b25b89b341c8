#pragma once

#include "tabledata.h"

#include <QPoint>
#include <QVector>

// Compares a table with another of the same table number, row r with row r,
// and gives the table's differing cells the difference highlight. Two texts
// that stand for the same value in the register do not differ. Texts and
// changed marks stay as they are. A cell whose highlight was the register's
// refusal of a write takes the difference highlight instead when it differs.
class TableComparison
{
public:
    // Takes the previous comparison's highlights away and highlights what
    // differs now. A missing cell counts as empty; one that differs is
    // counted, but a cell is never created to carry the highlight.
    void compare(TableData &table, const TableData &other);
    // Takes every difference highlight away.
    static void clear(TableData &table);

    int differentCells() const { return m_differentCells; }
    // Rows the other lacks, each counted once, all of their cells highlighted.
    int rowsOnlyInTable() const { return m_rowsOnlyInTable; }
    // Rows the table lacks: counted, with nothing to highlight.
    int rowsOnlyInOther() const { return m_rowsOnlyInOther; }
    int differences() const { return m_differentCells + m_rowsOnlyInTable + m_rowsOnlyInOther; }

    // The first cell still highlighted as a difference after (forward) or
    // before (row, column) in row-major order, wrapping around; a position
    // outside the table starts from its first or last cell. False when none.
    static bool nextDifference(const TableData &table, int &row, int &column, bool forward);

    // The differences not yet edited away: a cell while it keeps its
    // highlight, or stays missing; a row only in the table while one of its
    // cells does; and every row only in the other.
    int remaining(const TableData &table) const;

private:
    int m_differentCells = 0;
    int m_rowsOnlyInTable = 0;
    int m_rowsOnlyInOther = 0;
    // The rows both tables had, and the table's rows, when compared.
    int m_commonRows = 0;
    int m_tableRows = 0;
    // Differing cells the table had none for, as (column, row).
    QVector<QPoint> m_missingCells;
};
