#include "automationobject.h"
#include "automationregistry.h"
#include "testdata.h"

namespace {

class SampleComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count MEMBER count)
    Q_PROPERTY(QString Name MEMBER name)
    Q_PROPERTY(QVariant Anything MEMBER anything)
    Q_PROPERTY(int ReadOnly READ readOnly)
public:
    SampleComponent() { ++instances; }
    ~SampleComponent() override { --instances; }

    Q_INVOKABLE int Answer() { return 42; }
    Q_INVOKABLE void Touch() { ++touched; }
    Q_INVOKABLE int Twice(int value) { return 2 * value; }
    int readOnly() const { return 7; }

    int count = 0;
    QString name;
    QVariant anything;
    int touched = 0;
    static int instances;
};

int SampleComponent::instances = 0;

} // namespace

class TestAutomationObject : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        AutomationRegistry::registerComponent("Sample.Component",
                                              [] { return new SampleComponent; });
    }
    void cleanup() { AutomationRegistry::unregisterComponent("Sample.Component"); }

    void controlIsCreatedOnceAndReleasedWithTheObject();
    void unknownProgIdLeavesObjectNull();
    void methodsAndReads();
    void propertyWrites_data();
    void propertyWrites();
};

void TestAutomationObject::controlIsCreatedOnceAndReleasedWithTheObject()
{
    {
        AutomationObject object;
        QVERIFY(object.isNull());
        QVERIFY(object.setControl("Sample.Component"));
        QVERIFY(object.setProperty("Count", 5));
        QVERIFY(object.setControl("SAMPLE.component"));
        QCOMPARE(SampleComponent::instances, 1);
        QCOMPARE(object.property("Count").toInt(), 5); // the same component was kept
    }
    QCOMPARE(SampleComponent::instances, 0);
}

void TestAutomationObject::unknownProgIdLeavesObjectNull()
{
    AutomationObject object;
    QVERIFY(object.setControl("Sample.Component"));
    QVERIFY(!object.setControl("No.Such"));
    QVERIFY(object.isNull());
    QCOMPARE(SampleComponent::instances, 0);
    QVERIFY(!object.property("Count").isValid());
    QVERIFY(!object.setProperty("Count", 1));
    QVERIFY(!object.dynamicCall("Answer()").isValid());
}

void TestAutomationObject::methodsAndReads()
{
    AutomationObject object;
    object.setControl("Sample.Component");
    QCOMPARE(object.dynamicCall("Answer()").toInt(), 42);
    QVERIFY(!object.dynamicCall("Touch()").isValid());
    QVERIFY(!object.dynamicCall("Twice(int)").isValid()); // arguments are not passed
    QVERIFY(!object.dynamicCall("Missing()").isValid());
    QCOMPARE(object.property("ReadOnly").toInt(), 7);
    QVERIFY(!object.property("Nope").isValid());
    QVERIFY(!object.property("Anything").isValid()); // holds no value
    object.setProperty("Anything", QString("text"));
    QCOMPARE(object.property("Anything").userType(), int(QMetaType::QString));
}

void TestAutomationObject::propertyWrites_data()
{
    columns<QByteArray, QVariant, bool>("name", "value", "accepted");
    QTest::newRow("int") << QByteArray("Count") << QVariant(3) << true;
    QTest::newRow("numeric text to int") << QByteArray("Count") << QVariant("12") << true;
    QTest::newRow("text to int") << QByteArray("Count") << QVariant("abc") << false;
    QTest::newRow("text") << QByteArray("Name") << QVariant(QString("x")) << true;
    QTest::newRow("variant takes text") << QByteArray("Anything") << QVariant("t") << true;
    QTest::newRow("read-only") << QByteArray("ReadOnly") << QVariant(1) << false;
    QTest::newRow("unknown") << QByteArray("Nope") << QVariant(1) << false;
}

void TestAutomationObject::propertyWrites()
{
    const auto [name, value, accepted] =
        fetch<QByteArray, QVariant, bool>("name", "value", "accepted");
    AutomationObject object;
    object.setControl("Sample.Component");
    QCOMPARE(object.setProperty(name.constData(), value), accepted);
    if (accepted)
        QCOMPARE(object.property(name.constData()).toString(), value.toString());
}

QTEST_GUILESS_MAIN(TestAutomationObject)
#include "tst_automationobject.moc"
