#pragma once

#include <QByteArray>

// A two-way byte line (a serial port, the master side of a pseudo-terminal),
// used synchronously.
class ByteLine
{
public:
    virtual ~ByteLine() = default;

    // False when the line failed to take the bytes.
    virtual bool write(const QByteArray &bytes) = 0;
    // The bytes that have arrived, waiting up to timeoutMs (-1: no limit) for
    // the first; empty when none came in time, or at once when the line failed
    // or the wait was interrupted.
    virtual QByteArray read(int timeoutMs) = 0;
};
