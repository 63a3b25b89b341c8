#include "qmytablewidget.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "errorcode.h"
#include "operationprogress.h"
#include "writecheck.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QSignalBlocker>
#include <QToolTip>

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

int QMyTableWidget::loadFromFile(const QString &path)
{
    const int result = loadFile(path);
    if (result == ERR_OK)
        settleLoad();
    return result;
}

void QMyTableWidget::applyLoad(const PendingLoad &apply)
{
    apply();
    settleLoad();
}

// A loaded cell whose text is already in the grid stays as it was, mark and
// all. A table that is never written keeps no change marks: they would ask
// for a write that cannot come.
void QMyTableWidget::settleLoad()
{
    CellMarks::clearHighlights(*this, CellMarks::Highlight::WriteMismatch);
    clearComparison();
    if (isWritable())
        return;
    const QSignalBlocker quiet(this);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (QTableWidgetItem *cell = item(row, column); cell && CellMarks::isChanged(*cell))
                CellMarks::setWeight(*cell, CellMarks::unchangedWeight);
        }
    }
}

bool QMyTableWidget::sameValue(int row, int column, const QString &first, const QString &second)
{
    FieldAddress address;
    const QTableWidgetItem *cell = item(row, column);
    return cell && fieldAddress(row, column, address) &&
           ::sameValue(address, cell->type(), first, second);
}

QString QMyTableWidget::cellToolTip(int row, int column)
{
    FieldAddress address;
    const QTableWidgetItem *cell = item(row, column);
    if (!cell || !fieldAddress(row, column, address))
        return QString();
    const QString rule = fieldRule(address, cell->type());
    return CellMarks::isInvalid(*cell) ? tr("Неверное значение. ") + rule : rule;
}

bool QMyTableWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.isValid() ? cellToolTip(index.row(), index.column()) : QString();
        if (!text.isEmpty()) {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
            return true;
        }
    }
    return QTableWidget::viewportEvent(event);
}

void QMyTableWidget::compareWith(const QMyTableWidget &other)
{
    m_comparison.compare(*this, other,
                         [this](int row, int column, const QString &first, const QString &second) {
                             return sameValue(row, column, first, second);
                         });
    m_compared = true;
}

void QMyTableWidget::clearComparison()
{
    if (!m_compared)
        return;
    TableComparison::clear(*this);
    m_compared = false;
}

int QMyTableWidget::sendCell(protocolBase &protocol, const FieldAddress &address,
                             QTableWidgetItem &cell)
{
    FieldPtr sent;
    const int result = writeCell(protocol, address, cell, sent);
    if (result != ERR_OK)
        return result;
    if (CellMarks::isChanged(cell))
        CellMarks::setWeight(cell, CellMarks::unchangedWeight);
    CellMarks::setHighlight(cell, CellMarks::Highlight::None);
    if (m_writeCheck)
        m_writeCheck->noteWritten(address, *sent, cell);
    return ERR_OK;
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
