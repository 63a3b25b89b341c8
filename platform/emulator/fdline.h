#pragma once

#include "byteline.h"

// A ByteLine over a non-blocking file descriptor, such as a pseudo-terminal's
// master side. A wait for bytes also ends when wakeFd (if not -1) becomes
// readable, so that a signal or another thread can interrupt it. Counts the
// bytes that cross it.
class FdLine : public ByteLine
{
public:
    FdLine(int fd, int wakeFd);

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

    qint64 bytesWritten() const { return m_written; }
    qint64 bytesRead() const { return m_read; }

private:
    int m_fd;
    int m_wakeFd;
    qint64 m_written = 0;
    qint64 m_read = 0;
};
