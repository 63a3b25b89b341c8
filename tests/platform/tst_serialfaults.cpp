#include "driverregistration.h"
#include "errorcode.h"
#include "protocolpelto.h"
#include "registercommands.h"
#include "registeremulator.h"
#include "registerprocess.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace RegisterCommands;

namespace {

constexpr int Operations = 1500;
constexpr int FiscalMemoryDump = 2;
constexpr int Goods = 1;
constexpr int WrittenRow = 2;
constexpr int WrittenField = 3; // 8 bytes
constexpr int NoMoreData = 1;

QByteArray goodsField(RegisterEmulator &registerEmulator, int row, int field)
{
    return answerData(registerEmulator, read(Goods, row, field));
}

// Record reads, writes of ever new values, reads of the written field and dump
// blocks in turn, each answer the protocol accepts checked against a register
// emulated here. An operation gives 0 or the protocol's failure code.
class CheckedOperations
{
public:
    explicit CheckedOperations(protocolPelto &protocol)
        : m_protocol(protocol), m_dump(wholeDump(m_reference, FiscalMemoryDump)),
          m_possibleValues{goodsField(m_reference, WrittenRow, WrittenField)}
    {
    }

    int run(int operation)
    {
        switch (operation % 4) {
        case 0:
            return readRecord(1 + operation % RegisterEmulator::DefaultGoodsCount);
        case 1:
            return writeValue(QByteArray::number(operation).rightJustified(8, '0'));
        case 2:
            return readWrittenValue();
        default:
            return m_dumpOffset < 0 ? startDump() : readDumpBlock();
        }
    }

    QStringList wrongAnswers() const { return m_wrong; }
    bool mayHoldWrittenValue(const QByteArray &value) const
    {
        return m_possibleValues.contains(value);
    }

private:
    int readRecord(int row)
    {
        QByteArray data;
        const int outcome = readRaw(m_protocol, Goods, row, 0, data);
        if (outcome == ERR_OK)
            check(data, goodsField(m_reference, row, 0), "record");
        return outcome;
    }

    int writeValue(const QByteArray &value)
    {
        FieldBase field(Goods, WrittenRow, WrittenField, value.size());
        field.setRawData(value);
        const int outcome = m_protocol.writeField(&field, true);
        // A failed write may or may not have been applied.
        if (outcome == ERR_OK)
            m_possibleValues.clear();
        m_possibleValues.insert(value);
        return outcome;
    }

    int readWrittenValue()
    {
        QByteArray data;
        const int outcome = readRaw(m_protocol, Goods, WrittenRow, WrittenField, data);
        if (outcome != ERR_OK)
            return outcome;
        if (!m_possibleValues.contains(data))
            m_wrong.append(QStringLiteral("written field: ") + QString::fromLatin1(data));
        m_possibleValues = {data};
        return outcome;
    }

    int startDump()
    {
        qint64 size = 0;
        const int outcome = m_protocol.startReadFW(FiscalMemoryDump, &size);
        if (outcome == ERR_OK) {
            check(QByteArray::number(size), QByteArray::number(m_dump.size()), "dump size");
            m_dumpOffset = 0;
        }
        return outcome;
    }

    // Each block must be exactly the next one: none skipped, none read twice.
    int readDumpBlock()
    {
        QByteArray block;
        const int outcome = m_protocol.readFWBlock(&block);
        if (outcome == ERR_OK) {
            check(block, m_dump.mid(m_dumpOffset, block.size()), "dump block");
            m_dumpOffset += block.size();
            return outcome;
        }
        if (outcome == NoMoreData)
            check(QByteArray::number(m_dumpOffset), QByteArray::number(m_dump.size()), "dump end");
        // After a failure where the register stands is unknown: start again.
        m_dumpOffset = -1;
        return outcome == NoMoreData ? int(ERR_OK) : outcome;
    }

    void check(const QByteArray &accepted, const QByteArray &expected, const char *what)
    {
        if (accepted != expected)
            m_wrong.append(QStringLiteral("%1: %2 instead of %3")
                               .arg(QLatin1String(what), QLatin1String(accepted.toHex()),
                                    QLatin1String(expected.toHex())));
    }

    protocolPelto &m_protocol;
    RegisterEmulator m_reference;
    const QByteArray m_dump;
    int m_dumpOffset = -1; // no dump started
    QSet<QByteArray> m_possibleValues;
    QStringList m_wrong;
};

} // namespace

// Thousands of exchanges over a line that spoils bytes: each one returns the
// register's true answer or fails with a result code.
class TestSerialFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerDriverComponent(); }
    void everyAcceptedAnswerIsTrue_data();
    void everyAcceptedAnswerIsTrue();
};

// Rates that keep the run to a few seconds: each dropped or delayed byte costs
// a 100 ms wait for an ACK.
void TestSerialFaults::everyAcceptedAnswerIsTrue_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::newRow("corrupted and duplicated bytes")
        << QStringList{"--corrupt", "0.005", "--duplicate", "0.0002", "--seed", "11"};
    QTest::newRow("dropped and delayed bytes")
        << QStringList{"--drop", "0.0002", "--delay", "0.0001", "--delay-ms", "80", "--seed", "12"};
}

void TestSerialFaults::everyAcceptedAnswerIsTrue()
{
    QFETCH(QStringList, faults);
    // Saved after every write with a sync to disk: in memory where Linux offers it.
    QTemporaryDir directory(QDir(QStringLiteral("/dev/shm")).exists()
                                ? QStringLiteral("/dev/shm/tst_serialfaults-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/tst_serialfaults-XXXXXX"));
    const QString statePath = directory.filePath(QStringLiteral("register.state"));
    RegisterProcess line;
    QVERIFY(line.start(faults + QStringList{QStringLiteral("--state"), statePath}));
    protocolPelto protocol;
    int attempts = 0;
    while (protocol.openPort(PortInfo(QStringLiteral("pts"), QString(), line.path())) != ERR_OK)
        QVERIFY(++attempts < 10);

    CheckedOperations operations(protocol);
    int failures = 0;
    for (int operation = 0; operation < Operations; ++operation) {
        if (operations.run(operation) != ERR_OK)
            ++failures;
    }
    protocol.closePort();
    const QString summary = line.stop();
    qInfo().noquote() << failures << "of" << Operations << "operations failed;" << summary;
    QVERIFY2(operations.wrongAnswers().isEmpty(), qPrintable(operations.wrongAnswers().join('\n')));
    QVERIFY2(failures < Operations / 20, qPrintable(summary));
    // Lost or garbled acknowledgements made the host repeat requests.
    QVERIFY2(QRegularExpression(QStringLiteral(" [1-9]\\d* repeated")).match(summary).hasMatch(),
             qPrintable(summary));

    QFile stateFile(statePath);
    QVERIFY(stateFile.open(QIODevice::ReadOnly));
    RegisterEmulator saved;
    QVERIFY(saved.restoreTables(stateFile.readAll()));
    QVERIFY(operations.mayHoldWrittenValue(goodsField(saved, WrittenRow, WrittenField)));
}

QTEST_GUILESS_MAIN(TestSerialFaults)
#include "tst_serialfaults.moc"
