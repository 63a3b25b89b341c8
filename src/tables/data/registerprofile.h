#pragma once

#include "memorytable.h"

#include <QString>

#include <memory>
#include <vector>

// A register as a profile keeps it: its identification and its tables, read
// into memory in the order of the window's tabs.
struct RegisterProfile
{
    QString identification;
    std::vector<std::unique_ptr<MemoryTable>> tables;

    // The rows of every table.
    qint64 records() const
    {
        qint64 count = 0;
        for (const auto &table : tables)
            count += table->rowCount();
        return count;
    }
};
