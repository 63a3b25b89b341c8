#include "registeremulator.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace RegisterProtocol;

namespace {

QByteArray address(quint8 command, int table, int row, int field)
{
    QByteArray request;
    request.append(char(command));
    request.append(char(table));
    request.append(char(row >> 8));
    request.append(char(row & 0xFF));
    request.append(char(field));
    return request;
}

QByteArray readRequest(int table, int row, int field)
{
    return address(ReadField, table, row, field);
}

QByteArray writeRequest(int table, int row, int field, const QByteArray &data)
{
    return address(WriteField, table, row, field) + data;
}

const QByteArray EnterProgrammingMode = QByteArray::fromHex("a6043330"); // mode 4, password "30"

} // namespace

class TestRegisterEmulator : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryTable_data();
    void readsEveryTable();
    void firstOf32RowsHoldOneByte();
    void refusesRequests_data();
    void refusesRequests();
    void writesAndReadsBack_data();
    void writesAndReadsBack();
    void dumpsToAnnouncedSize_data();
    void dumpsToAnnouncedSize();
    void buildsLargestGoodsTableQuickly();
    void restoresSavedTables();
    void refusesDamagedState_data();
    void refusesDamagedState();
};

void TestRegisterEmulator::readsEveryTable_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("fields");
    QTest::addColumn<int>("recordWidth");

    QTest::newRow("goods") << 1 << 20 << 7 << 84;
    QTest::newRow("settings") << 2 << 1 << 60 << 70;
    QTest::newRow("users") << 3 << 10 << 2 << 28;
    QTest::newRow("discounts") << 4 << 2 << 1 << 1;
    QTest::newRow("receipt text") << 6 << 6 << 1 << 40;
    QTest::newRow("sections") << 7 << 16 << 2 << 21;
    QTest::newRow("payment types") << 12 << 5 << 1 << 24;
    QTest::newRow("tax rates") << 13 << 6 << 3 << 24;
    QTest::newRow("alcohol requisites") << 15 << 1 << 4 << 139;
    QTest::newRow("gsm/wi-fi") << 17 << 8 << 1 << 32;
    QTest::newRow("data operator") << 19 << 1 << 8 << 209;
}

void TestRegisterEmulator::readsEveryTable()
{
    QFETCH(int, table);
    QFETCH(int, rows);
    QFETCH(int, fields);
    QFETCH(int, recordWidth);
    RegisterEmulator emulator;

    for (int row : {1, rows}) {
        QByteArray fieldByField;
        for (int field = 1; field <= fields; ++field) {
            const QByteArray answer = emulator.handle(readRequest(table, row, field));
            QCOMPARE(answer.left(2), makeAnswer(NoError));
            QVERIFY(answer.size() > 2);
            fieldByField += answer.mid(2);
        }
        const QByteArray record = emulator.handle(readRequest(table, row, 0));
        QCOMPARE(record, makeAnswer(NoError, fieldByField));
        QCOMPARE(record.size() - 2, recordWidth);
    }
    QCOMPARE(emulator.handle(readRequest(table, 0, 1)), makeAnswer(RowOutOfRange));
    QCOMPARE(emulator.handle(readRequest(table, rows + 1, 1)), makeAnswer(RowOutOfRange));
    QCOMPARE(emulator.handle(readRequest(table, rows + 1, 0)), makeAnswer(RowOutOfRange));
    QCOMPARE(emulator.handle(readRequest(table, 1, fields + 1)), makeAnswer(UnknownField));
}

void TestRegisterEmulator::firstOf32RowsHoldOneByte()
{
    RegisterEmulator emulator;
    for (int row : {4, 7, 8}) {
        const QByteArray answer = emulator.handle(readRequest(17, row, 1));
        QCOMPARE(answer.size(), 2 + 32);
        QCOMPARE(answer.mid(3), QByteArray(31, ' '));
    }
}

void TestRegisterEmulator::refusesRequests_data()
{
    QTest::addColumn<bool>("programming");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("error");

    const QByteArray oneByte(1, '\1');
    QTest::newRow("read of unknown table") << false << readRequest(5, 1, 1) << int(UnknownTable);
    QTest::newRow("read of table 0") << false << readRequest(0, 1, 1) << int(UnknownTable);
    QTest::newRow("write to unknown table")
        << true << writeRequest(200, 1, 1, oneByte) << int(UnknownTable);
    QTest::newRow("write past the last row")
        << true << writeRequest(4, 3, 1, oneByte) << int(RowOutOfRange);
    QTest::newRow("write to unknown field")
        << true << writeRequest(4, 1, 2, oneByte) << int(UnknownField);
    QTest::newRow("write of a whole record")
        << true << writeRequest(4, 1, 0, oneByte) << int(UnknownField);
    QTest::newRow("write outside mode 4")
        << false << writeRequest(4, 1, 1, oneByte) << int(WrongMode);
    QTest::newRow("write longer than the field")
        << true << writeRequest(4, 1, 1, QByteArray(2, '\1')) << int(BadLength);
    QTest::newRow("write without data") << true << writeRequest(4, 1, 1, {}) << int(BadLength);
    QTest::newRow("short read") << false << readRequest(1, 1, 1).left(4) << int(BadLength);
    QTest::newRow("empty request") << false << QByteArray() << int(BadLength);
    QTest::newRow("unknown command") << false << QByteArray(1, '\0') << int(UnknownCommand);
    QTest::newRow("unknown dump kind") << false << QByteArray::fromHex("9c03") << int(BadParameter);
    QTest::newRow("block before any dump") << false << QByteArray::fromHex("84") << int(NoMoreData);
    QTest::newRow("wrong password")
        << false << QByteArray::fromHex("a6043331") << int(WrongPassword);
    QTest::newRow("unknown mode") << false << QByteArray::fromHex("a6003330") << int(BadParameter);
}

void TestRegisterEmulator::refusesRequests()
{
    QFETCH(bool, programming);
    QFETCH(QByteArray, request);
    QFETCH(int, error);
    RegisterEmulator emulator;
    if (programming)
        QCOMPARE(emulator.handle(EnterProgrammingMode), makeAnswer(NoError));

    QCOMPARE(emulator.handle(request), makeAnswer(ErrorByte(error)));
}

void TestRegisterEmulator::writesAndReadsBack_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("read");

    const auto padded = [](const char *hex, int width, char padding) {
        QByteArray bytes = QByteArray::fromHex(hex);
        return bytes + QByteArray(width - bytes.size(), padding);
    };
    const QByteArray price = QByteArray::fromHex("0000000000012345");
    QTest::newRow("goods price") << 1 << 20 << 3 << price << price;
    const QByteArray binary = QByteArray::fromHex("0102");
    QTest::newRow("settings binary field") << 2 << 1 << 12 << binary << binary;
    // Capitals and mixed text is stored and read as it is.
    const QByteArray capitals = padded("92859192", 64, ' ');
    QTest::newRow("goods name") << 1 << 1 << 1 << capitals << capitals;
    const QByteArray mixed = padded("616263808182", 32, '\0');
    QTest::newRow("gsm/wi-fi text row") << 17 << 5 << 1 << mixed << mixed;
    // General text is read back in the general read layout:
    // "Смена №5 – $" and "Юрий»".
    QTest::newRow("section name") << 7 << 1 << 1 << padded("91aca5ada0202435 20fa20fc", 20, ' ')
                                  << padded("118c858d80202435 20a220a0", 20, ' ');
    QTest::newRow("user name") << 3 << 10 << 2 << padded("9ee0a8a909", 24, ' ')
                               << padded("1e908889fe", 24, ' ');
}

void TestRegisterEmulator::writesAndReadsBack()
{
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(int, field);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, read);
    RegisterEmulator emulator;
    QCOMPARE(emulator.handle(EnterProgrammingMode), makeAnswer(NoError));

    QCOMPARE(emulator.handle(writeRequest(table, row, field, written)), makeAnswer(NoError));
    QCOMPARE(emulator.handle(readRequest(table, row, field)), makeAnswer(NoError, read));
}

void TestRegisterEmulator::dumpsToAnnouncedSize_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("firmware processor") << 17;
    QTest::newRow("fiscal memory processor") << 2;
}

void TestRegisterEmulator::dumpsToAnnouncedSize()
{
    QFETCH(int, kind);
    RegisterEmulator emulator;
    const QByteArray start = QByteArray(1, char(StartDump)) + char(kind);
    const QByteArray next(1, char(NextDumpBlock));

    QByteArray firstPass;
    for (int pass = 0; pass < 2; ++pass) {
        const QByteArray started = emulator.handle(start);
        QCOMPARE(started.left(2), makeAnswer(NoError));
        QCOMPARE(started.size(), 5);
        const int size =
            (quint8(started[2]) << 16) | (quint8(started[3]) << 8) | quint8(started[4]);
        QVERIFY(size > 0);

        QByteArray dump;
        QByteArray answer;
        while ((answer = emulator.handle(next)).startsWith(makeAnswer(NoError))) {
            QVERIFY(answer.size() - 2 <= DumpMemory::BlockSize);
            dump += answer.mid(2);
            QVERIFY(dump.size() <= size);
        }
        QCOMPARE(answer, makeAnswer(NoMoreData));
        QCOMPARE(dump.size(), size);
        if (pass == 0)
            firstPass = dump;
        else
            QCOMPARE(dump, firstPass);
    }
}

void TestRegisterEmulator::buildsLargestGoodsTableQuickly()
{
    QElapsedTimer timer;
    timer.start();
    RegisterEmulator emulator(RegisterEmulator::MaxGoodsCount);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));

    const QByteArray last = emulator.handle(readRequest(1, 65535, 0));
    QCOMPARE(last.left(2), makeAnswer(NoError));
    QCOMPARE(last.size() - 2, 84);
    // Records past the demo list get names of their own.
    QVERIFY(emulator.handle(readRequest(1, 21, 1)) != emulator.handle(readRequest(1, 1, 1)));
}

void TestRegisterEmulator::restoresSavedTables()
{
    RegisterEmulator original(3);
    QCOMPARE(original.handle(EnterProgrammingMode), makeAnswer(NoError));
    const QByteArray name = QByteArray("SAVED").leftJustified(64, ' ');
    QCOMPARE(original.handle(writeRequest(1, 3, 1, name)), makeAnswer(NoError));
    QCOMPARE(original.revision(), 1);

    RegisterEmulator restored;
    QVERIFY(restored.restoreTables(original.saveTables()));
    QCOMPARE(restored.goodsCount(), 3);
    QCOMPARE(restored.handle(readRequest(1, 3, 1)), makeAnswer(NoError, name));
    QCOMPARE(restored.saveTables(), original.saveTables());
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
