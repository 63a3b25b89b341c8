#include "progresstext.h"
#include "testdata.h"

using ProgressText::Work;

class TestProgressText : public QObject
{
    Q_OBJECT
private slots:
    // The verb and the noun agree with the number as Russian wants, the
    // digits grouped by a no-break space.
    void done_data()
    {
        columns<int, qint64, QString>("work", "count", "text");
        const auto row = [](Work work, qint64 count, const char *text) {
            QTest::newRow(text) << int(work) << count << QString::fromUtf8(text);
        };
        row(Work::RecordsRead, 0, "Прочитано 0 записей");
        row(Work::RecordsRead, 1, "Прочитана 1 запись");
        row(Work::RecordsRead, 4, "Прочитано 4 записи");
        row(Work::RecordsRead, 11, "Прочитано 11 записей");
        row(Work::RecordsRead, 14, "Прочитано 14 записей");
        row(Work::RecordsRead, 21, "Прочитана 21 запись");
        row(Work::RecordsRead, 112, "Прочитано 112 записей");
        row(Work::RecordsRead, 16451, "Прочитана 16\u00a0451 запись");
        row(Work::RecordsRead, 65535, "Прочитано 65\u00a0535 записей");
        row(Work::FieldsWritten, 3, "Записано 3 поля");
        row(Work::BytesRead, 1, "Считан 1 байт");
        row(Work::BytesRead, 65536, "Считано 65\u00a0536 байт");
    }

    void done()
    {
        const auto [work, count, text] = fetch<int, qint64, QString>("work", "count", "text");
        QCOMPARE(ProgressText::done(Work(work), count), text);
    }

    void duration_data()
    {
        columns<qint64, QString>("ms", "text");
        QTest::newRow("milliseconds under a second") << qint64(840) << "840 мс";
        QTest::newRow("tenths under ten seconds") << qint64(2449) << "2,4 с";
        QTest::newRow("whole seconds") << qint64(41500) << "41 с";
        QTest::newRow("minutes") << qint64(581000) << "9 мин 41 с";
        QTest::newRow("hours") << qint64(3720000) << "1 ч 2 мин";
    }

    void duration()
    {
        const auto [ms, text] = fetch<qint64, QString>("ms", "text");
        QCOMPARE(ProgressText::duration(ms), text);
    }

    void running()
    {
        QCOMPARE(ProgressText::running(Work::RecordsRead, 12345, 65535, 110.4, 486000),
                 "Записи: 12\u00a0345 из 65\u00a0535, 110/с, осталось 8 мин 6 с");
        QCOMPARE(ProgressText::running(Work::RecordsRead, 50, -1, 0, -1), "Записи: 50, 0/с");
    }

    void checkOutcome_data()
    {
        columns<QString, QString>("text", "expected");
        QTest::newRow("every field checked")
            << ProgressText::checked(480, 480) << QString::fromUtf8("проверено");
        QTest::newRow("stopped") << ProgressText::checked(121, 1480)
                                 << QString::fromUtf8("проверено 121 поле из 1\u00a0480");
        QTest::newRow("one mismatch")
            << ProgressText::mismatches(1, 5, QString::fromUtf8("Цена"))
            << QString::fromUtf8("Проверка записи: 1 несовпадение — строка 5, «Цена».");
        QTest::newRow("three mismatches")
            << ProgressText::mismatches(3, 5, QString::fromUtf8("Цена"))
            << QString::fromUtf8("Проверка записи: 3 несовпадения, первое — строка 5, «Цена».");
        QTest::newRow("eleven mismatches")
            << ProgressText::mismatches(11, 2, QString::fromUtf8("Имя"))
            << QString::fromUtf8("Проверка записи: 11 несовпадений, первое — строка 2, «Имя».");
        QTest::newRow("no try failed") << ProgressText::exchangeTrouble({2017, 0, 0}) << QString();
        QTest::newRow("tries failed, retried")
            << ProgressText::exchangeTrouble({2017, 17, 17})
            << QString::fromUtf8(", 2\u00a0017 обменов, 17 повторов, 17 сбоев");
        QTest::newRow("the last try failed too")
            << ProgressText::exchangeTrouble({22, 2, 3})
            << QString::fromUtf8(", 22 обмена, 2 повтора, 3 сбоя");
        QTest::newRow("failures and a wait")
            << ProgressText::exchangeTrouble({22, 2, 3, 2400})
            << QString::fromUtf8(", 22 обмена, 2 повтора, 3 сбоя, ожидание порта 2,4 с");
        QTest::newRow("one exchange, no retry")
            << ProgressText::exchangeTrouble({1, 0, 1})
            << QString::fromUtf8(", 1 обмен, 0 повторов, 1 сбой");
    }

    void checkOutcome()
    {
        const auto [text, expected] = fetch<QString, QString>("text", "expected");
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(TestProgressText)
#include "tst_progresstext.moc"
