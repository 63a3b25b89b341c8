#include "driveroperations.h"

#include <QDebug>

#include <utility>

namespace {

// Both streams as hexadecimal text.
constexpr int hexStreamFormat = 3;
constexpr int portNumberBase = 1000;

} // namespace

void DriverOperations::AddDevice()
{
    dynamicCall("AddDevice()");
}

bool DriverOperations::GetDeviceMetrics()
{
    dynamicCall("GetDeviceMetrics()");
    return true;
}

bool DriverOperations::ReadDeviceMetrics(DeviceMetrics *metrics)
{
    if (!metrics)
        return true;
    const std::pair<const char *, qint32 DeviceMetrics::*> numbers[] = {
        {"UProtocolVersion", &DeviceMetrics::protocolVersion},
        {"UType", &DeviceMetrics::type},
        {"UModel", &DeviceMetrics::model},
        {"UMode", &DeviceMetrics::mode},
        {"UMajorVersion", &DeviceMetrics::majorVersion},
        {"UMinorVersion", &DeviceMetrics::minorVersion},
        {"UBuild", &DeviceMetrics::build},
        {"UCodePage", &DeviceMetrics::codePage},
    };
    for (const auto &[name, member] : numbers) {
        const QVariant value = property(name);
        if (value.userType() != QMetaType::Int)
            return false;
        metrics->*member = value.toInt();
    }
    const QVariant description = property("UDescription");
    if (description.userType() != QMetaType::QString)
        return false;
    metrics->description = description.toString();
    metrics->serialNumber = property("USerialNumber").toString();
    return true;
}

bool DriverOperations::SetENQTimeout(int timeoutMs)
{
    return setProperty("ENQTimeout", timeoutMs);
}

bool DriverOperations::SetMode(int mode, const QString &password)
{
    if (!setProperty("Mode", mode))
        return false;
    if (!setProperty("Password", password))
        return false;
    dynamicCall("SetMode()");
    return true;
}

bool DriverOperations::RunCommandExBin(const QByteArray &command, QByteArray *answer, int timeout)
{
    const QString request = QString::fromLatin1(command.toHex());
    qDebug().nospace().noquote() << "RunCommandExBin() -> Request: " << request;
    SetOutboundStream(request, hexStreamFormat);
    if (!setProperty("ENQTimeout", timeout))
        return false;
    dynamicCall("RunCommand()");
    if (GetResultCode() != 0)
        return false;
    if (answer) {
        QString response;
        GetInboundStream(&response);
        qDebug().nospace().noquote() << "RunCommandExBin() -> Response: " << response;
        // fromHex skips anything that is not a hexadecimal digit, such as
        // spaces and line breaks between the pairs.
        *answer = QByteArray::fromHex(response.toUtf8());
    }
    return true;
}

int DriverOperations::GetResultCode()
{
    return property("ResultCode").toInt();
}

QString DriverOperations::GetResultDescription()
{
    return property("ResultDescription").toString();
}

bool DriverOperations::SetDeviceEnabled(bool enabled)
{
    return setProperty("DeviceEnabled", enabled);
}

bool DriverOperations::SetDeviceSettings(const QString &settings)
{
    return setProperty("DeviceSettings", settings);
}

bool DriverOperations::SetPortNumber(int portNumber)
{
    return setProperty("PortNumber", portNumberBase + portNumber);
}

bool DriverOperations::SetPortName(const QString &location)
{
    return setProperty("PortName", location);
}

bool DriverOperations::SetNeedResult(int needResult)
{
    return setProperty("NeedResult", needResult);
}

bool DriverOperations::SetOutboundStream(const QString &stream, int format)
{
    if (!setProperty("StreamFormat", format))
        return false;
    return setProperty("OutboundStream", stream);
}

bool DriverOperations::GetInboundStream(QString *stream)
{
    if (!stream)
        return true;
    const QVariant value = property("InboundStream");
    if (value.userType() != QMetaType::QString)
        return false;
    *stream = value.toString();
    return true;
}
