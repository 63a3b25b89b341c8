#include "scripteddriver.h"

#include "automationregistry.h"

ScriptedDriver *ScriptedDriver::current = nullptr;

void ScriptedDriver::install()
{
    AutomationRegistry::registerComponent(QStringLiteral("AddIn.Velmar"),
                                          [] { return new ScriptedDriver; });
}

ScriptedDriver::~ScriptedDriver()
{
    if (current == this)
        current = nullptr;
}

void ScriptedDriver::RunCommand()
{
    if (!answers.isEmpty())
        values.insert(QStringLiteral("InboundStream"), answers.takeFirst());
    record(QStringLiteral("RunCommand()"));
}

QStringList ScriptedDriver::sentCommands() const
{
    QStringList sent;
    QString stream;
    for (const QString &call : calls) {
        if (call.startsWith(QLatin1String("OutboundStream=")))
            stream = call.section(QLatin1Char('='), 1);
        else if (call == QLatin1String("RunCommand()"))
            sent.append(stream);
    }
    return sent;
}

void ScriptedDriver::write(const QString &name, const QVariant &value)
{
    values.insert(name, value);
    record(name + QLatin1Char('=') + value.toString());
}

void ScriptedDriver::record(const QString &call)
{
    calls.append(call);
    const QString name = call.section(QLatin1Char('='), 0, 0);
    if (name == failOn) {
        values.insert(QStringLiteral("ResultCode"), failures == 0 ? 0 : failCode);
        if (failures > 0)
            --failures;
    } else if (name == clearOn) {
        values.insert(QStringLiteral("ResultCode"), 0);
    }
}
