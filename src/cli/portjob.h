#pragma once

#include "clioptions.h"
#include "fileeventpoint.h"
#include "portinfo.h"
#include "profilefile.h"
#include "progresstext.h"
#include "protocolpelto.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class CliProgress;
class ExchangeObserver;
class MemoryTable;
struct RegisterProfile;
class OperationProgress;
class TableData;

// What a command did on one port: the summary line, the JSON object and the
// exit code come from it.
struct PortOutcome
{
    QString port;
    int exitCode = CliExit::Success;
    // The program's result code, and its text where it is not success.
    int result = 0;
    QString message;
    // The cause and hint of a failure, and how far the command got.
    QString details;
    // What was done, as the window's summary says it.
    QString summary;
    qint64 count = 0;
    QString identification;
    QString output;
    // diff: "row<TAB>column<TAB>register<TAB>file".
    QStringList differences;
};

// The outcome as --json prints it, with the command's name.
QJsonObject outcomeToJson(const PortOutcome &outcome, const QString &command);

// Runs the command of the options on one port, in a connection of its own.
class PortJob
{
public:
    // interrupted tells whether the user asked to stop before the work began;
    // trace, if any, is told of every exchange.
    PortJob(const CliOptions &options, const PortInfo &port, OperationProgress &progress,
            CliProgress &report, std::function<bool()> interrupted,
            ExchangeObserver *trace = nullptr);
    PortOutcome run();

    // The -o path for a port: "{port}" replaced by the port's name.
    static QString outputPath(const QString &pattern, const PortInfo &port);

private:
    int check();
    int read();
    int write();
    int diff();
    int dump();
    int backup();
    int restore();
    int update();
    // Makes the register's tables equal to the grids, each read first, and
    // sets the outcome; nothingToWrite is the summary when they already are.
    int synced(const QList<TableData *> &tables, const QString &nothingToWrite);

    // Connects, runs the exchange and disconnects; a failed connect is a port failure.
    int connected(const std::function<int()> &exchange);
    void begin(ProgressText::Work work, qint64 total);
    void end(qint64 count, int result);
    // Sets the outcome of a failure of the given kind and returns its exit code.
    int failed(int exitCode, int result, const QString &details = QString());
    // The user's stop (Ctrl+C), of register work or file work alike.
    int stopped();
    int registerFailed(int result);
    int fileFailed(int result, const QString &path, const QString &problem = QString());
    // File work, loads and saves, stops at Ctrl+C as register work does:
    // its progress starts with the event point it takes.
    FileEventPoint beginFileWork(ProgressText::Work work, qint64 total);
    void endFileWork();
    // Loads the file into the table, and returns the exit code.
    int loadFile(TableData &table, const QString &path);
    // Loads the command's input file into a new table.
    int loadInput(std::unique_ptr<MemoryTable> &table);
    // Runs a save of records given its event point, and returns its result code.
    int savedStoppable(qint64 records, const std::function<int(const FileEventPoint &)> &save);
    int saveTable(const TableData &table);
    int checkProfile(const QString &path, std::map<int, std::unique_ptr<MemoryTable>> &tables,
                     ProfileFile::Checked &checked);
    // Where a read cut short keeps what it read: beside the output file, in
    // the table's own tab-separated form; empty without an output file.
    QString partialPath() const;
    // Tells where what was read is kept and how to go on.
    void notePartial(const QString &partial);
    int loadPartialProfile(const QString &path, RegisterProfile &profile);
    std::function<TableData *(int)> tableIn(std::map<int, std::unique_ptr<MemoryTable>> &tables);
    int refuseInvalidValue(const TableData &file, const QString &path);

    const CliOptions &m_options;
    const PortInfo m_port;
    OperationProgress &m_progress;
    CliProgress &m_report;
    const std::function<bool()> m_interrupted;
    protocolPelto m_protocol;
    PortOutcome m_outcome;
    ProgressText::Work m_work = ProgressText::Work::RecordsRead;
    bool m_connectFailed = false;
};
