#include "writecheck.h"

#include "errorcode.h"
#include "eventpoint.h"
#include "fieldtypes.h"
#include "tablecatalogue.h"
#include "tabledata.h"

void WriteCheck::noteWritten(const FieldAddress &address, const FieldBase &sent, int row,
                             int column)
{
    m_written.append({address, sent.width(), sent.rawData(), row, column});
}

int WriteCheck::run(protocolBase &protocol, OperationProgress *progress)
{
    // The register took the write and holds something else: neither the line
    // (whose failures fail the exchange) nor the text (refused before it is
    // sent) is at fault, so the user hears of the register, "Ошибка ККМ".
    const auto outcome = [this](int ended) { return m_mismatches > 0 ? int(ERR_DEVICE) : ended; };
    const bool wholeRecords = readsWholeRecords();
    FieldList record;
    int records = 0;
    for (int first = 0; first < m_written.size();) {
        const int end = recordEnd(first);
        const int result = wholeRecords && end - first > 1
                               ? checkRecord(protocol, first, end, record)
                               : checkFields(protocol, first, end);
        if (result != ERR_OK)
            return result;
        first = end;
        // As the write: a stop asked for after the last record comes too late to matter.
        if (++records % 2 == 1 && first < m_written.size() && !eventPoint(progress, m_checked))
            return outcome(ERR_CANCELLED);
    }
    return outcome(ERR_OK);
}

int WriteCheck::recordEnd(int first) const
{
    const FieldAddress &record = m_written.at(first).address;
    int end = first + 1;
    while (end < m_written.size() && m_written.at(end).address.table == record.table &&
           m_written.at(end).address.row == record.row)
        ++end;
    return end;
}

// readRow reads a record in one exchange, after learning the record's widths
// once per connection by reading the fields of the first one singly; readField
// reads one field. Whole records only where that takes fewer reads in all.
bool WriteCheck::readsWholeRecords() const
{
    if (m_written.isEmpty())
        return false;
    // Zero for the settings, whose record the catalogue does not lay out.
    const int learningReads = fieldCount(m_written.first().address.table);
    if (learningReads == 0)
        return false;
    int records = 0;
    for (int first = 0; first < m_written.size(); first = recordEnd(first))
        ++records;
    return learningReads + records < m_written.size();
}

int WriteCheck::checkFields(protocolBase &protocol, int first, int end)
{
    for (int i = first; i < end; ++i) {
        const FieldAddress &address = m_written.at(i).address;
        try {
            const FieldPtr readBack(
                protocol.readField(address.type, address.table, address.row, address.field));
            compare(m_written.at(i), readBack.get());
        } catch (ErrorCode code) {
            return code;
        }
    }
    return ERR_OK;
}

int WriteCheck::checkRecord(protocolBase &protocol, int first, int end, FieldList &record)
{
    const FieldAddress &address = m_written.at(first).address;
    const int result = protocol.readRow(address.table, address.row, &record);
    if (result != ERR_OK)
        return result;
    for (int i = first; i < end; ++i) {
        const int field = m_written.at(i).address.field;
        compare(m_written.at(i), field <= record.size() ? record.at(field - 1).data() : nullptr);
    }
    return ERR_OK;
}

// The register may keep a value in another layout than the one it was sent
// in: a general-scheme text comes back in the layout of the reading scheme,
// its "К" as the Latin K. So the value read back is written out again, as the
// field's type and width would send it, and compared with the bytes sent.
void WriteCheck::compare(const Written &written, FieldBase *readBack)
{
    ++m_checked;
    QString text;
    FieldPtr again;
    bool kept = readBack && readBack->toString(text) == ERR_OK &&
                fieldFromText(written.address, written.width, text, again) == ERR_OK;
    kept = kept && sameStoredBytes(written.address.type, again->rawData(), written.sent);
    if (kept)
        return;
    if (m_mismatches++ == 0) {
        m_firstMismatchRow = written.row;
        m_firstMismatchColumn = written.column;
    }
    m_table.setHighlight(written.row, written.column, CellHighlight::WriteMismatch);
    m_table.setChanged(written.row, written.column, true);
}
