#include "qmytablegenericwidget.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "customitemdelegate.h"
#include "errorcode.h"
#include "generictablefile.h"
#include "protocolbase.h"
#include "tablecatalogue.h"
#include "tablelimits.h"

#include <QDebug>
#include <QHeaderView>

namespace {

// Events are processed before every this many rows of a read.
constexpr int readEventInterval = 20;

} // namespace

QMyTableGenericWidget::QMyTableGenericWidget(QWidget *parent) : QMyTableWidget(parent)
{
    setItemDelegate(new customItemDelegate(this));
}

void QMyTableGenericWidget::on_itemChanged(QTableWidgetItem *item)
{
    qDebug() << "QMyTableGenericWidget::on_itemChanged";
    if (!item)
        return;
    FieldAddress address;
    CellMarks::setValidity(*item, fieldAddress(item->row(), item->column(), address) &&
                                      cellIsValid(address, *item));
}

bool QMyTableGenericWidget::fieldAddress(int row, int column, FieldAddress &address)
{
    const int table = tableNumber();
    address = {table, row + 1, column + 1, fieldType(table, column + 1)};
    return true;
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
    const int table = tableNumber();
    const int fields = fieldCount(table);
    for (int row = 1; row <= maxTableRows; ++row) {
        if (row % readEventInterval == 0 && !eventPoint(row - 1))
            return ERR_CANCELLED;
        try {
            for (int field = 1; field <= fields; ++field) {
                const FieldPtr value(
                    protocol.readField(fieldType(table, field), table, row, field));
                setRowCount(row);
                setItem(row - 1, field - 1, newReadCell(*value));
            }
        } catch (ErrorCode code) {
            if (code == ERR_DEVICE_WRONG_ROW)
                return ERR_OK;
            // -260 ends the record early; the rest of the row stays empty.
            if (code != ERR_DEVICE_WRONG_FIELD)
                return code;
        }
    }
    return ERR_OK;
}

QTableWidgetItem *QMyTableGenericWidget::newReadCell(FieldBase &value)
{
    QString text;
    value.toString(text);
    auto *cell = new QTableWidgetItem(text, value.width());
    if (!isWritable())
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    return cell;
}

int QMyTableGenericWidget::writeTable(protocolBase &protocol)
{
    if (rowCount() == 0)
        return ERR_TABLE_EMPTY;
    const int fields = fieldCount(tableNumber());
    int written = 0;
    for (int row = 1; row <= rowCount(); ++row) {
        for (int field = 1; field <= fields; ++field) {
            QTableWidgetItem *cell = item(row - 1, field - 1);
            if (!cell)
                return ERR_INVALID_DATA;
            FieldAddress address;
            fieldAddress(row - 1, field - 1, address);
            const int result = writeIfChanged(protocol, *cell, address, written);
            if (result != ERR_OK)
                return result;
        }
        // A stop asked for after the last row comes too late to matter.
        if (row % 2 == 1 && !eventPoint(written) && row < rowCount())
            return ERR_CANCELLED;
    }
    return ERR_OK;
}

int QMyTableGenericWidget::writeIfChanged(protocolBase &protocol, QTableWidgetItem &cell,
                                          const FieldAddress &address, int &written)
{
    if (!CellMarks::isChanged(cell))
        return ERR_OK;
    const int result = sendCell(protocol, address, cell);
    if (result == ERR_OK)
        ++written;
    return result;
}

int QMyTableGenericWidget::saveToFile(const QString &path)
{
    return GenericTableFile::save(*this, tableNumber(), path);
}

int QMyTableGenericWidget::writeTableFile(QTextStream &out)
{
    return GenericTableFile::write(*this, tableNumber(), out);
}

int QMyTableGenericWidget::parseTableFile(TableLines &lines, const QString &firstLine,
                                          PendingLoad &apply)
{
    return GenericTableFile::parse(lines, firstLine, *this, tableNumber(), true, apply);
}

int QMyTableGenericWidget::loadFile(const QString &path)
{
    return GenericTableFile::load(*this, tableNumber(), path);
}

QTableWidgetItem *QMyTableGenericWidget::findInvalidItem()
{
    const int fields = fieldCount(tableNumber());
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < fields; ++column) {
            QTableWidgetItem *cell = item(row, column);
            if (cell && CellMarks::isInvalid(*cell))
                return cell;
        }
    }
    return nullptr;
}
