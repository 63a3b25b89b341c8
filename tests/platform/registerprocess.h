#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

// The register emulator program on a pseudo-terminal of its own, run by a test.
class RegisterProcess
{
public:
    ~RegisterProcess();

    // Starts the program and waits for the terminal's path; false when it
    // gave none.
    bool start(const QStringList &arguments = {});
    // Stops it with SIGTERM and returns what it wrote to stderr; empty unless
    // it exited cleanly.
    QString stop();

    QString path() const { return m_path; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    // Its stderr, so that it never blocks on a full pipe nobody reads.
    QTemporaryFile m_errors;
    QString m_path;
};
