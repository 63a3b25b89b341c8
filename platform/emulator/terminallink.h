#pragma once

#include <QByteArray>
#include <QString>

// A symbolic link to the pseudo-terminal under a fixed name, so that the same
// path can be typed into the program on every run. Removed on destruction
// while it still points to the terminal.
class TerminalLink
{
public:
    TerminalLink() = default;
    ~TerminalLink();
    TerminalLink(const TerminalLink &) = delete;
    TerminalLink &operator=(const TerminalLink &) = delete;

    // Makes path a link to target. A dangling link there, left by a run that
    // was killed, is replaced; anything else there is left alone and refused.
    // False, with the reason in error, when there is no link.
    bool create(const QString &path, const QString &target, QString &error);

private:
    QByteArray m_path;
    QByteArray m_target;
};
