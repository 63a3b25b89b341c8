#pragma once

#include "loghandler.h"

#include <QtGlobal>

#include <memory>

// A benchmark's log, written for real, as the program writes it, into the
// scratch data directory scripts/bench.sh gives the benchmark; the lines and
// bytes that reach it are counted.
class BenchLog
{
public:
    // Null, with a word on standard error, when no scratch directory was given:
    // the log path is fixed when the program loads, so only the environment
    // can redirect it.
    static std::unique_ptr<BenchLog> open();
    ~BenchLog();

    static qint64 lines();
    static qint64 bytes();

private:
    BenchLog();

    LogHandlerScope m_scope;
    QtMessageHandler m_realHandler;
};

// Makes the built-in register of the driver components created from now on
// hold this many goods records.
void setBuiltInGoods(int records);
