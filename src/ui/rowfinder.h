#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QVector>

class QTableWidget;

// The search field above a grid: finds the next row one of whose searched
// columns holds the text typed, in any case. Enter goes on to the next
// match, wrapping at the end; Esc hides the field and gives the grid the focus.
// The cell found is current and marked found until the next search or an
// edit in the grid.
class RowFinder : public QLineEdit
{
    Q_OBJECT
public:
    RowFinder(QTableWidget &grid, const QVector<int> &columns, QWidget *parent = nullptr);
    // Shows the field with its text selected, ready for typing.
    void open();
    // Moves to the next match after the current row; false when none.
    bool findNext();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool matches(int row, int &column) const;
    void showFound(bool found);
    void unmark();

    QTableWidget &m_grid;
    const QVector<int> m_columns;
    QPersistentModelIndex m_found;
};
