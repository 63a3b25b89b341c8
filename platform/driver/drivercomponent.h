#pragma once

#include "driversettings.h"
#include "hexstream.h"
#include "networkaddress.h"
#include "registerprotocol.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class DriverTransport;
class RegisterEmulator;

// The register driver component, reached late-bound through AutomationObject
// under the ProgID "AddIn.Velmar". Every call is synchronous, sets ResultCode
// (DriverResult) and never blocks longer than its time limit.
//
// The line is chosen by PortName, or, when PortName is empty, by PortNumber
// (1000 + n opens /dev/ttyS(n - 1)). Writing PortNumber clears PortName, so the
// latest of the two wins. BuiltInRegister::Location selects the register
// emulated in this process; it keeps its tables for the component's lifetime
// unless its goods table size, the settings key EmulatorGoodsCount
// (DriverSettings), changes. A location "tcp://HOST:PORT" is a register on the
// network (TcpTransport); "tcp://" alone takes the settings' HostAddress. Any
// other location is a serial line (SerialTransport).
class DriverComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DeviceSettings READ deviceSettings WRITE setDeviceSettings)
    Q_PROPERTY(int PortNumber READ portNumber WRITE setPortNumber)
    Q_PROPERTY(QString PortName READ portName WRITE setPortName)
    Q_PROPERTY(bool DeviceEnabled READ deviceEnabled WRITE setDeviceEnabled)
    Q_PROPERTY(int Mode READ requestedMode WRITE setRequestedMode)
    Q_PROPERTY(QString Password READ password WRITE setPassword)
    // Only 3 (hexadecimal text) is supported.
    Q_PROPERTY(int StreamFormat READ streamFormat WRITE setStreamFormat)
    Q_PROPERTY(QString OutboundStream READ outboundStream WRITE setOutboundStream)
    // Milliseconds RunCommand waits for the answer.
    Q_PROPERTY(int ENQTimeout READ enqTimeout WRITE setEnqTimeout)
    // Kept for callers that set it; every command waits for its answer.
    Q_PROPERTY(int NeedResult READ needResult WRITE setNeedResult)
    Q_PROPERTY(QString InboundStream READ inboundStream)
    Q_PROPERTY(int UProtocolVersion READ protocolVersion)
    Q_PROPERTY(int UType READ deviceType)
    Q_PROPERTY(int UModel READ model)
    Q_PROPERTY(int UMode READ deviceMode)
    Q_PROPERTY(int UMajorVersion READ majorVersion)
    Q_PROPERTY(int UMinorVersion READ minorVersion)
    Q_PROPERTY(int UBuild READ build)
    Q_PROPERTY(int UCodePage READ codePage)
    Q_PROPERTY(QString UDescription READ description)
    Q_PROPERTY(QString USerialNumber READ serialNumber)
    Q_PROPERTY(int ResultCode READ resultCode)
    // What failed, where, and what the user can do about it.
    Q_PROPERTY(QString ResultDescription READ resultDescription)

public:
    static constexpr int DefaultTimeoutMs = 5000;

    explicit DriverComponent(QObject *parent = nullptr);
    ~DriverComponent() override;

    // There is one logical device; adding it only clears ResultCode.
    Q_INVOKABLE void AddDevice();
    // Enters Mode with Password (empty: the settings' DefaultPassword).
    Q_INVOKABLE void SetMode();
    // Sends OutboundStream as one command; any answer, whatever its error
    // byte, lands in InboundStream with ResultCode 0.
    Q_INVOKABLE void RunCommand();
    // Asks the register for its identification and fills the U* properties.
    Q_INVOKABLE void GetDeviceMetrics();

    QString deviceSettings() const { return m_settingsText; }
    void setDeviceSettings(const QString &text);
    int portNumber() const { return m_settings.portNumber; }
    void setPortNumber(int number);
    QString portName() const { return m_portName; }
    void setPortName(const QString &location);
    bool deviceEnabled() const { return m_transport != nullptr; }
    // Opens the line and asks for the identification; closed again on failure.
    void setDeviceEnabled(bool enabled);
    int requestedMode() const { return m_mode; }
    void setRequestedMode(int mode);
    QString password() const { return m_password; }
    void setPassword(const QString &password);
    int streamFormat() const { return m_streamFormat; }
    void setStreamFormat(int format);
    QString outboundStream() const { return m_outboundStream; }
    void setOutboundStream(const QString &stream);
    int enqTimeout() const { return m_enqTimeout; }
    void setEnqTimeout(int milliseconds);
    int needResult() const { return m_needResult; }
    void setNeedResult(int needResult);
    QString inboundStream() const { return m_inboundStream; }

    int protocolVersion() const { return m_identification.protocolVersion; }
    int deviceType() const { return m_identification.type; }
    int model() const { return m_identification.model; }
    int deviceMode() const { return m_identification.mode; }
    int majorVersion() const { return m_identification.majorVersion; }
    int minorVersion() const { return m_identification.minorVersion; }
    int build() const { return m_identification.build; }
    int codePage() const { return m_identification.codePage; }
    QString description() const { return m_identification.description; }
    QString serialNumber() const { return m_identification.serialNumber; }

    int resultCode() const { return m_resultCode; }
    QString resultDescription() const;

private:
    QString portLocation() const;
    // A closed transport for location, or nullptr when none can serve it.
    DriverTransport *createTransport(const QString &location);
    void closeTransport();
    int exchange(const QByteArray &request, QByteArray &answer, int timeoutMs);
    // A command of the driver's own, judged by the answer's error byte.
    int command(const QByteArray &request, RegisterProtocol::Answer &answer);
    int identify();
    void finish(int resultCode);

    DriverSettings m_settings;
    QString m_settingsText;
    QString m_portName;
    QString m_location; // of the line last enabled
    // Its address, when it is a register on the network.
    std::optional<NetworkAddress> m_networkAddress;
    int m_mode = RegisterProtocol::ProgrammingMode;
    QString m_password;
    int m_streamFormat = HexStream::Format;
    QString m_outboundStream;
    int m_enqTimeout = DefaultTimeoutMs;
    int m_needResult = 0;
    QString m_inboundStream;
    RegisterProtocol::Identification m_identification;
    int m_resultCode = 0;
    QString m_resultDetail;
    // The hint of a result whose hint depends on the line; empty for the others.
    QString m_resultHint;
    DriverTransport *m_transport = nullptr; // child while the device is enabled
    std::unique_ptr<RegisterEmulator> m_builtInRegister;
};
