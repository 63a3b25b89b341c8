#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

#include <csignal>

// The register emulator program on a pseudo-terminal of its own, run by a test.
class RegisterProcess
{
public:
    ~RegisterProcess();

    // Starts the program and waits for the terminal's path; false when it
    // gave none.
    bool start(const QStringList &arguments = {});
    // Stops it with the signal and returns what it wrote to stderr; empty
    // unless it exited cleanly.
    QString stop(int signal = SIGTERM);
    // Runs the program with arguments it is to refuse: its exit code, -1 when
    // it did not end by itself, and what it wrote to stderr in errors.
    static int run(const QStringList &arguments, QString &errors);

    QString path() const { return m_path; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    // Its stderr, so that it never blocks on a full pipe nobody reads.
    QTemporaryFile m_errors;
    QString m_path;
};
