#pragma once

#include <QString>

// Something found out about a cell's value, shown in a colour of its own.
enum class CellHighlight : quint8
{
    None,
    // The register did not keep the value written.
    WriteMismatch,
    // The value differs from the one it was compared with.
    Difference,
};

// A register table as rows of cells, whatever holds it: the window's grid or
// plain memory. A cell has a text and the width in bytes of its field (in the
// settings table's first two columns, the field's number and type code), and
// marks: changed (the next write sends it), invalid (its field rejects the
// text) and a highlight. Rows and columns count from 0; a cell may be missing.
class TableData
{
public:
    // How a new cell starts.
    enum CellFlag
    {
        // Marked changed, as a cell loaded from a file.
        Changed = 0x1,
        // Not to be edited: a value of a table that is never written, or a
        // field's number or type.
        ReadOnly = 0x2,
        // Shown valid until its check says otherwise, so that a large read
        // or load is not coloured twice.
        ShownValid = 0x4,
    };

    virtual ~TableData() = default;

    // The table's logical number, which says what its cells mean.
    virtual int tableNumber() const = 0;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // New rows have no cells; rows beyond the count are dropped.
    virtual void setRowCount(int rows) = 0;

    virtual bool hasCell(int row, int column) const = 0;
    // Empty for a missing cell.
    virtual QString text(int row, int column) const = 0;
    // 0 for a missing cell.
    virtual int width(int row, int column) const = 0;
    // A new cell in place of what was there, with no highlight; flags are
    // CellFlag values.
    virtual void setCell(int row, int column, const QString &text, int width, int flags = 0) = 0;

    // The marks of an existing cell; a missing one has none, and setting
    // one on it does nothing.
    virtual bool isChanged(int row, int column) const = 0;
    virtual void setChanged(int row, int column, bool changed) = 0;
    virtual bool isInvalid(int row, int column) const = 0;
    // The highlight of the cell's present text: an edit ends it.
    virtual CellHighlight highlight(int row, int column) const = 0;
    virtual void setHighlight(int row, int column, CellHighlight kind) = 0;

    // Whether whatever shows the table hears of each change of a cell; off
    // while marks are set in bulk (a comparison, the marks of differences),
    // which are no edits. Returns the previous state.
    virtual bool setQuiet(bool quiet) { return quiet; }

protected:
    TableData() = default;
    TableData(const TableData &) = default;
    TableData &operator=(const TableData &) = default;
};

// Keeps the table quiet for its own lifetime, then as it was.
class QuietTable
{
public:
    explicit QuietTable(TableData &table) : m_table(table), m_wasQuiet(table.setQuiet(true)) {}
    ~QuietTable() { m_table.setQuiet(m_wasQuiet); }
    QuietTable(const QuietTable &) = delete;
    QuietTable &operator=(const QuietTable &) = delete;

private:
    TableData &m_table;
    const bool m_wasQuiet;
};
