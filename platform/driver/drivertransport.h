#pragma once

#include <QByteArray>
#include <QObject>

// The line between the driver component and a register: one request, one
// answer, synchronously. The component owns one transport at a time. Both
// calls return a DriverResult code, so that the component can tell the user
// why a line failed.
class DriverTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Ok, or why the line cannot be opened.
    virtual int open() = 0;
    virtual void close() = 0;
    // Sends request and waits at most timeoutMs for its answer: Ok with the
    // answer, NoConnection when none came, DeviceGone when the line failed.
    virtual int exchange(const QByteArray &request, QByteArray &answer, int timeoutMs) = 0;
};
