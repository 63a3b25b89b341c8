#pragma once

#include <QByteArray>
#include <QString>

class OperationProgress;
class TableData;
class WriteCheck;
class protocolBase;
struct FieldAddress;
struct RegisterProfile;

// The operations on an open connection that the window and the command line
// share. Each returns a result code. Where progress may be nullptr, the work
// only lets the program handle its events at its event points.
namespace TableOperations {

// Reads the register's table into table, appending rows as they come: until
// the register has no more rows (fields, for the settings), a stop asked for,
// or a failure, which keeps what was read.
int readTable(protocolBase &protocol, TableData &table, OperationProgress *progress);
// Reads on where a read that stopped left the table, appending what it had
// not read yet; only the last row of a table read field by field is read
// again, as the stop may have come inside it.
int continueTable(protocolBase &protocol, TableData &table, OperationProgress *progress);

// Sends the table's changed cells (the settings: every value), stopping at
// the first one that fails. A cell once written is no longer changed nor
// highlighted, and check, if any, notes it for reading back.
int writeTable(protocolBase &protocol, TableData &table, WriteCheck *check,
               OperationProgress *progress);
// How many cells the next writeTable sends.
int cellsToWrite(const TableData &table);
// Whether any cell is marked changed, and so not yet in the register.
bool hasChangedCells(const TableData &table);

// "Таблица 3 из 11, «Скидки»: ", the start of a part's running text.
QString partLabel(int index, int count, int table);

// The register's identification, then every table a profile holds, in the
// order of the window's tabs, each as a part of the progress: what "Сохранить
// профиль..." and `backup` keep. On failure the tables read so far stay, the
// last one being the table that failed; given such a profile, it goes on
// with that table and reads the rest.
int readProfile(protocolBase &protocol, OperationProgress &progress, RegisterProfile &profile);

// Writes the table's changed cells and, with a check, reads them back: also
// those sent before a cell that stopped the write, unless the user stopped it
// or the register no longer answers. The write's failure wins over the check's.
int writeAndCheck(protocolBase &protocol, TableData &table, WriteCheck *check,
                  OperationProgress &progress);

// "Таблица «Товары», строка 3, столбец «Цена»: «abc». Неверное значение. …":
// where the cell is, its text and what its field takes.
QString describeCell(const TableData &table, int row, int column);

// Where a write that a cell's text stopped left off, with the changed cells it
// left unsent; empty when the first cell it had to send next is valid, as
// when the register stopped it.
QString invalidCellStop(const TableData &table);

// What a check that found mismatches or was cut short reports.
QString checkDetails(int table, const WriteCheck &check);

// The firmware dump of the processor into dump, to the size the register
// announces; a failed or stopped dump leaves dump empty. started tells
// whether the register agreed to start it.
int readDump(protocolBase &protocol, int processor, OperationProgress &progress, QByteArray &dump,
             bool &started);

} // namespace TableOperations
