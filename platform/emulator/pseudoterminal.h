#pragma once

#include <QString>

// A pseudo-terminal in raw mode. The register works its master side; a host
// opens the slave by its path like a serial port. The slave is kept open here
// too, so that the master sees no hang-up while no host is connected.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // False, with a reason in error, when the system gives none.
    bool open(QString &error);
    // Non-blocking.
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
