#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the text of every debug message logged while it lives, so that a
// test can check which log lines an operation wrote.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    // The requests starting with command (hex) that the driver logged an
    // answer to, in order, from log lines joined or not.
    static QStringList answeredRequests(const QString &log, const QString &command);
    bool contains(const QString &line) const { return lines().contains(line); }
    void clear();

private:
    QtMessageHandler m_previous;
};
