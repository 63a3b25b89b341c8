#pragma once

#include "cellfield.h"
#include "protocolbase.h"

#include <QByteArray>
#include <QVector>

class OperationProgress;
class TableData;

// Reads back the fields a write sent, inside the write's connection, and
// compares each with what was sent. A cell whose value the register did not
// keep gets the mismatch highlight and stays changed, so that the next write
// sends it again.
class WriteCheck
{
public:
    // The table whose cells the write sends.
    explicit WriteCheck(TableData &table) : m_table(table) {}

    // A field written from the cell at (row, column), as the bytes that went out.
    void noteWritten(const FieldAddress &address, const FieldBase &sent, int row, int column);

    // Reads the noted fields back in the order they were written, with an
    // event point after every other record, where the user may stop it.
    // Returns ERR_OK when the register kept every field, ERR_DEVICE when it
    // did not keep one (even if stopped then), ERR_CANCELLED, or the failure
    // of a read.
    int run(protocolBase &protocol, OperationProgress *progress);

    qint64 size() const { return m_written.size(); }
    qint64 checked() const { return m_checked; }
    qint64 mismatches() const { return m_mismatches; }
    // Where the first field the register did not keep is shown; -1 before any.
    int firstMismatchRow() const { return m_firstMismatchRow; }
    int firstMismatchColumn() const { return m_firstMismatchColumn; }

private:
    struct Written
    {
        FieldAddress address;
        int width;
        QByteArray sent;
        int row;
        int column;
    };

    // The index after the last field written to the same record as the one at first.
    int recordEnd(int first) const;
    bool readsWholeRecords() const;
    int checkFields(protocolBase &protocol, int first, int end);
    int checkRecord(protocolBase &protocol, int first, int end, FieldList &record);
    void compare(const Written &written, FieldBase *readBack);

    TableData &m_table;
    QVector<Written> m_written;
    qint64 m_checked = 0;
    qint64 m_mismatches = 0;
    int m_firstMismatchRow = -1;
    int m_firstMismatchColumn = -1;
};
