#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class MemoryTable;
class OperationProgress;
class TableData;
class WriteCheck;
class protocolBase;

// Makes the register's tables equal to the given tables, in one connection.
// Every table is read from the register first, into memory, so that a table
// the register cannot take (rows past its last one) stops the work before
// anything is written. Then each given table's cells that differ in value
// from the register's are marked changed and the others not, and the marked
// ones are written and, with a check, read back. So what the tables were
// marked with before does not matter: once the work ends well, the register
// holds what they show.
class RegisterSync
{
public:
    // The tables, each of another number; a check after each write or none.
    RegisterSync(QList<TableData *> tables, bool checking);
    ~RegisterSync();

    int run(protocolBase &protocol, OperationProgress &progress);

    // The first table with rows the register lacks, which left every table
    // unwritten; nullptr when there was none.
    TableData *rowsMissing() const { return m_rowsMissing; }
    // What the register lacked, in words for the user.
    QString rowsMissingProblem() const;
    // The cells that differed from the register, over every table compared.
    qint64 differences() const { return m_differences; }
    // Fields the checks found the register did not keep.
    qint64 mismatches() const;
    // The table the work stopped at (where there were several) and what its
    // check found, for a failure's details; empty before any table was written.
    QString details() const;

private:
    int readRegisterTables(protocolBase &protocol, OperationProgress &progress);
    int writeDifferences(protocolBase &protocol, OperationProgress &progress);

    const QList<TableData *> m_tables;
    const bool m_checking;
    // The register's tables, in the order of m_tables.
    std::vector<std::unique_ptr<MemoryTable>> m_registerTables;
    // The tables written so far, each with its check.
    std::vector<std::pair<TableData *, std::unique_ptr<WriteCheck>>> m_written;
    TableData *m_rowsMissing = nullptr;
    int m_registerRows = 0;
    qint64 m_differences = 0;
};
