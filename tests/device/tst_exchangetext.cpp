// The exchanges the protocol records, in words, from the register built into
// the driver component; and the journal that keeps the last of them.
#include "driverregistration.h"
#include "errorcode.h"
#include "exchangejournal.h"
#include "exchangetext.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "testdata.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

const PortInfo builtInRegister(QStringLiteral("EMU1"), QStringLiteral("built-in"),
                               QLatin1String(builtInRegisterLocation));

// The columns from the port on, tab-separated: time and duration vary.
QStringList rows(const ExchangeJournal &journal)
{
    QStringList texts;
    for (int index = 0; index < journal.size(); ++index)
        texts << ExchangeText::line(journal.at(index))
                     .section(QLatin1Char('\t'), ExchangeText::Port)
                     .chopped(1);
    return texts;
}

using Operation = std::function<void(protocolPelto &)>;

ExchangeRecord numbered(int number)
{
    ExchangeRecord record;
    record.row = quint16(number);
    return record;
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestExchangeText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerDriverComponent(); }

    void decodesEachExchange_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("field read")
            << Operation(
                   [](protocolPelto &protocol) { delete protocol.readField(FIELD_BCD, 1, 1, 2); })
            << QStringList{"emulator:builtin\tЧтение поля\t1 База товаров\t1\t2\t0\tОшибок нет\t\t"
                           "46 01 00 01 02\t55 00 00 04 60 12 34 00 00 17"};
        // The register's refusal is its answer, not a failure.
        QTest::newRow("record past the end")
            << Operation([](protocolPelto &protocol) {
                   FieldList fields;
                   protocol.readRow(7, 99, &fields);
               })
            << QStringList{"emulator:builtin\tЧтение поля\t7 Налоговые ставки\t99\t1\t-259\t"
                           "Неверный номер ряда\t\t46 0d 00 63 01\t55 92"};
        QTest::newRow("field write")
            << Operation([](protocolPelto &protocol) {
                   FieldBase value(1, 3, 4, 1);
                   value.setRawData(QByteArray(1, 2));
                   protocol.writeField(&value, true);
               })
            << QStringList{"emulator:builtin\tЗапись поля\t1 База товаров\t3\t4\t0\tОшибок нет\t\t"
                           "50 01 00 03 04 02\t55 00"};
        QTest::newRow("dump")
            << Operation([](protocolPelto &protocol) {
                   qint64 size = 0;
                   protocol.startReadFW(2, &size);
                   QByteArray block;
                   protocol.readFWBlock(&block);
               })
            << QStringList{
                   "emulator:builtin\tНачало дампа\t\t\t\t0\tОшибок нет\t\t9c 02\t55 00 00 1f 40",
                   "emulator:builtin\tБлок дампа\t\t\t\t0\tОшибок нет\t\t84\t55 00 22 0f 0f 83…"};
    }

    void decodesEachExchange()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, expected);
        protocolPelto protocol;
        ExchangeJournal journal;
        protocol.setExchangeObserver(&journal);
        QCOMPARE(protocol.openPort(builtInRegister), 0);
        operation(protocol);
        protocol.closePort();
        const QStringList connection{"emulator:builtin\tИдентификация\t\t\t\t0\tОшибок нет\t\t\t",
                                     "emulator:builtin\tВход в режим\t\t\t\t0\tОшибок нет\t\t\t"};
        QStringList held = rows(journal);
        // The answer of a dump block: its first bytes, and that it has 256 more.
        for (QString &row : held) {
            if (row.contains("\tБлок дампа\t")) {
                QCOMPARE(row.section('\t', -1).size(), (2 + 256) * 3 - 1);
                row = row.left(row.size() - (256 - 4) * 3) + "…";
            }
        }
        QCOMPARE(held, connection + expected);
        QCOMPARE(protocol.exchangeCounts().exchanges, journal.size());
        QCOMPARE(protocol.exchangeCounts().failures, 0);
    }

    // Once full, each record added drops the oldest.
    void journalKeepsTheLast_data()
    {
        columns<int, int, QVector<int>>("capacity", "added", "held");
        QTest::newRow("not full") << 3 << 2 << QVector<int>{1, 2};
        QTest::newRow("just full") << 3 << 3 << QVector<int>{1, 2, 3};
        QTest::newRow("wrapped") << 3 << 7 << QVector<int>{5, 6, 7};
    }

    void journalKeepsTheLast()
    {
        const auto [capacity, added, held] =
            fetch<int, int, QVector<int>>("capacity", "added", "held");
        ExchangeJournal journal(capacity);
        for (int number = 1; number <= added; ++number)
            journal.exchanged(numbered(number));
        QVector<int> rowsHeld;
        for (int index = 0; index < journal.size(); ++index)
            rowsHeld << journal.at(index).row;
        QCOMPARE(rowsHeld, held);
        QCOMPARE(journal.added(), qint64(added));
    }
};

QTEST_GUILESS_MAIN(TestExchangeText)
#include "tst_exchangetext.moc"
