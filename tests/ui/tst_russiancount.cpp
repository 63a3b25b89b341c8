#include "russiancount.h"
#include "testdata.h"

class TestRussianCount : public QObject
{
    Q_OBJECT
private slots:
    void recordsRead_data()
    {
        columns<qint64, QString>("count", "text");
        const auto row = [](qint64 count, const char *text) {
            QTest::newRow(text) << count << QString::fromUtf8(text);
        };
        row(0, "Прочитано 0 записей.");
        row(1, "Прочитана 1 запись.");
        row(4, "Прочитано 4 записи.");
        row(11, "Прочитано 11 записей.");
        row(14, "Прочитано 14 записей.");
        row(21, "Прочитана 21 запись.");
        row(112, "Прочитано 112 записей.");
        row(16451, "Прочитана 16\u00a0451 запись.");
        row(65535, "Прочитано 65\u00a0535 записей.");
    }

    void recordsRead()
    {
        const auto [count, text] = fetch<qint64, QString>("count", "text");
        QCOMPARE(recordsReadText(count), text);
    }
};

QTEST_GUILESS_MAIN(TestRussianCount)
#include "tst_russiancount.moc"
