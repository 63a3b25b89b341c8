#include "byteline.h"
#include "framelink.h"
#include "registerresponder.h"
#include "serialframe.h"

#include <QtTest>

#include <utility>

namespace {

using Chunk = QPair<int, QByteArray>; // milliseconds, bytes received then
using Chunks = QVector<Chunk>;

QString eventNames(FrameDecoder &decoder)
{
    static const char *const names[] = {"Ack", "Nak", "Frame", "BadFrame", "Stalled"};
    QStringList taken;
    FrameEvent event;
    while (decoder.takeEvent(event))
        taken.append(QString::fromLatin1(names[event.kind]));
    return taken.join(QLatin1Char(' '));
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

// A line that hands out scripted input once and records what is written.
class ScriptedLine : public ByteLine
{
public:
    bool write(const QByteArray &bytes) override
    {
        written += bytes;
        return true;
    }
    QByteArray read(int) override { return std::exchange(input, QByteArray()); }

    QByteArray input;
    QByteArray written;
};

// A request frame the register gets and what it answers: the answer's data,
// or nothing when it only acknowledges the request.
struct Step
{
    int seq;
    QByteArray request;
    QByteArray answer;
};
using Steps = QVector<Step>;

} // namespace

Q_DECLARE_METATYPE(Chunks)
Q_DECLARE_METATYPE(Steps)

class TestSerialFrame : public QObject
{
    Q_OBJECT

private slots:
    void checksumIsCrc32();
    void prefixCrcMatchesWholeCrc();
    void roundTrips_data();
    void roundTrips();
    void neverAcceptsAFlippedBit_data();
    void neverAcceptsAFlippedBit();
    void decodesDamagedStreams_data();
    void decodesDamagedStreams();
    void registerExecutesEachRequestOnce();
    void registerRemembersOneConnection_data();
    void registerRemembersOneConnection();
};

void TestSerialFrame::checksumIsCrc32()
{
    QCOMPARE(SerialFrame::crc32("123456789", 9), quint32(0xCBF43926));
    QCOMPARE(SerialFrame::encode(0x12, "\x46"), QByteArray::fromHex("02120001465df095ec"));
}

// Stretches of every length at several offsets, also after the start is cut.
void TestSerialFrame::prefixCrcMatchesWholeCrc()
{
    QByteArray bytes = allByteValues().repeated(6);
    PrefixCrc prefixCrc;
    prefixCrc.append(bytes.constData(), 700);
    prefixCrc.append(bytes.constData() + 700, bytes.size() - 700);
    for (int cut : {0, 5, 300}) {
        prefixCrc.removeFirst(cut);
        bytes.remove(0, cut);
        for (int from : {0, 1, 250}) {
            for (int to = from; to <= qMin(bytes.size(), from + PrefixCrc::MaxStretch); ++to)
                QCOMPARE(prefixCrc.crc32(from, to),
                         SerialFrame::crc32(bytes.constData() + from, to - from));
        }
    }
}

void TestSerialFrame::roundTrips_data()
{
    QTest::addColumn<int>("seq");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("empty") << 0 << QByteArray();
    QTest::newRow("one byte") << 255 << QByteArray(1, '\x55');
    QTest::newRow("largest") << 7 << QByteArray(SerialFrame::MaxPayload, '\xA5');
    QTest::newRow("all byte values") << 2 << allByteValues();
    QTest::newRow("control bytes") << 6 << QByteArray("\x02\x06\x15\x02\x02", 5);
}

// Two frames in a row, in reads of every kind of size: one read, bytes one by
// one, pieces that cut headers and CRCs, a read that ends in the second frame.
void TestSerialFrame::roundTrips()
{
    QFETCH(int, seq);
    QFETCH(QByteArray, payload);
    const QByteArray frame = SerialFrame::encode(quint8(seq), payload);
    QCOMPARE(frame.size(), payload.size() + 8);

    const QByteArray twice = frame + frame;
    for (int split : {twice.size(), 1, 3, frame.size() + 3}) {
        FrameDecoder decoder;
        for (int offset = 0; offset < twice.size(); offset += split)
            decoder.feed(twice.mid(offset, split), 0);
        for (int copy = 0; copy < 2; ++copy) {
            FrameEvent event;
            QVERIFY(decoder.takeEvent(event));
            QCOMPARE(event.kind, FrameEvent::Frame);
            QCOMPARE(int(event.seq), seq);
            QCOMPARE(event.payload, payload);
        }
        FrameEvent event;
        QVERIFY(!decoder.takeEvent(event));
    }
}

void TestSerialFrame::neverAcceptsAFlippedBit_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("control bytes") << QByteArray("\x02\x06\x15\x02", 4);
    QTest::newRow("largest") << allByteValues().repeated(4);
}

void TestSerialFrame::neverAcceptsAFlippedBit()
{
    QFETCH(QByteArray, payload);
    const QByteArray frame = SerialFrame::encode(9, payload);
    for (int bit = 0; bit < frame.size() * 8; ++bit) {
        QByteArray damaged = frame;
        damaged[bit / 8] = char(damaged[bit / 8] ^ (1 << (bit % 8)));
        FrameDecoder decoder;
        decoder.feed(damaged, 0);
        QVERIFY2(!eventNames(decoder).split(QLatin1Char(' ')).contains(QLatin1String("Frame")),
                 qPrintable(QString::number(bit)));
        // The next frame is found again, also after a length that waits for more.
        decoder.feed(frame, 100);
        QVERIFY2(eventNames(decoder).endsWith(QLatin1String("Frame")),
                 qPrintable(QString::number(bit)));
    }
}

void TestSerialFrame::decodesDamagedStreams_data()
{
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<QString>("events");

    const QByteArray frame = SerialFrame::encode(1, "abcdef");
    QByteArray badCrc = frame;
    badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 0x01);
    QTest::newRow("garbage before STX") << Chunks{{0, "\xff\x00xyz" + frame}} << "Frame";
    QTest::newRow("acknowledgements between frames")
        << Chunks{{0, "\x06" + frame + "\x15"}} << "Ack Frame Nak";
    QTest::newRow("NAKs received together") << Chunks{{0, "\x15\x15"}, {1, "\x15"}} << "Nak";
    QTest::newRow("bad CRC, then a good frame") << Chunks{{0, badCrc + frame}} << "BadFrame Frame";
    // The payload of a garbled frame holds what looks like the start of a long one.
    QByteArray garbled = SerialFrame::encode(1, QByteArray("\x02\x05\x00\x10", 4));
    garbled[garbled.size() - 1] = char(garbled.back() ^ 0x01);
    QTest::newRow("resend after a garbled frame")
        << Chunks{{0, garbled}, {1, frame}} << "BadFrame Frame";
    const QByteArray longFrame = SerialFrame::encode(2, QByteArray(40, 'x'));
    QTest::newRow("frame inside a stalled one")
        << Chunks{{0, longFrame.left(7)}, {10, frame}} << "Stalled Frame";
    QTest::newRow("payload bytes of a garbled frame are no ACK")
        << Chunks{{0, SerialFrame::encode(1, "\x06\x15").left(7) + frame}} << "BadFrame Frame";
    QByteArray nested = SerialFrame::encode(3, frame);
    nested[nested.size() - 1] = char(nested.back() ^ 0x01);
    QTest::newRow("frame inside a garbled one") << Chunks{{0, nested}} << "BadFrame Frame";
    // Each STX starts a frame of 514 bytes; the first to complete fails, and of
    // the rest only the real frame ends within what had arrived by then.
    const QByteArray stxRun(600, SerialFrame::Stx);
    QTest::newRow("run of STX bytes") << Chunks{{0, stxRun + frame}} << "BadFrame Frame";
    Chunks byteByByte;
    for (char byte : stxRun + frame)
        byteByByte.append({0, QByteArray(1, byte)});
    QTest::newRow("run of STX bytes, byte by byte") << byteByByte << "BadFrame Stalled Frame";
    QTest::newRow("LEN over 1024")
        << Chunks{{0, QByteArray("\x02\x01\x04\x01", 4) + frame}} << "BadFrame Frame";
    QTest::newRow("short frame, then a good one later")
        << Chunks{{0, frame.left(7)}, {51, frame}} << "Stalled Frame";
    QTest::newRow("slow bytes within the limit")
        << Chunks{{0, frame.left(7)}, {50, frame.mid(7)}} << "Frame";
}

void TestSerialFrame::decodesDamagedStreams()
{
    QFETCH(Chunks, chunks);
    QFETCH(QString, events);
    FrameDecoder decoder;
    for (const Chunk &chunk : chunks)
        decoder.feed(chunk.second, chunk.first);
    decoder.expire(chunks.last().first + SerialFrame::StallMs + 1);
    QCOMPARE(eventNames(decoder), events);
}

// A request repeated with its SEQ and bytes is answered from the cache, a late
// copy of the one before only acknowledged; any other request is executed. The
// answer is sent at most three times.
void TestSerialFrame::registerExecutesEachRequestOnce()
{
    ScriptedLine line;
    FrameLink link(line);
    int executed = 0;
    RegisterResponder responder(link,
                                [&](const QByteArray &) { return QByteArray::number(++executed); });
    const auto serve = [&](const QByteArray &input) {
        line.input = input;
        line.written.clear();
        responder.serveNext();
        return line.written;
    };
    const QByteArray ack(1, SerialFrame::Ack);
    const QByteArray nak(1, SerialFrame::Nak);
    const QByteArray nextBlock = SerialFrame::encode(5, "\x84");
    QByteArray damaged = nextBlock;
    damaged[6] = char(damaged[6] ^ 0x01);

    QCOMPARE(serve(nextBlock), ack + SerialFrame::encode(5, "1"));
    QCOMPARE(serve(nextBlock), ack + SerialFrame::encode(5, "1"));
    QCOMPARE(serve(nak), SerialFrame::encode(5, "1"));
    QCOMPARE(serve(nak), SerialFrame::encode(5, "1"));
    QCOMPARE(serve(nak), QByteArray());
    QCOMPARE(serve(SerialFrame::encode(5, "\x46")), ack + SerialFrame::encode(5, "2"));
    QCOMPARE(serve(ack), QByteArray());
    QCOMPARE(serve(damaged), nak);
    QCOMPARE(serve(SerialFrame::encode(6, "\x46")), ack + SerialFrame::encode(6, "3"));
    QCOMPARE(serve(SerialFrame::encode(5, "\x46")), ack);
    QCOMPARE(serve(nak), SerialFrame::encode(6, "3"));
    QCOMPARE(serve(SerialFrame::encode(6, "\x46")), ack + SerialFrame::encode(6, "3"));
    QCOMPARE(executed, 3);
    QCOMPARE(responder.repeatedRequests(), 2);
}

// The register answers each request it executes with the number of requests
// executed so far.
void TestSerialFrame::registerRemembersOneConnection_data()
{
    QTest::addColumn<Steps>("steps");
    const QByteArray identify("\xa5");
    const QByteArray block("\x84");
    const QByteArray write("\x50\x01\x00\x01\x04\x01", 6);
    // Two connection checks in a row, then a new program whose first SEQ repeats one of theirs.
    QTest::newRow("identification at the last SEQ")
        << Steps{{200, identify, "1"}, {201, identify, "2"}, {201, identify, "3"}};
    QTest::newRow("identification at the SEQ before last")
        << Steps{{200, identify, "1"}, {201, identify, "2"}, {200, identify, "3"}};
    QTest::newRow("identification forgets the last connection") << Steps{
        {10, block, "1"}, {11, block, "2"}, {9, identify, "3"}, {10, block, "4"}, {11, block, "5"}};
    QTest::newRow("late dump block")
        << Steps{{1, identify, "1"}, {2, block, "2"}, {3, block, "3"}, {4, block, "4"},
                 {2, block, ""},     {4, block, "4"}, {5, block, "5"}};
    Steps lateWrite{{0, identify, "1"}, {1, write, "2"}};
    for (int seq = 2; seq <= 100; ++seq)
        lateWrite.append({seq, block, QByteArray::number(seq + 1)});
    lateWrite.append({1, write, ""});
    QTest::newRow("write copied 99 requests late") << lateWrite;
    Steps longDump{{0, identify, "1"}};
    for (int count = 1; count <= 600; ++count)
        longDump.append({count % 256, block, QByteArray::number(count + 1)});
    QTest::newRow("SEQs come round again") << longDump;
}

void TestSerialFrame::registerRemembersOneConnection()
{
    QFETCH(Steps, steps);
    ScriptedLine line;
    FrameLink link(line);
    int executed = 0;
    RegisterResponder responder(link,
                                [&](const QByteArray &) { return QByteArray::number(++executed); });
    const QByteArray ack(1, SerialFrame::Ack);
    QByteArrayList written;
    QByteArrayList expected;
    for (const Step &step : qAsConst(steps)) {
        line.input = SerialFrame::encode(quint8(step.seq), step.request);
        line.written.clear();
        responder.serveNext();
        written.append(line.written);
        expected.append(
            step.answer.isEmpty() ? ack : ack + SerialFrame::encode(quint8(step.seq), step.answer));
        line.input = ack;
        responder.serveNext();
    }
    QCOMPARE(written, expected);
}

QTEST_GUILESS_MAIN(TestSerialFrame)
#include "tst_serialframe.moc"
