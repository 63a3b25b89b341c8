#pragma once

#include <QByteArray>
#include <QObject>

// The line between the driver component and a register: one request, one
// answer, synchronously. The component owns one transport at a time.
class DriverTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open() = 0;
    virtual void close() = 0;
    // Sends request and waits at most timeoutMs for its answer; false when none came.
    virtual bool exchange(const QByteArray &request, QByteArray &answer, int timeoutMs) = 0;
};
