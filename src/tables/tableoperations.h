#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class OperationProgress;
class QMyTableWidget;
class QTableWidgetItem;
class WriteCheck;
class protocolBase;

// What an operation over the register reports as it goes, besides the counts
// it gives OperationProgress: the window shows it in its status bar, the
// command line on its standard error.
class ProgressReport
{
public:
    // A part of an operation over several tables, with its own total.
    virtual void startPart(const QString &label, qint64 total) = 0;
    // The check that follows a write, towards the fields written.
    virtual void startCheck(qint64 total) = 0;
    virtual void endCheck(qint64 checked) = 0;

protected:
    ~ProgressReport() = default;
};

// The operations on an open connection that the window and the command line
// share. Each returns a result code.
namespace TableOperations {

// "Таблица 3 из 11, «Скидки»: ", the start of a part's running text.
QString partLabel(int index, int count, int table);

// The register's identification, then every table that has an editor read
// into new editors, in the order of the window's tabs, each as a part of the
// progress: what a profile keeps. On failure the editors read so far stay,
// the last one being the table that failed.
int readProfile(protocolBase &protocol, OperationProgress &progress, ProgressReport &report,
                QString &identification, std::vector<std::unique_ptr<QMyTableWidget>> &tables);

// Writes the editor's changed cells and, with a check, reads them back: also
// those sent before a cell that stopped the write, unless the user stopped it
// or the register no longer answers. The write's failure wins over the check's.
int writeAndCheck(protocolBase &protocol, QMyTableWidget &editor, WriteCheck *check,
                  OperationProgress &progress, ProgressReport &report);

// "Таблица «Товары», строка 3, столбец «Цена»: «abc». Неверное значение. …":
// where the cell is, its text and what its field takes.
QString describeCell(QMyTableWidget &editor, const QTableWidgetItem &cell);

// What a check that found mismatches or was cut short reports.
QString checkDetails(const QMyTableWidget &editor, const WriteCheck &check);

// The firmware dump of the processor into dump, to the size the register
// announces; a failed or stopped dump leaves dump empty. started tells
// whether the register agreed to start it.
int readDump(protocolBase &protocol, int processor, OperationProgress &progress, QByteArray &dump,
             bool &started);

} // namespace TableOperations
