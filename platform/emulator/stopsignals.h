#pragma once

// SIGINT and SIGTERM delivered to a descriptor (signalfd) instead of a
// handler: a wait on the line that also watches fd() ends when one arrives,
// and the program then finishes its work and exits cleanly.
class StopSignals
{
public:
    // Blocks both signals for the process; call before any thread starts.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    int fd() const { return m_fd; }
    bool received() const;

private:
    int m_fd = -1;
};
