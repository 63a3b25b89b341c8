#pragma once

#include <QByteArray>
#include <QString>

// A symbolic link to the pseudo-terminal under a fixed name, so that the same
// path can be typed into the program on every run. The emulator that made it
// holds a lock on "<link>.lock" for as long as it runs; both are removed on
// destruction, the link only while it still points to the terminal.
class TerminalLink
{
public:
    TerminalLink() = default;
    ~TerminalLink();
    TerminalLink(const TerminalLink &) = delete;
    TerminalLink &operator=(const TerminalLink &) = delete;

    // Makes path a link to target. A link there that no running emulator
    // holds is replaced: a dangling one, or one with a lock file left by an
    // emulator that was killed, whatever it points to now. Anything else there
    // is left alone and refused. False, with the reason in error, when there
    // is no link.
    bool create(const QString &path, const QString &target, QString &error);

private:
    // Takes the lock beside the link; lockExisted tells whether its file was there.
    bool lock(bool &lockExisted, QString &error);
    void unlock();

    QByteArray m_path;
    QByteArray m_target;
    QByteArray m_lockPath;
    int m_lockFd = -1;
};
