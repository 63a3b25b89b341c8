#include "qmytablewidget.h"

#include "cellmarks.h"
#include "operationprogress.h"

#include <QCoreApplication>

QMyTableWidget::QMyTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(this, &QTableWidget::itemChanged, this, &QMyTableWidget::on_itemChanged);
}

bool QMyTableWidget::isWritable()
{
    return true;
}

QString QMyTableWidget::fileFilter()
{
    return tr("*.txt;;Все файлы (*.*)");
}

int QMyTableWidget::cellsToWrite()
{
    return changedCellCount();
}

bool QMyTableWidget::hasChangedCells() const
{
    return changedCellCount(true) > 0;
}

int QMyTableWidget::changedCellCount(bool firstOnly) const
{
    int count = 0;
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            const QTableWidgetItem *cell = item(row, column);
            if (!cell || !CellMarks::isChanged(*cell))
                continue;
            ++count;
            if (firstOnly)
                return count;
        }
    }
    return count;
}

bool QMyTableWidget::eventPoint(qint64 done)
{
    if (m_progress)
        return m_progress->eventPoint(done);
    QCoreApplication::processEvents();
    return true;
}
