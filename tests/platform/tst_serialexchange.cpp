#include "fdline.h"
#include "framelink.h"
#include "hostexchange.h"
#include "registerresponder.h"
#include "serialframe.h"

#include <QElapsedTimer>
#include <QtTest>

#include <array>
#include <atomic>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

const QByteArray Request("\x46\x01\x00\x01\x00", 5);

// Flips a bit in the last byte of the next framesToDamage frames written
// (-1: of all), which another thread may change.
class DamagingLine : public ByteLine
{
public:
    DamagingLine(ByteLine &line, std::atomic_int &framesToDamage)
        : m_line(line), m_framesToDamage(framesToDamage)
    {
    }

    bool write(const QByteArray &bytes) override
    {
        QByteArray sent = bytes;
        // An ACK or NAK goes alone; a longer write ends with a frame.
        int left = m_framesToDamage;
        if (sent.size() > 1 && left != 0) {
            if (left > 0)
                m_framesToDamage.compare_exchange_strong(left, left - 1);
            sent[sent.size() - 1] = char(sent.back() ^ 0x01);
        }
        return m_line.write(sent);
    }
    QByteArray read(int timeoutMs) override { return m_line.read(timeoutMs); }

private:
    ByteLine &m_line;
    std::atomic_int &m_framesToDamage;
};

// Notes when each frame is written.
class RecordingLine : public ByteLine
{
public:
    explicit RecordingLine(ByteLine &line) : m_line(line) { m_clock.start(); }

    bool write(const QByteArray &bytes) override
    {
        if (bytes.size() > 1)
            frameTimesMs.append(m_clock.elapsed());
        return m_line.write(bytes);
    }
    QByteArray read(int timeoutMs) override { return m_line.read(timeoutMs); }

    QVector<qint64> frameTimesMs;

private:
    ByteLine &m_line;
    QElapsedTimer m_clock;
};

std::array<int, 2> socketPair()
{
    std::array<int, 2> fds{-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds.data()) != 0)
        qFatal("no socket pair");
    return fds;
}

// A register on its own thread at the far end of a socket pair. It answers
// each request it executes with the number of requests executed so far.
class LoopbackRegister
{
public:
    LoopbackRegister()
    {
        m_thread = std::thread([this] {
            FdLine fdLine(m_fds[1], m_wake);
            DamagingLine line(fdLine, framesToDamage);
            FrameLink link(line);
            RegisterResponder responder(
                link, [this](const QByteArray &) { return QByteArray::number(++executed); });
            while (!m_stop)
                responder.serveNext();
        });
    }
    ~LoopbackRegister()
    {
        m_stop = true;
        const quint64 one = 1;
        if (::write(m_wake, &one, sizeof one) != sizeof one)
            qFatal("the register's thread cannot be woken");
        m_thread.join();
        ::close(m_wake);
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }

    ByteLine &hostLine() { return m_hostLine; }

    std::atomic_int framesToDamage{0};
    std::atomic_int executed{0};

private:
    const std::array<int, 2> m_fds = socketPair();
    const int m_wake = ::eventfd(0, EFD_CLOEXEC);
    FdLine m_hostLine{m_fds[0], -1};
    std::atomic_bool m_stop{false};
    std::thread m_thread;
};

// Answers each request with a late copy of the answer before it, then its own.
class LateAnswerLine : public ByteLine
{
public:
    bool write(const QByteArray &bytes) override
    {
        written += bytes;
        if (bytes.size() > 1) {
            const quint8 seq = quint8(bytes[1]);
            m_input = SerialFrame::Ack + SerialFrame::encode(quint8(seq - 1), "late") +
                      SerialFrame::encode(seq, "answer");
        }
        return true;
    }
    QByteArray read(int) override { return std::exchange(m_input, QByteArray()); }

    QByteArray written;

private:
    QByteArray m_input;
};

} // namespace

// The host's end of an exchange against the register's, over a socket pair.
class TestSerialExchange : public QObject
{
    Q_OBJECT

private slots:
    void asksAgainSparingly_data();
    void asksAgainSparingly();
    void acknowledgesLateAnswerAndIgnoresIt();
};

void TestSerialExchange::asksAgainSparingly_data()
{
    QTest::addColumn<int>("damagedAnswers");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("requestFrames");
    // The register sends each answer three times before it gives up.
    QTest::newRow("one answer lost") << 3 << 5000 << true << 2;
    QTest::newRow("three answers lost") << 9 << 5000 << true << 4;
    QTest::newRow("every answer damaged") << -1 << 5000 << false << 4;
    QTest::newRow("every answer damaged, little time") << -1 << 250 << false << 3;
}

// The host asks again for an answer the register gave up sending, at most
// three times and at least 100 ms apart, and only while there is time; the
// register executes the request once. The same request once more, as a retry
// of a failed exchange, is answered from what the register answered, not
// executed again; after a good exchange it is a new request.
void TestSerialExchange::asksAgainSparingly()
{
    QFETCH(int, damagedAnswers);
    QFETCH(int, timeoutMs);
    QFETCH(bool, answered);
    QFETCH(int, requestFrames);
    LoopbackRegister registerEnd;
    RecordingLine line(registerEnd.hostLine());
    FrameLink link(line);
    HostExchange host(link);

    registerEnd.framesToDamage = damagedAnswers;
    QElapsedTimer timer;
    timer.start();
    QByteArray answer;
    QCOMPARE(host.exchange(Request, answer, timeoutMs), answered);
    // Within its time limit, with a wide margin for a loaded machine.
    QVERIFY2(timer.elapsed() < timeoutMs + 5000, qPrintable(QString::number(timer.elapsed())));
    if (answered)
        QCOMPARE(answer, QByteArray("1"));
    QCOMPARE(line.frameTimesMs.size(), requestFrames);
    for (int i = 1; i < line.frameTimesMs.size(); ++i)
        QVERIFY2(line.frameTimesMs[i] - line.frameTimesMs[i - 1] >= 99,
                 qPrintable(QString::number(line.frameTimesMs[i] - line.frameTimesMs[i - 1])));

    registerEnd.framesToDamage = 0;
    QVERIFY(host.exchange(Request, answer, timeoutMs));
    QCOMPARE(answer, QByteArray(answered ? "2" : "1"));
    QCOMPARE(registerEnd.executed.load(), answered ? 2 : 1);
    QVERIFY(host.exchange(Request, answer, timeoutMs));
    QCOMPARE(answer, QByteArray(answered ? "3" : "2"));
}

void TestSerialExchange::acknowledgesLateAnswerAndIgnoresIt()
{
    LateAnswerLine line;
    FrameLink link(line);
    HostExchange host(link);
    QByteArray answer;
    QVERIFY(host.exchange(Request, answer, 1000));
    QCOMPARE(answer, QByteArray("answer"));
    const QByteArray ack(1, SerialFrame::Ack);
    QCOMPARE(line.written.mid(SerialFrame::encode(0, Request).size()), ack + ack);
}

QTEST_GUILESS_MAIN(TestSerialExchange)
#include "tst_serialexchange.moc"
