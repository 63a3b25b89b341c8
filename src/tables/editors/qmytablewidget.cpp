#include "qmytablewidget.h"

#include "cellfield.h"
#include "cellmarks.h"
#include "errorcode.h"
#include "eventpoint.h"
#include "fieldvaluecache.h"
#include "gridhistory.h"
#include "gridpaste.h"
#include "gridrollback.h"
#include "gridtable.h"
#include "operationprogress.h"
#include "progresstext.h"
#include "tablecatalogue.h"
#include "tablefile.h"
#include "tableoperations.h"
#include "tableshape.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QToolTip>

QMyTableWidget::QMyTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(this, &QTableWidget::itemChanged, this, &QMyTableWidget::on_itemChanged);
}

QMyTableWidget::~QMyTableWidget() = default;

// Made on first use: the table number is the subclass's to give.
GridTable &QMyTableWidget::grid()
{
    if (!m_data)
        m_data = std::make_unique<GridTable>(*this, tableNumber());
    return *m_data;
}

TableData &QMyTableWidget::data()
{
    return grid();
}

const TableData &QMyTableWidget::data() const
{
    return const_cast<QMyTableWidget *>(this)->data();
}

int QMyTableWidget::continueReading(protocolBase &protocol)
{
    return TableOperations::continueTable(protocol, data(), m_progress);
}

int QMyTableWidget::writeTable(protocolBase &protocol)
{
    return TableOperations::writeTable(protocol, data(), nullptr, m_progress);
}

bool QMyTableWidget::isWritable()
{
    return TableCatalogue::isWritable(tableNumber());
}

QString QMyTableWidget::fileFilter()
{
    return TableFile::fileFilter(tableNumber());
}

int QMyTableWidget::cellsToWrite()
{
    return TableOperations::cellsToWrite(data());
}

FileEventPoint QMyTableWidget::fileEventPoint() const
{
    return [progress = m_progress](qint64 done) { return eventPoint(progress, done); };
}

int QMyTableWidget::saveToFile(const QString &path)
{
    return TableFile::save(data(), path, TableFile::formatOf(tableNumber(), path),
                           fileEventPoint());
}

int QMyTableWidget::loadFromFile(const QString &path, QString *why)
{
    PendingLoad apply;
    int result = TableFile::check(data(), path, apply, fileEventPoint(), why);
    if (result != ERR_OK)
        return result;
    result = applyLoad(apply);
    if (result != ERR_OK) {
        takeBackLoad();
        return result;
    }
    GridHistory::Parts step;
    step.push_back(settleLoad());
    if (m_history)
        m_history->record(tr("загрузка файла"), std::move(step));
    return result;
}

int QMyTableWidget::applyLoad(const PendingLoad &apply)
{
    if (m_progress)
        m_progress->startStage(apply.records(), ProgressText::Work::RecordsPlaced);
    m_rollback = std::make_unique<GridRollback>(*this);
    grid().setRollback(m_rollback.get());
    const int result = apply(fileEventPoint());
    grid().setRollback(nullptr);
    return result;
}

void QMyTableWidget::takeBackLoad()
{
    if (m_rollback)
        m_rollback->restore();
    m_rollback.reset();
}

// A loaded cell whose text is already in the grid stays as it was, mark and
// all. A table that is never written keeps no change marks: they would ask
// for a write that cannot come.
std::unique_ptr<GridRollback> QMyTableWidget::settleLoad()
{
    grid().setRollback(m_rollback.get());
    clearComparison();
    TableData &table = data();
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (table.highlight(row, column) == CellHighlight::WriteMismatch)
                table.setHighlight(row, column, CellHighlight::None);
        }
    }
    grid().setRollback(nullptr);
    if (isWritable())
        return std::move(m_rollback);
    const QuietTable quiet(table);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            if (table.isChanged(row, column))
                table.setChanged(row, column, false);
        }
    }
    return std::move(m_rollback);
}

bool QMyTableWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool opened = QTableWidget::edit(index, trigger, event);
    if (opened)
        m_edited = index;
    return opened;
}

// The cell may no longer be current by now. An edit that leaves the text and
// its mark as they were is no step: the copy kept goes.
void QMyTableWidget::commitData(QWidget *editor)
{
    const QModelIndex index = m_edited;
    if (!m_history || !index.isValid()) {
        QTableWidget::commitData(editor);
        return;
    }
    const int row = index.row();
    const int column = index.column();
    auto step = std::make_unique<GridRollback>(*this);
    step->keepCopy(row, column);
    const QTableWidgetItem *cell = item(row, column);
    const QString text = cell ? cell->text() : QString();
    const bool changed = cell && CellMarks::isChanged(*cell);
    QTableWidget::commitData(editor);
    cell = item(row, column);
    if (cell && cell->text() == text && CellMarks::isChanged(*cell) == changed)
        return;
    GridHistory::Parts parts;
    parts.push_back(std::move(step));
    m_history->record(tr("правка ячейки"), std::move(parts));
}

QString QMyTableWidget::paste(const QString &text)
{
    const int top = currentRow();
    const int left = currentColumn();
    if (top < 0 || left < 0)
        return QString();
    const GridPaste::Block block = GridPaste::parse(text);
    const QString refusal = GridPaste::refusal(*this, top, left, block);
    if (!refusal.isEmpty())
        return refusal;
    QVector<CellText> texts;
    for (int row = 0; row < block.size(); ++row) {
        for (int column = 0; column < block[row].size(); ++column)
            texts.append({top + row, left + column, block[row][column]});
    }
    putTexts(texts, ProgressText::pasted(block.size()));
    return QString();
}

// The grid is kept quiet and each cell checked here: the items' signals would
// check every cell twice over, for its text and for its colour.
bool QMyTableWidget::putTexts(const QVector<CellText> &texts, const QString &name,
                              const FileEventPoint &point)
{
    auto step = std::make_unique<GridRollback>(*this);
    FieldValueCache values(data());
    PacedEventPoint paced(point);
    bool changed = false;
    {
        const QSignalBlocker quiet(this);
        for (int done = 0; done < texts.size(); ++done) {
            if (!paced.step(done)) {
                step->restore();
                return false;
            }
            const CellText &text = texts[done];
            QTableWidgetItem *cell = item(text.row, text.column);
            if (cell->text() == text.text)
                continue;
            step->keepCopy(text.row, text.column);
            cell->setText(text.text);
            CellMarks::setValidity(*cell,
                                   values.isValid(text.row, text.column, cell->type(), text.text));
            CellMarks::setWeight(*cell, CellMarks::changedWeight);
            changed = true;
        }
    }
    if (changed && m_history) {
        GridHistory::Parts parts;
        parts.push_back(std::move(step));
        m_history->record(name, std::move(parts));
    }
    return true;
}

void QMyTableWidget::keyPressEvent(QKeyEvent *event)
{
    if (!event->matches(QKeySequence::Paste)) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    const QString refusal = paste(QGuiApplication::clipboard()->text());
    if (!refusal.isEmpty())
        QMessageBox::warning(this, tr("Вставка"), refusal);
}

QTableWidgetItem *QMyTableWidget::findInvalidItem()
{
    int row = 0;
    int column = 0;
    return TableShape::firstInvalidCell(data(), row, column) ? item(row, column) : nullptr;
}

void QMyTableWidget::checkCell(QTableWidgetItem &item)
{
    CellMarks::setValidity(
        item, TableShape::isValid(data(), item.row(), item.column(), item.type(), item.text()));
}

bool QMyTableWidget::fieldAddress(int row, int column, FieldAddress &address)
{
    return TableShape::fieldAddress(data(), row, column, address);
}

bool QMyTableWidget::sameValue(int row, int column, const QString &first, const QString &second)
{
    return TableShape::sameValue(data(), row, column, first, second);
}

QString QMyTableWidget::cellToolTip(int row, int column)
{
    return TableShape::cellRule(data(), row, column);
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

void QMyTableWidget::compareWith(const TableData &other)
{
    m_comparison.compare(data(), other);
    m_compared = true;
}

void QMyTableWidget::clearComparison()
{
    if (!m_compared)
        return;
    TableComparison::clear(data());
    m_compared = false;
}

bool QMyTableWidget::hasChangedCells() const
{
    return TableOperations::hasChangedCells(data());
}
