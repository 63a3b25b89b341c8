#include "baudrate.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "fdline.h"
#include "framelink.h"
#include "hostexchange.h"
#include "protocolpelto.h"
#include "pseudoterminal.h"
#include "registercommands.h"
#include "registerprocess.h"
#include "registerprotocol.h"
#include "serialframe.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int UsageFailure = 2;
constexpr int Exchanges = 20;
constexpr int TimeoutMs = 5000;
constexpr int BitsPerByte = 10;

// What is at path, told apart enough to see that it was left alone.
QString entryAt(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link to ") + info.symLinkTarget();
    if (info.isDir())
        return QStringLiteral("directory");
    return info.exists() ? QStringLiteral("file") : QStringLiteral("nothing");
}

// Whether the register on the terminal at path answers its identification.
bool identifiesAt(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    FdLine line(fd, -1);
    FrameLink link(line);
    HostExchange host(link);
    QByteArray answer;
    const bool answered =
        host.exchange(QByteArray(1, char(RegisterProtocol::Identify)), answer, TimeoutMs);
    ::close(fd);
    return answered && answer.startsWith(RegisterProtocol::makeAnswer(RegisterProtocol::NoError));
}

} // namespace

// The emulator program's options: the link to its terminal, the paced line,
// the byte counts it reports and the refusal of wrong arguments.
class TestEmulatorProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusesWrongArguments_data();
    void refusesWrongArguments();
    void linksWhileRunning_data();
    void linksWhileRunning();
    void replacesStaleLink();
    void takesOverLinkOfKilledRun();
    void countsBytesOnLine_data();
    void countsBytesOnLine();
    void hearsOnlyItsOwnSpeed_data();
    void hearsOnlyItsOwnSpeed();
    void servesOverTcp_data();
    void servesOverTcp();

private:
    QString pathOf(const char *name) const { return m_directory.filePath(QLatin1String(name)); }

    QTemporaryDir m_directory;
};

void TestEmulatorProgram::initTestCase()
{
    QVERIFY(m_directory.isValid());
    QFile file(pathOf("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(QDir(m_directory.path()).mkdir(QStringLiteral("directory")));
    QVERIFY(QFile::link(pathOf("file"), pathOf("live")));
}

void TestEmulatorProgram::refusesWrongArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString rates = QStringLiteral("--baud wants one of 2400, ");
    QTest::newRow("baud not a number") << QStringList{"--baud", "fast"} << rates;
    QTest::newRow("baud not a rate") << QStringList{"--baud", "1000"} << rates;
    QTest::newRow("unknown option") << QStringList{"--speed", "9600"} << "'speed'";
    QTest::newRow("goods out of range") << QStringList{"--goods", "65536"} << "--goods wants";
    QTest::newRow("link without its directory")
        << QStringList{"--link", pathOf("missing/register")} << "does not exist";
    QTest::newRow("link over a file")
        << QStringList{"--link", pathOf("file")} << "not a symbolic link";
    QTest::newRow("link over a directory")
        << QStringList{"--link", pathOf("directory")} << "not a symbolic link";
    QTest::newRow("link over a live link")
        << QStringList{"--link", pathOf("live")} << "already links to " + pathOf("file");
    const QString listen = QStringLiteral("--listen wants [ADDRESS:]PORT");
    QTest::newRow("listen on a port past 65535") << QStringList{"--listen", "65536"} << listen;
    QTest::newRow("listen on a host name") << QStringList{"--listen", "localhost:7778"} << listen;
    QTest::newRow("listen with a colon and no address")
        << QStringList{"--listen", ":7778"} << listen;
    const QString inFull = QStringLiteral("is no IPv4 address written out in full");
    QTest::newRow("listen on a shortened address")
        << QStringList{"--listen", "1.2.3:7778"} << inFull;
    QTest::newRow("listen on an octal address")
        << QStringList{"--listen", "0177.0.0.1:7778"} << inFull;
    QTest::newRow("listen on an address of another machine")
        << QStringList{"--listen", "192.0.2.1:0"} << "192.0.2.1 is no address of this machine";
    QTest::newRow("listen and link")
        << QStringList{"--listen", "0", "--link", pathOf("tcp")} << "--link names";
}

void TestEmulatorProgram::refusesWrongArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const int linkOption = arguments.indexOf(QStringLiteral("--link"));
    const QString linked = linkOption >= 0 ? arguments.value(linkOption + 1) : QString();
    const QString before = entryAt(linked);
    QString errors;
    QCOMPARE(RegisterProcess::run(arguments, errors), UsageFailure);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    // What the link would have replaced is left alone, and no lock file
    // tells the next run that an emulator made it.
    QCOMPARE(entryAt(linked), before);
    if (!linked.isEmpty())
        QCOMPARE(entryAt(linked + QStringLiteral(".lock")), QStringLiteral("nothing"));
}

void TestEmulatorProgram::linksWhileRunning_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("takenOver");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false;
    QTest::newRow("SIGINT") << int(SIGINT) << false;
    QTest::newRow("name taken over meanwhile") << int(SIGTERM) << true;
}

void TestEmulatorProgram::linksWhileRunning()
{
    QFETCH(int, signal);
    QFETCH(bool, takenOver);
    const QString link = pathOf("register");
    RegisterProcess emulator;
    QVERIFY(emulator.start({QStringLiteral("--link"), link}));
    QCOMPARE(entryAt(link), QStringLiteral("link to ") + emulator.path());

    if (takenOver) {
        QVERIFY(QFile::remove(link));
        QVERIFY(QFile::link(pathOf("file"), link));
    }
    QVERIFY(!emulator.stop(signal).isEmpty());
    QCOMPARE(entryAt(link),
             takenOver ? QStringLiteral("link to ") + pathOf("file") : QStringLiteral("nothing"));
    QFile::remove(link);
}

// A link left by a killed run points nowhere.
void TestEmulatorProgram::replacesStaleLink()
{
    const QString link = pathOf("stale");
    QVERIFY(QFile::link(pathOf("gone"), link));
    RegisterProcess emulator;
    QVERIFY(emulator.start({QStringLiteral("--link"), link}));
    QCOMPARE(entryAt(link), QStringLiteral("link to ") + emulator.path());
    QVERIFY(!emulator.stop().isEmpty());
    QCOMPARE(entryAt(link), QStringLiteral("nothing"));
}

// Killed, an emulator leaves its link and lock file behind. The system hands
// its terminal out again, here to this test, so that the link leads to a live
// terminal once more; the next emulator still takes the name over.
void TestEmulatorProgram::takesOverLinkOfKilledRun()
{
    const QString link = pathOf("killed");
    const QString lockFile = link + QStringLiteral(".lock");
    RegisterProcess killed;
    QVERIFY(killed.start({QStringLiteral("--link"), link}));
    QString errors;
    QCOMPARE(RegisterProcess::run({QStringLiteral("--link"), link}, errors), UsageFailure);
    QVERIFY2(errors.contains(QStringLiteral("a running emulator holds it")), qPrintable(errors));
    QCOMPARE(entryAt(link), QStringLiteral("link to ") + killed.path());
    killed.stop(SIGKILL);

    // Terminals go out lowest number first.
    std::vector<std::unique_ptr<PseudoTerminal>> terminals;
    while (!QFileInfo::exists(link) && terminals.size() < 64) {
        terminals.push_back(std::make_unique<PseudoTerminal>());
        QVERIFY2(terminals.back()->open(errors), qPrintable(errors));
    }
    QVERIFY(QFileInfo::exists(link));
    RegisterProcess next;
    QVERIFY(next.start({QStringLiteral("--link"), link}));
    QCOMPARE(entryAt(link), QStringLiteral("link to ") + next.path());
    QVERIFY(identifiesAt(link));
    QVERIFY(!next.stop().isEmpty());
    QCOMPARE(entryAt(link), QStringLiteral("nothing"));
    QCOMPARE(entryAt(lockFile), QStringLiteral("nothing"));
}

void TestEmulatorProgram::countsBytesOnLine_data()
{
    QTest::addColumn<int>("baud"); // 0: not paced
    QTest::newRow("not paced") << 0;
    QTest::newRow("115200 baud") << 115200;
}

// Record reads over the line, counted here frame by frame. A paced line takes
// at least the wire time of those bytes in both directions; no upper bound, so
// that a busy machine cannot fail it.
void TestEmulatorProgram::countsBytesOnLine()
{
    QFETCH(int, baud);
    RegisterProcess emulator;
    QVERIFY(
        emulator.start(baud > 0 ? QStringList{"--baud", QString::number(baud)} : QStringList()));
    const int fd = ::open(QFile::encodeName(emulator.path()).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(fd >= 0);
    // A paced register hears only a host at its speed.
    termios settings = {};
    QVERIFY(::tcgetattr(fd, &settings) == 0);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B115200);
    QVERIFY(::tcsetattr(fd, TCSANOW, &settings) == 0);
    FdLine line(fd, -1);
    FrameLink link(line);
    HostExchange host(link);
    qint64 sent = 0;
    qint64 received = 0;
    QElapsedTimer timer;
    timer.start();
    for (int row = 1; row <= Exchanges; ++row) {
        const QByteArray request = RegisterCommands::read(1, row, 0);
        QByteArray answer;
        QVERIFY(host.exchange(request, answer, TimeoutMs));
        // In: the request and the host's ACK of the answer. Out: the ACK and the answer.
        received += SerialFrame::encode(0, request).size() + 1;
        sent += 1 + SerialFrame::encode(0, answer).size();
    }
    const qint64 elapsedNs = timer.nsecsElapsed();
    const QString summary = emulator.stop();
    ::close(fd);

    const QRegularExpressionMatch counts =
        QRegularExpression(QStringLiteral("; (\\d+) bytes sent, (\\d+) received$"))
            .match(summary.trimmed());
    QVERIFY2(counts.hasMatch(), qPrintable(summary));
    QVERIFY2(
        summary.contains(QStringLiteral("executed 0 identifications, 0 mode entries, %1 reads, "
                                        "0 writes, 0 dump starts, 0 dump blocks;")
                             .arg(Exchanges)),
        qPrintable(summary));
    QCOMPARE(counts.captured(1).toLongLong(), sent);
    // The host's last ACK may still be on its way when the signal comes.
    const qint64 counted = counts.captured(2).toLongLong();
    QVERIFY2(counted == received || counted == received - 1, qPrintable(summary));
    if (baud > 0) {
        const double wireNs = double(sent + received) * BitsPerByte / baud * 1e9;
        QVERIFY2(
            elapsedNs >= 0.95 * wireNs,
            qPrintable(QStringLiteral("%1 ns for %2 ns on the wire").arg(elapsedNs).arg(wireNs)));
    }
}

void TestEmulatorProgram::hearsOnlyItsOwnSpeed_data()
{
    QTest::addColumn<int>("registerBaud");
    QTest::addColumn<int>("hostBaud");
    QTest::newRow("both at 57600") << 57600 << 57600;
    QTest::newRow("host at 9600, register at 57600") << 57600 << 9600;
    QTest::newRow("host at 115200, register at 57600") << 57600 << 115200;
    QTest::newRow("a rate without a constant of its own") << 14400 << 14400;
    QTest::newRow("host at 19200, register at 14400") << 14400 << 19200;
}

// At another speed than its own the register takes the host's bytes for
// noise: it neither answers nor executes anything.
void TestEmulatorProgram::hearsOnlyItsOwnSpeed()
{
    QFETCH(int, registerBaud);
    QFETCH(int, hostBaud);
    registerDriverComponent();
    RegisterProcess emulator;
    QVERIFY(emulator.start({"--baud", QString::number(registerBaud)}));
    protocolPelto protocol;
    protocol.setBaudRateCode(BaudRate::codeOfRate(hostBaud));
    const bool sameSpeed = registerBaud == hostBaud;
    QCOMPARE(protocol.openPort(PortInfo(QStringLiteral("pts"), QString(), emulator.path())),
             sameSpeed ? int(ERR_OK) : int(ERR_PORT_NOT_OPEN));
    protocol.closePort();
    const QString summary = emulator.stop();
    QVERIFY2(summary.contains(sameSpeed ? QStringLiteral("executed 1 identifications, 1 mode")
                                        : QStringLiteral("executed 0 identifications, 0 mode")),
             qPrintable(summary));
}

QTEST_GUILESS_MAIN(TestEmulatorProgram)
#include "tst_emulatorprogram.moc"

void TestEmulatorProgram::servesOverTcp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("loopback") << QStringList{"--listen", "0"};
    // Longer than the three sends of a request a line without the round trip allows.
    QTest::newRow("320 ms round trip")
        << QStringList{"--listen", "127.0.0.1:0", "--latency", "160"};
}

// The register on a TCP port answers the driver with no request sent twice,
// however far, and refuses a second client while the first is connected.
void TestEmulatorProgram::servesOverTcp()
{
    QFETCH(QStringList, arguments);
    registerDriverComponent();
    RegisterProcess emulator;
    QVERIFY(emulator.start(arguments));
    QVERIFY(emulator.path().startsWith(QStringLiteral("127.0.0.1:")));
    const PortInfo port = PortInfo::typedPath(QStringLiteral("tcp://") + emulator.path());
    protocolPelto protocol;
    QCOMPARE(protocol.openPort(port), int(ERR_OK));
    QString info;
    QCOMPARE(protocol.readDeviceInfo(&info), int(ERR_OK));
    protocolPelto second;
    QCOMPARE(second.openPort(port), int(ERR_PORT_NOT_OPEN));
    QVERIFY2(second.failureCause().startsWith(QStringLiteral("Подключение отклонено")),
             qPrintable(second.failureCause()));
    // Reconnected at once, as a retry does: the register has not yet seen
    // the first connection go, here for 100 ms, and refuses meanwhile.
    ::kill(pid_t(emulator.pid()), SIGSTOP);
    protocol.closePort();
    std::thread resume([&emulator] {
        QThread::msleep(100);
        ::kill(pid_t(emulator.pid()), SIGCONT);
    });
    const int reopened = protocol.openPort(port);
    resume.join();
    QVERIFY2(reopened == ERR_OK, qPrintable(protocol.failureCause()));
    protocol.closePort();
    const QString summary = emulator.stop();
    QVERIFY2(summary.contains(QStringLiteral(" 0 repeated;")), qPrintable(summary));
    QVERIFY2(
        summary.contains(QStringLiteral("executed 3 identifications, 2 mode entries, 0 reads")),
        qPrintable(summary));
}
