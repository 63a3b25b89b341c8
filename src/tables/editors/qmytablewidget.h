#pragma once

#include "tablecomparison.h"
#include "tablefilereader.h"

#include <QTableWidget>

#include <memory>

class GridHistory;
class GridRollback;
class GridTable;
class OperationProgress;
class TableData;
class protocolBase;
struct FieldAddress;

// Abstract base of every table editor: a grid that reads a register table
// through the protocol, checks each cell against its field type, writes
// changed cells back, and saves or loads the table as a file. The grid's
// items are the table's cells (data()); what a cell means, how a table is
// read, written and kept in files is the table layer's, the same for the
// command line.
//
// Cell conventions (CellMarks): the item type number is the field width in
// bytes; a red background marks a text the field type rejects, another colour
// a highlight; a font weight above 57 marks a changed cell that the next
// write sends.
// A text for a cell of the grid.
struct CellText
{
    int row;
    int column;
    QString text;
};

class QMyTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit QMyTableWidget(QWidget *parent = nullptr);
    ~QMyTableWidget() override;

public slots:
    virtual void on_itemChanged(QTableWidgetItem *item) = 0;

public:
    virtual int readTable(protocolBase &protocol) = 0;
    // Reads on where a read that stopped left the grid (TableOperations::continueTable).
    virtual int continueReading(protocolBase &protocol);
    // Sends the changed cells only (the settings: every value), stopping at
    // the first one that fails.
    virtual int writeTable(protocolBase &protocol);
    virtual int tableNumber() = 0;
    // The file's format follows its name (TableFile). A save the user stops
    // at an event point leaves the file as it was.
    virtual int saveToFile(const QString &path);
    // All or nothing, also when the user stops it at an event point: then
    // the grid is as it was, texts, marks and row count. A good load also
    // takes away the highlights of the last write's check and of a comparison.
    // why, if given, is told what is wrong with a refused workbook.
    int loadFromFile(const QString &path, QString *why = nullptr);
    // Puts a checked file into the grid as loadFromFile does, its records the
    // progress's stage, and keeps what it replaces until settleLoad, which
    // ends the load, or takeBackLoad, which puts the grid back as it was: so
    // that loads into several grids stay or go together.
    int applyLoad(const PendingLoad &apply);
    // Returns what the load replaced, to undo it by.
    std::unique_ptr<GridRollback> settleLoad();
    void takeBackLoad();
    // Where the cell edits and the loads of a file go as steps to undo; without
    // one they are not kept.
    void setHistory(GridHistory *history) { m_history = history; }
    // The first red cell among those that show field values, or nullptr.
    virtual QTableWidgetItem *findInvalidItem();
    // As the catalogue says: tax rates and payment types are never written.
    virtual bool isWritable();
    // Filter string of the file dialogs.
    virtual QString fileFilter();
    // How many cells the next writeTable sends.
    int cellsToWrite();

    // The grid as a table of cells.
    TableData &data();
    const TableData &data() const;

    // Where the cell's value lives in the register; false for a cell that
    // shows no field of its own.
    bool fieldAddress(int row, int column, FieldAddress &address);
    // Whether two texts of the cell stand for the same value in the register.
    bool sameValue(int row, int column, const QString &first, const QString &second);
    // What the cell's field takes, led by the reason when the cell is red;
    // empty for a cell without a field. Made when asked, never kept per cell.
    QString cellToolTip(int row, int column);

    // Highlights where the grid differs from other, the same table filled
    // from the register or a file, in value rather than in text, and keeps
    // the counts until the comparison is cleared or a load replaces it.
    void compareWith(const TableData &other);
    // The comparison in force, or nullptr.
    const TableComparison *comparison() const { return m_compared ? &m_comparison : nullptr; }
    void clearComparison();

    // Puts a block of tab-separated text into the grid from the current cell
    // on, each cell as an edit would and all as one step to undo. Returns why
    // it refused, having changed nothing, or empty.
    QString paste(const QString &text);
    // Puts the texts into their cells as an edit would: each checked by its
    // field and marked changed where it differs, all as one step to undo,
    // named name. The cells must be there. The event point is given the texts
    // put so far; stopped there, the grid is put back as it was, no step is
    // kept, and false is returned.
    bool putTexts(const QVector<CellText> &texts, const QString &name,
                  const FileEventPoint &point = {});

    // Whether any cell is marked changed, and so not yet in the register.
    bool hasChangedCells() const;
    // Where the event points of reads and writes report; without one they
    // only let the window handle its events.
    void setOperationProgress(OperationProgress *progress) { m_progress = progress; }

protected:
    // Remembers the cell whose editor opens, which commitData needs.
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    // A copy of the edited cell as it was goes to the history.
    void commitData(QWidget *editor) override;
    // Ctrl+V pastes the clipboard's text, a refusal in a message box; an open
    // cell editor keeps its own paste, having the keys.
    void keyPressEvent(QKeyEvent *event) override;
    // Shows cellToolTip for a cell with a field; other cells as the view would.
    bool viewportEvent(QEvent *event) override;
    // Colours the cell white or red by whether its field takes its text.
    void checkCell(QTableWidgetItem &item);
    OperationProgress *operationProgress() const { return m_progress; }
    // The event point of work on the grid's files, reporting to the progress.
    FileEventPoint fileEventPoint() const;

private:
    GridTable &grid();

    std::unique_ptr<GridTable> m_data;
    OperationProgress *m_progress = nullptr;
    GridHistory *m_history = nullptr;
    // The cell of the cell editor, the only one the grid opens at a time.
    QPersistentModelIndex m_edited;
    // What the load not yet settled replaced.
    std::unique_ptr<GridRollback> m_rollback;
    TableComparison m_comparison;
    bool m_compared = false;
};
