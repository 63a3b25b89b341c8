#include "qmytablegenericwidget.h"

#include "customitemdelegate.h"
#include "tableoperations.h"

#include <QDebug>
#include <QHeaderView>

QMyTableGenericWidget::QMyTableGenericWidget(QWidget *parent) : QMyTableWidget(parent)
{
    setItemDelegate(new customItemDelegate(this));
}

void QMyTableGenericWidget::on_itemChanged(QTableWidgetItem *item)
{
    qDebug() << "QMyTableGenericWidget::on_itemChanged";
    if (item)
        checkCell(*item);
}

// The last column keeps its width while rows come in: stretched, it would be
// fitted again, and the view repainted, at every layout of the read.
QMyTableGenericWidget::AppendingRows::AppendingRows(QMyTableGenericWidget &grid)
    : m_grid(grid), m_stretched(grid.horizontalHeader()->stretchLastSection())
{
    m_grid.m_rowsLaidOut = m_grid.rowCount();
    m_grid.horizontalHeader()->setStretchLastSection(false);
}

QMyTableGenericWidget::AppendingRows::~AppendingRows()
{
    m_grid.m_rowsLaidOut = -1;
    m_grid.horizontalHeader()->setStretchLastSection(m_stretched);
}

// A read processes events every few rows, and each row appended makes the view
// lay itself out and repaint every visible cell; for a long table that repaint
// would cost more than the read itself. Rows appended below the last visible
// one change only what the scroll bars and headers show.
void QMyTableGenericWidget::doItemsLayout()
{
    const int lastVisibleRow = rowAt(viewport()->height() - 1);
    const bool appendedBelow = m_rowsLaidOut >= 0 && rowCount() >= m_rowsLaidOut &&
                               lastVisibleRow >= 0 && lastVisibleRow < m_rowsLaidOut;
    if (m_rowsLaidOut >= 0)
        m_rowsLaidOut = rowCount();
    if (appendedBelow)
        updateGeometries();
    else
        QMyTableWidget::doItemsLayout();
}

int QMyTableGenericWidget::readTable(protocolBase &protocol)
{
    const AppendingRows appending(*this);
    return TableOperations::readTable(protocol, data(), operationProgress());
}

int QMyTableGenericWidget::continueReading(protocolBase &protocol)
{
    const AppendingRows appending(*this);
    return TableOperations::continueTable(protocol, data(), operationProgress());
}
