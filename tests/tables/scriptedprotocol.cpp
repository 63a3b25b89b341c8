#include "scriptedprotocol.h"

#include "errorcode.h"
#include "fieldfactory.h"
#include "tablecatalogue.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

const QEvent::Type markerEvent = QEvent::User;

} // namespace

ScriptedProtocol::ScriptedProtocol()
{
    QCoreApplication::postEvent(this, new QEvent(markerEvent));
}

bool ScriptedProtocol::event(QEvent *event)
{
    if (event->type() != markerEvent)
        return QObject::event(event);
    m_eventsProcessed = true;
    return true;
}

// A marker event stays posted until an event loop processes it.
void ScriptedProtocol::noteEvents()
{
    if (!m_eventsProcessed)
        return;
    calls << QStringLiteral("events");
    m_eventsProcessed = false;
    QCoreApplication::postEvent(this, new QEvent(markerEvent));
}

void ScriptedProtocol::record(const QString &call)
{
    noteEvents();
    calls << call;
    if (onCall)
        onCall();
}

void ScriptedProtocol::clearCalls()
{
    noteEvents();
    calls.clear();
}

int ScriptedProtocol::answer(int row, int field)
{
    m_answered = !unanswered.contains({row, field});
    if (!m_answered)
        return ERR_DEVICE;
    const int scripted = failures.value({row, field}, ERR_OK);
    if (scripted != ERR_OK)
        return scripted;
    if (row > rows.size())
        return ERR_DEVICE_WRONG_ROW;
    if (field > rows[row - 1].size())
        return ERR_DEVICE_WRONG_FIELD;
    return ERR_OK;
}

FieldBase *ScriptedProtocol::readField(int type, int table, int row, int field)
{
    record(QStringLiteral("readField %1 %2 %3").arg(table).arg(row).arg(field));
    const int code = answer(row, field);
    if (code != ERR_OK)
        throw ErrorCode(code);
    const Cell &cell = rows[row - 1][field - 1];
    FieldBase *value = createField(table, row, field, type, cell.width);
    value->fromString(cell.text);
    return value;
}

int ScriptedProtocol::writeField(FieldBase *value, bool)
{
    QString text;
    value->toString(text);
    record(QStringLiteral("writeField %1 %2 %3 = %4")
               .arg(value->tableNumber())
               .arg(value->rowNumber())
               .arg(value->fieldNumber())
               .arg(text));
    return writeFailures.value({value->rowNumber(), value->fieldNumber()}, ERR_OK);
}

int ScriptedProtocol::readRow(int table, int row, FieldList *fields)
{
    record(QStringLiteral("readRow %1 %2").arg(table).arg(row));
    const int code = answer(row, 0);
    if (code != ERR_OK)
        return code;
    fields->clear();
    for (int field = 1; field <= rows[row - 1].size(); ++field) {
        const Cell &cell = rows[row - 1][field - 1];
        QSharedPointer<FieldBase> value(
            createField(table, row, field, fieldType(table, field), cell.width));
        value->fromString(cell.text);
        fields->append(value);
    }
    return ERR_OK;
}

QList<int> callsAfterEvents(const QStringList &calls, int numberIndex)
{
    QList<int> numbers;
    for (int i = 0; i < calls.size(); ++i) {
        if (calls[i] != QLatin1String("events"))
            continue;
        numbers << (i + 1 < calls.size() ? calls[i + 1].split(' ').value(numberIndex).toInt() : 0);
    }
    return numbers;
}
