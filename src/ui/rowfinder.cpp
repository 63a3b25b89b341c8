#include "rowfinder.h"

#include "cellmarks.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QTableWidget>

RowFinder::RowFinder(QTableWidget &grid, const QVector<int> &columns, QWidget *parent)
    : QLineEdit(parent), m_grid(grid), m_columns(columns)
{
    setObjectName(QStringLiteral("rowFinder"));
    setPlaceholderText(tr("Штрихкод или часть названия; Enter — следующий, Esc — закрыть"));
    setClearButtonEnabled(true);
    hide();
    connect(this, &QLineEdit::returnPressed, this, &RowFinder::findNext);
    connect(this, &QLineEdit::textEdited, this, [this] { showFound(true); });
    // Any edit in the grid ends the mark, whichever cell it is in.
    connect(grid.itemDelegate(), &QAbstractItemDelegate::commitData, this, &RowFinder::unmark);
}

void RowFinder::open()
{
    show();
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

bool RowFinder::findNext()
{
    unmark();
    const int rows = m_grid.rowCount();
    if (text().isEmpty() || rows == 0)
        return false;
    const int start = m_grid.currentRow() + 1;
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        int column = 0;
        if (matches(row, column)) {
            m_grid.setCurrentCell(row, column);
            QTableWidgetItem *cell = m_grid.item(row, column);
            m_grid.scrollToItem(cell, QAbstractItemView::PositionAtCenter);
            // The focus stays here, so the current cell alone would not show.
            CellMarks::setFound(*cell, true);
            m_found = m_grid.model()->index(row, column);
            showFound(true);
            return true;
        }
    }
    showFound(false);
    return false;
}

void RowFinder::unmark()
{
    // After a read or a load another cell may stand there, with no mark to lose.
    QTableWidgetItem *cell =
        m_found.isValid() ? m_grid.item(m_found.row(), m_found.column()) : nullptr;
    if (cell)
        CellMarks::setFound(*cell, false);
    m_found = QPersistentModelIndex();
}

bool RowFinder::matches(int row, int &column) const
{
    for (int searched : m_columns) {
        const QTableWidgetItem *cell = m_grid.item(row, searched);
        if (cell && cell->text().contains(text(), Qt::CaseInsensitive)) {
            column = searched;
            return true;
        }
    }
    return false;
}

void RowFinder::showFound(bool found)
{
    setStyleSheet(found ? QString() : QStringLiteral("QLineEdit { background-color : #ffd0d0; }"));
    setToolTip(found ? QString() : tr("Не найдено"));
}

void RowFinder::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        m_grid.setFocus();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
