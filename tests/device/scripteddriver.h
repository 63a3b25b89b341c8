#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A scripted property: its value lives in `values`, and every write is recorded.
#define SCRIPTED_READ(Type, Name)                                                                  \
public:                                                                                            \
    Type get##Name() const                                                                         \
    {                                                                                              \
        return values.value(QStringLiteral(#Name)).value<Type>();                                  \
    }
#define SCRIPTED_PROPERTY(Type, Name)                                                              \
    Q_PROPERTY(Type Name READ get##Name WRITE set##Name)                                           \
    SCRIPTED_READ(Type, Name)                                                                      \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        write(QStringLiteral(#Name), QVariant::fromValue(value));                                  \
    }
#define SCRIPTED_READ_ONLY(Type, Name)                                                             \
    Q_PROPERTY(Type Name READ get##Name)                                                           \
    SCRIPTED_READ(Type, Name)

// A driver component whose answers a test scripts. Every property write
// ("Name=value") and method call ("Name()") is recorded in order; RunCommand()
// takes its InboundStream from `answers`; the operation named in `failOn`
// leaves `failCode` in ResultCode until the one named in `clearOn` resets it,
// the first `failures` times it is called (all, when negative); after those,
// it leaves 0.
class ScriptedDriver : public QObject
{
    Q_OBJECT
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
    SCRIPTED_READ_ONLY(QString, InboundStream)
    SCRIPTED_READ_ONLY(QVariant, UProtocolVersion)
    SCRIPTED_READ_ONLY(QVariant, UType)
    SCRIPTED_READ_ONLY(QVariant, UModel)
    SCRIPTED_READ_ONLY(QVariant, UMode)
    SCRIPTED_READ_ONLY(QVariant, UMajorVersion)
    SCRIPTED_READ_ONLY(QVariant, UMinorVersion)
    SCRIPTED_READ_ONLY(QVariant, UBuild)
    SCRIPTED_READ_ONLY(QVariant, UCodePage)
    SCRIPTED_READ_ONLY(QVariant, UDescription)
    SCRIPTED_READ_ONLY(int, ResultCode)
    // "result N" of the ResultCode at the time it is read.
    Q_PROPERTY(QString ResultDescription READ getResultDescription)

public:
    // Registers the component under the driver's ProgID.
    static void install();
    // The component created last, while it exists.
    static ScriptedDriver *current;

    ScriptedDriver() { current = this; }
    ~ScriptedDriver() override;

    Q_INVOKABLE void AddDevice() { record(QStringLiteral("AddDevice()")); }
    Q_INVOKABLE void SetMode() { record(QStringLiteral("SetMode()")); }
    Q_INVOKABLE void RunCommand();
    Q_INVOKABLE void GetDeviceMetrics() { record(QStringLiteral("GetDeviceMetrics()")); }

    QString getResultDescription() const
    {
        return QStringLiteral("result %1").arg(getResultCode());
    }

    // The OutboundStream of every RunCommand() so far.
    QStringList sentCommands() const;

    QVariantMap values;
    QStringList calls;
    QStringList answers;
    QString failOn;
    int failCode = -1;
    int failures = -1;
    QString clearOn;

private:
    void write(const QString &name, const QVariant &value);
    void record(const QString &call);
};
