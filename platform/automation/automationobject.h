#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Late-bound access to an automation component by its ProgID: methods are
// called by their signature text and properties are read and written by name,
// through the component's meta-object.
class AutomationObject : public QObject
{
    Q_OBJECT
public:
    explicit AutomationObject(QObject *parent = nullptr);
    ~AutomationObject() override;

    // Creates the component registered under progId (case-insensitive). The
    // same ProgID again keeps the existing component; an unknown one leaves
    // the object null.
    bool setControl(const QString &progId);
    QString control() const;
    bool isNull() const;

    // Calls a method without arguments, e.g. "RunCommand()"; returns its
    // result, or an invalid variant for a void or unknown method.
    QVariant dynamicCall(const char *function);

    // A property that does not exist or holds no value reads as invalid.
    QVariant property(const char *name) const;
    // False for an unknown or read-only property and a value of the wrong type.
    bool setProperty(const char *name, const QVariant &value);

private:
    void clear();

    QObject *m_component = nullptr;
    QString m_progId;
};
