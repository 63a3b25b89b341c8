#include "automationobject.h"

#include "automationregistry.h"

#include <QMetaMethod>
#include <QMetaProperty>

AutomationObject::AutomationObject(QObject *parent) : QObject(parent) {}

AutomationObject::~AutomationObject()
{
    clear();
}

bool AutomationObject::setControl(const QString &progId)
{
    if (m_component && progId.compare(m_progId, Qt::CaseInsensitive) == 0)
        return true;
    clear();
    m_component = AutomationRegistry::createComponent(progId);
    if (!m_component)
        return false;
    m_progId = progId;
    return true;
}

QString AutomationObject::control() const
{
    return m_progId;
}

bool AutomationObject::isNull() const
{
    return m_component == nullptr;
}

QVariant AutomationObject::dynamicCall(const char *function)
{
    if (!m_component)
        return QVariant();
    const QMetaObject *meta = m_component->metaObject();
    const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(function).constData());
    if (index < 0)
        return QVariant();
    const QMetaMethod method = meta->method(index);
    if (method.parameterCount() != 0)
        return QVariant();
    if (method.returnType() == QMetaType::Void) {
        method.invoke(m_component, Qt::DirectConnection);
        return QVariant();
    }
    QVariant result(method.returnType(), nullptr);
    if (!method.invoke(m_component, Qt::DirectConnection,
                       QGenericReturnArgument(method.typeName(), result.data())))
        return QVariant();
    return result;
}

QVariant AutomationObject::property(const char *name) const
{
    if (!m_component)
        return QVariant();
    const QMetaObject *meta = m_component->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0)
        return QVariant();
    QVariant value = meta->property(index).read(m_component);
    // A variant-typed property exposes what it holds, so "no value" stays invalid.
    if (value.userType() == QMetaType::QVariant)
        value = value.value<QVariant>();
    return value;
}

bool AutomationObject::setProperty(const char *name, const QVariant &value)
{
    if (!m_component)
        return false;
    const QMetaObject *meta = m_component->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0)
        return false;
    const QMetaProperty property = meta->property(index);
    if (!property.isWritable())
        return false;
    // Like an automation server, accept a value that converts to the property's type.
    QVariant converted = value;
    const int type = property.userType();
    if (type != QMetaType::QVariant && value.userType() != type && !converted.convert(type))
        return false;
    return property.write(m_component, converted);
}

void AutomationObject::clear()
{
    delete m_component;
    m_component = nullptr;
    m_progId.clear();
}
