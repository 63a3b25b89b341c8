// The register's own answers where the protocol above cannot tell them apart:
// error bytes, the general-scheme text layouts and the saved state. Reading and
// writing every table through the whole path is tested with the built-in register.
#include "registercommands.h"
#include "registeremulator.h"
#include "testdata.h"

using namespace RegisterProtocol;
using RegisterCommands::read;
using RegisterCommands::write;

namespace {

const QByteArray EnterProgrammingMode = QByteArray::fromHex("a6043330"); // mode 4, password "30"

} // namespace

class TestRegisterEmulator : public QObject
{
    Q_OBJECT

private slots:
    void refusesRequests_data();
    void refusesRequests();
    void translatesGeneralText_data();
    void translatesGeneralText();
    void buildsLargestGoodsTable();
    void refusesDamagedState_data();
    void refusesDamagedState();
};

void TestRegisterEmulator::refusesRequests_data()
{
    columns<bool, QByteArray, int>("programming", "request", "error");
    const auto row = [](const char *name, bool programming, const QByteArray &request,
                        ErrorByte error) {
        QTest::newRow(name) << programming << request << int(error);
    };
    const QByteArray oneByte(1, '\1');
    // Discounts: two rows of one one-byte field.
    row("read of row 0", false, read(4, 0, 1), RowOutOfRange);
    row("read past the last row", false, read(4, 3, 1), RowOutOfRange);
    row("record past the last row", false, read(4, 3, 0), RowOutOfRange);
    row("read of unknown table", false, read(5, 1, 1), UnknownTable);
    row("write to unknown table", true, write(200, 1, 1, oneByte), UnknownTable);
    row("write past the last row", true, write(4, 3, 1, oneByte), RowOutOfRange);
    row("write to unknown field", true, write(4, 1, 2, oneByte), UnknownField);
    row("write of a whole record", true, write(4, 1, 0, oneByte), UnknownField);
    row("write outside mode 4", false, write(4, 1, 1, oneByte), WrongMode);
    row("write longer than the field", true, write(4, 1, 1, QByteArray(2, '\1')), BadLength);
    row("write without data", true, write(4, 1, 1, {}), BadLength);
    row("short read", false, read(1, 1, 1).left(4), BadLength);
    row("empty request", false, QByteArray(), BadLength);
    row("unknown command", false, QByteArray(1, '\0'), UnknownCommand);
    row("unknown dump kind", false, QByteArray::fromHex("9c03"), BadParameter);
    row("block before any dump", false, QByteArray::fromHex("84"), NoMoreData);
    row("wrong password", false, QByteArray::fromHex("a6043331"), WrongPassword);
    row("unknown mode", false, QByteArray::fromHex("a6003330"), BadParameter);
}

void TestRegisterEmulator::refusesRequests()
{
    const auto [programming, request, error] =
        fetch<bool, QByteArray, int>("programming", "request", "error");
    RegisterEmulator emulator;
    if (programming)
        QCOMPARE(emulator.handle(EnterProgrammingMode), makeAnswer(NoError));

    QCOMPARE(emulator.handle(request), makeAnswer(ErrorByte(error)));
}

// General text is written in one layout and read back in another.
void TestRegisterEmulator::translatesGeneralText_data()
{
    columns<int, int, int, QByteArray, QByteArray>("table", "row", "field", "written", "read");
    const auto padded = [](const char *hex, int width) {
        return QByteArray::fromHex(hex).leftJustified(width, ' ');
    };
    // "Смена №5 – $" and "Юрий»".
    QTest::newRow("section name") << 7 << 1 << 1 << padded("91aca5ada0202435 20fa20fc", 20)
                                  << padded("118c858d80202435 20a220a0", 20);
    QTest::newRow("user name") << 3 << 10 << 2 << padded("9ee0a8a909", 24)
                               << padded("1e908889fe", 24);
}

void TestRegisterEmulator::translatesGeneralText()
{
    const auto [table, row, field, written, readBack] =
        fetch<int, int, int, QByteArray, QByteArray>("table", "row", "field", "written", "read");
    RegisterEmulator emulator;
    QCOMPARE(emulator.handle(EnterProgrammingMode), makeAnswer(NoError));

    QCOMPARE(emulator.handle(write(table, row, field, written)), makeAnswer(NoError));
    QCOMPARE(emulator.handle(read(table, row, field)), makeAnswer(NoError, readBack));
}

// How fast it is built is bench_goods_table's "open" step.
void TestRegisterEmulator::buildsLargestGoodsTable()
{
    RegisterEmulator emulator(RegisterEmulator::MaxGoodsCount);
    QVERIFY(emulator.handle(read(1, RegisterEmulator::MaxGoodsCount, 1))
                .startsWith(makeAnswer(NoError)));
    // Records past the demo list get names of their own.
    QVERIFY(emulator.handle(read(1, 21, 1)) != emulator.handle(read(1, 1, 1)));
}

void TestRegisterEmulator::refusesDamagedState_data()
{
    QTest::addColumn<QByteArray>("state");
    const QByteArray saved = RegisterEmulator(3).saveTables();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << saved.left(saved.size() - 1);
    QTest::newRow("trailing bytes") << saved + 'x';
    QByteArray otherMagic = saved;
    otherMagic[0] = char(otherMagic[0] ^ 0x01);
    QTest::newRow("not a saved state") << otherMagic;
}

// A state the register refuses leaves its tables as they were.
void TestRegisterEmulator::refusesDamagedState()
{
    QFETCH(QByteArray, state);
    RegisterEmulator registerEmulator;
    const QByteArray before = registerEmulator.saveTables();
    QVERIFY(!registerEmulator.restoreTables(state));
    QCOMPARE(registerEmulator.saveTables(), before);
}

QTEST_GUILESS_MAIN(TestRegisterEmulator)
#include "tst_registeremulator.moc"
