#pragma once

#include "tablecomparison.h"
#include "tablefilereader.h"

#include <QTableWidget>

class OperationProgress;
class WriteCheck;
class protocolBase;
class QTextStream;
struct FieldAddress;

// Abstract base of every table editor: a grid that reads a register table
// through the protocol, checks each cell against its field type, writes
// changed cells back, and saves or loads the table as a file.
//
// Cell conventions (CellMarks): the item type number is the field width in
// bytes; a red background marks a text the field type rejects, another colour
// a highlight; a font weight above 57 marks a changed cell that the next
// write sends.
class QMyTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit QMyTableWidget(QWidget *parent = nullptr);

public slots:
    virtual void on_itemChanged(QTableWidgetItem *item) = 0;

public:
    virtual int readTable(protocolBase &protocol) = 0;
    virtual int writeTable(protocolBase &protocol) = 0;
    virtual int tableNumber() = 0;
    virtual int saveToFile(const QString &path) = 0;
    // A good load also takes away the highlights of the last write's check
    // and of a comparison.
    int loadFromFile(const QString &path);
    // The table's tab-separated file, as a profile keeps it: written to out,
    // or checked from lines whose first one is given. A profile knows every
    // field it names, so a field beyond the grid's columns is refused.
    virtual int writeTableFile(QTextStream &out) = 0;
    virtual int parseTableFile(TableLines &lines, const QString &firstLine, PendingLoad &apply) = 0;
    // Puts a checked file into the grid, as loadFromFile does.
    void applyLoad(const PendingLoad &apply);
    // The first cell whose background is red, or nullptr.
    virtual QTableWidgetItem *findInvalidItem() = 0;
    virtual bool isWritable();
    // Filter string of the file dialogs.
    virtual QString fileFilter();
    // How many cells the next writeTable sends: the changed ones.
    virtual int cellsToWrite();

    // Where the cell's value lives in the register; false for a cell that
    // shows no field of its own.
    virtual bool fieldAddress(int row, int column, FieldAddress &address) = 0;
    // Whether two texts of the cell stand for the same value in the register.
    bool sameValue(int row, int column, const QString &first, const QString &second);
    // What the cell's field takes, led by the reason when the cell is red;
    // empty for a cell without a field. Made when asked, never kept per cell.
    QString cellToolTip(int row, int column);

    // Highlights where the grid differs from other, an editor of the same
    // table filled from the register or a file, in value rather than in text,
    // and keeps the counts until the comparison is cleared or a load replaces it.
    void compareWith(const QMyTableWidget &other);
    // The comparison in force, or nullptr.
    const TableComparison *comparison() const { return m_compared ? &m_comparison : nullptr; }
    void clearComparison();

    // Whether any cell is marked changed, and so not yet in the register.
    bool hasChangedCells() const;
    // Where the event points of reads and writes report; without one they
    // only let the window handle its events.
    void setOperationProgress(OperationProgress *progress) { m_progress = progress; }
    // Where writeTable notes every field it sends, to be read back; without
    // one nothing is noted.
    void setWriteCheck(WriteCheck *check) { m_writeCheck = check; }

protected:
    // Shows cellToolTip for a cell with a field; other cells as the view would.
    bool viewportEvent(QEvent *event) override;
    // The file's own load, which loadFromFile wraps.
    virtual int loadFile(const QString &path) = 0;
    // Writes the cell to address. Once written, the cell is no longer changed
    // nor highlighted, and the write check, if any, notes it.
    int sendCell(protocolBase &protocol, const FieldAddress &address, QTableWidgetItem &cell);
    // An event point of a read or write loop, done being the records read or
    // fields written so far: false when the user asked to stop.
    bool eventPoint(qint64 done);
    int changedCellCount(bool firstOnly = false) const;

private:
    void settleLoad();

    OperationProgress *m_progress = nullptr;
    WriteCheck *m_writeCheck = nullptr;
    TableComparison m_comparison;
    bool m_compared = false;
};
