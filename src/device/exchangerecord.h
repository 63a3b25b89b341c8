#pragma once

#include <QByteArray>
#include <QString>

// One exchange with the register as the protocol saw it: what was asked, how
// it ended, how long it took with its retries.
struct ExchangeRecord
{
    enum class Kind : quint8
    {
        ReadField,
        ReadRecord,
        WriteField,
        StartDump,
        DumpBlock,
        Identification,
        ModeEntry,
    };

    qint64 startedMs = 0; // since the epoch
    qint64 durationUs = 0;
    Kind kind = Kind::ReadField;
    quint8 table = 0; // logical; 0 for none
    quint8 field = 0;
    quint16 row = 0;
    int result = 0; // the result code
    quint8 retries = 0;
    // Ended without an answer the operation could take: no answer, the line
    // gone, a broken answer. A refusal by the register is an answer.
    bool failed = false;
    // The port's path, shared by all its records.
    QString port;
    // What the driver said of the failure, if anything.
    QString failure;
    // Empty for the connection's steps, which the driver does itself.
    QByteArray request;
    QByteArray answer;
};

// A connection's exchanges so far, the retries among them, and the tries that
// failed: each retried one, and the last of each exchange that failed; and
// how long it waited for its port to come back.
struct ExchangeCounts
{
    int exchanges = 0;
    int retries = 0;
    int failures = 0;
    qint64 portWaitMs = 0;
};

// Told of every exchange as it ends.
class ExchangeObserver
{
public:
    virtual void exchanged(const ExchangeRecord &record) = 0;

protected:
    ~ExchangeObserver() = default;
};
