#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Getter and setter of one scripted property; values live in `values` and
// every write is recorded.
#define SCRIPTED_PROPERTY(Type, Name)                                                              \
    Type get##Name() const                                                                         \
    {                                                                                              \
        return values.value(QStringLiteral(#Name)).value<Type>();                                  \
    }                                                                                              \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        write(QStringLiteral(#Name), QVariant::fromValue(value));                                  \
    }

// A driver component whose answers a test scripts. Every property write
// ("Name=value") and method call ("Name()") is recorded in order; RunCommand()
// takes its InboundStream from `answers`; the operation named in `failOn`
// leaves `failCode` in ResultCode until the one named in `clearOn` resets it.
class ScriptedDriver : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DeviceSettings READ getDeviceSettings WRITE setDeviceSettings)
    Q_PROPERTY(int PortNumber READ getPortNumber WRITE setPortNumber)
    Q_PROPERTY(QString PortName READ getPortName WRITE setPortName)
    Q_PROPERTY(bool DeviceEnabled READ getDeviceEnabled WRITE setDeviceEnabled)
    Q_PROPERTY(int Mode READ getMode WRITE setMode)
    Q_PROPERTY(QString Password READ getPassword WRITE setPassword)
    Q_PROPERTY(int StreamFormat READ getStreamFormat WRITE setStreamFormat)
    Q_PROPERTY(QString OutboundStream READ getOutboundStream WRITE setOutboundStream)
    Q_PROPERTY(int ENQTimeout READ getENQTimeout WRITE setENQTimeout)
    Q_PROPERTY(int NeedResult READ getNeedResult WRITE setNeedResult)
    Q_PROPERTY(QString InboundStream READ getInboundStream)
    Q_PROPERTY(QVariant UProtocolVersion READ getUProtocolVersion)
    Q_PROPERTY(QVariant UType READ getUType)
    Q_PROPERTY(QVariant UModel READ getUModel)
    Q_PROPERTY(QVariant UMode READ getUMode)
    Q_PROPERTY(QVariant UMajorVersion READ getUMajorVersion)
    Q_PROPERTY(QVariant UMinorVersion READ getUMinorVersion)
    Q_PROPERTY(QVariant UBuild READ getUBuild)
    Q_PROPERTY(QVariant UCodePage READ getUCodePage)
    Q_PROPERTY(QVariant UDescription READ getUDescription)
    Q_PROPERTY(int ResultCode READ getResultCode)

public:
    // Registers the component under the driver's ProgID.
    static void install();
    // The component created last, while it exists.
    static ScriptedDriver *current;

    ScriptedDriver();
    ~ScriptedDriver() override;

    Q_INVOKABLE void AddDevice() { record(QStringLiteral("AddDevice()")); }
    Q_INVOKABLE void SetMode() { record(QStringLiteral("SetMode()")); }
    Q_INVOKABLE void RunCommand();
    Q_INVOKABLE void GetDeviceMetrics() { record(QStringLiteral("GetDeviceMetrics()")); }

    // The OutboundStream of every RunCommand() so far.
    QStringList sentCommands() const;

    SCRIPTED_PROPERTY(QString, DeviceSettings)
    SCRIPTED_PROPERTY(int, PortNumber)
    SCRIPTED_PROPERTY(QString, PortName)
    SCRIPTED_PROPERTY(bool, DeviceEnabled)
    SCRIPTED_PROPERTY(int, Mode)
    SCRIPTED_PROPERTY(QString, Password)
    SCRIPTED_PROPERTY(int, StreamFormat)
    SCRIPTED_PROPERTY(QString, OutboundStream)
    SCRIPTED_PROPERTY(int, ENQTimeout)
    SCRIPTED_PROPERTY(int, NeedResult)
    SCRIPTED_PROPERTY(QString, InboundStream)
    SCRIPTED_PROPERTY(QVariant, UProtocolVersion)
    SCRIPTED_PROPERTY(QVariant, UType)
    SCRIPTED_PROPERTY(QVariant, UModel)
    SCRIPTED_PROPERTY(QVariant, UMode)
    SCRIPTED_PROPERTY(QVariant, UMajorVersion)
    SCRIPTED_PROPERTY(QVariant, UMinorVersion)
    SCRIPTED_PROPERTY(QVariant, UBuild)
    SCRIPTED_PROPERTY(QVariant, UCodePage)
    SCRIPTED_PROPERTY(QVariant, UDescription)
    SCRIPTED_PROPERTY(int, ResultCode)

    QVariantMap values;
    QStringList calls;
    QStringList answers;
    QString failOn;
    int failCode = -1;
    QString clearOn;

private:
    void write(const QString &name, const QVariant &value);
    void record(const QString &call);
};
