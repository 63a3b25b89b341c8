#pragma once

#include "automationobject.h"
#include "devicemetrics.h"

#include <QByteArray>
#include <QString>

// Thin wrapper around the register driver component: one method per driver
// operation, hiding property names, argument types and the hexadecimal stream
// format. It interprets nothing the register answers. Setters return whether
// the component accepted the write; failures inside the component show only in
// GetResultCode().
class DriverOperations : public AutomationObject
{
    Q_OBJECT
public:
    void AddDevice();
    // Always true; the outcome is in GetResultCode().
    bool GetDeviceMetrics();
    // Stops with false at the first identification property of a wrong type;
    // members read before it keep their new values. A null pointer reads nothing.
    bool ReadDeviceMetrics(DeviceMetrics *metrics);
    bool SetMode(int mode, const QString &password);
    // One exchange: sends the command and, when the component reports success
    // and answer is not null, replaces answer by the decoded reply.
    bool RunCommandExBin(const QByteArray &command, QByteArray *answer, int timeout);
    // 0 when the property does not hold a number.
    int GetResultCode();
    // The driver's text of its last result; empty when it gives none.
    QString GetResultDescription();
    bool SetDeviceEnabled(bool enabled);
    bool SetDeviceSettings(const QString &settings);
    // The driver numbers serial ports from 1000: COM7 is 1007.
    bool SetPortNumber(int portNumber);
    // The system location of the line to open; written right after the port number.
    bool SetPortName(const QString &location);
    bool SetNeedResult(int needResult);
    // How long the next exchanges, the identification among them, wait for the answer.
    bool SetENQTimeout(int timeoutMs);
    // Writes the stream only when the component accepted the format.
    bool SetOutboundStream(const QString &stream, int format);
    // False, leaving stream unchanged, when the property holds no text.
    bool GetInboundStream(QString *stream);
};
