#include "loghandler.h"
#include "startup.h"
#include "testdata.h"

#include <QDateTime>
#include <QDir>
#include <QTextCodec>

#include <thread>
#include <vector>

namespace {

constexpr qint64 sizeLimit = 67108864;
const QString timestampFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss.zzz");

QStringList messagesSeenByPreviousHandler;

void previousHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    messagesSeenByPreviousHandler << message;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's CRLF-terminated records without their time stamps ("D: text"); a record without a
// well-formed time stamp, or an unterminated end, comes back marked "malformed: ".
QStringList recordsIn(const QString &path)
{
    static const QRegularExpression stamped(
        QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ([DWC]: .*)$"));
    QStringList records = QString::fromUtf8(contentOf(path)).split(QStringLiteral("\r\n"));
    if (!records.takeLast().isEmpty())
        records << QStringLiteral("malformed: unterminated");
    for (QString &record : records) {
        const QRegularExpressionMatch match = stamped.match(record);
        record = match.hasMatch() ? match.captured(1) : QStringLiteral("malformed: ") + record;
    }
    return records;
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

    QDir logDirectory{QFileInfo(logFilePath()).path()};

private slots:
    void initTestCase()
    {
        // Never touch the user's own log.
        QVERIFY(!qEnvironmentVariableIsEmpty("XDG_DATA_HOME"));
    }

    void init()
    {
        QVERIFY(logDirectory.removeRecursively());
        QVERIFY(logDirectory.mkpath(QStringLiteral(".")));
    }

    void cleanupTestCase() { logDirectory.removeRecursively(); }

    void pathsStayInOneDirectoryOnceTheApplicationExists()
    {
        const QString directory = qEnvironmentVariable("XDG_DATA_HOME") + "/Korvan/";
        QCOMPARE(logFile.fileName(), directory + "Morvell.log");
        QCOMPARE(logFilePath(), directory + "Morvell.log");
        QCOMPARE(oldLogFilePath(), directory + "Morvell_old.log");
    }

    void formatsTimestampsWithFixedWidths_data()
    {
        columns<QDateTime, QString>("moment", "expected");
        // In this order the rows also cross from one cached second to the next.
        const QDate date(2026, 1, 5);
        QTest::newRow("padded") << QDateTime(date, QTime(9, 3, 7, 45)) << "05.01.2026 09:03:07.045";
        QTest::newRow("same second")
            << QDateTime(date, QTime(9, 3, 7, 999)) << "05.01.2026 09:03:07.999";
        QTest::newRow("next second")
            << QDateTime(date, QTime(9, 3, 8, 0)) << "05.01.2026 09:03:08.000";
        QTest::newRow("new year") << QDateTime(QDate(2026, 1, 1), QTime(0, 0))
                                  << "01.01.2026 00:00:00.000";
    }

    void formatsTimestampsWithFixedWidths()
    {
        const auto [moment, expected] = fetch<QDateTime, QString>("moment", "expected");
        QCOMPARE(logTimestamp(moment.toMSecsSinceEpoch()), expected);
    }

    void writesOneRecordPerMessage_data()
    {
        // The record after the time stamp; empty: nothing written.
        columns<int, QString, QByteArray>("type", "message", "expected");
        QTest::newRow("debug") << int(QtDebugMsg) << "MainWindow::MainWindow"
                               << QByteArray(" D: MainWindow::MainWindow\r\n");
        QTest::newRow("warning") << int(QtWarningMsg) << "not open"
                                 << QByteArray(" W: not open\r\n");
        QTest::newRow("critical") << int(QtCriticalMsg) << "full" << QByteArray(" C: full\r\n");
        QTest::newRow("info is not written") << int(QtInfoMsg) << "info" << QByteArray();
        QTest::newRow("line breaks kept")
            << int(QtDebugMsg) << "one\ntwo\r\nthree" << QByteArray(" D: one\ntwo\r\nthree\r\n");
        QTest::newRow("placeholders kept")
            << int(QtDebugMsg) << "50%1 %2" << QByteArray(" D: 50%1 %2\r\n");
        QTest::newRow("Cyrillic as UTF-8")
            << int(QtDebugMsg) << QStringLiteral("Ошибка")
            << QByteArray(" D: \xd0\x9e\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0\r\n");
    }

    void writesOneRecordPerMessage()
    {
        const auto [type, message, expected] =
            fetch<int, QString, QByteArray>("type", "message", "expected");
        const QDateTime before = QDateTime::currentDateTime();
        {
            LogHandlerScope scope;
            qt_message_output(QtMsgType(type), QMessageLogContext(), message);
        }
        const QDateTime after = QDateTime::currentDateTime();

        const QByteArray content = contentOf(logFilePath());
        QCOMPARE(content.mid(timestampFormat.size()), expected);
        if (expected.isEmpty())
            return;
        const QString stamp = QString::fromLatin1(content.left(timestampFormat.size()));
        const QDateTime stamped = QDateTime::fromString(stamp, timestampFormat);
        QVERIFY2(before <= stamped && stamped <= after, qPrintable(stamp));
    }

    void rotatesOnlyAFileLargerThanTheLimit_data()
    {
        columns<qint64, QStringList, qint64>("initialSize", "expectedRecords", "expectedOldSize");
        const qint64 firstRecordSize = sizeof("dd.MM.yyyy HH:mm:ss.zzz D: first\r\n") - 1;
        QTest::newRow("at the limit: appended, then rotated")
            << sizeLimit << QStringList{"D: second"} << sizeLimit + firstRecordSize;
        QTest::newRow("one byte over: rotated at once")
            << sizeLimit + 1 << QStringList{"D: first", "D: second"} << sizeLimit + 1;
    }

    void rotatesOnlyAFileLargerThanTheLimit()
    {
        const auto [initialSize, expectedRecords, expectedOldSize] =
            fetch<qint64, QStringList, qint64>("initialSize", "expectedRecords", "expectedOldSize");
        QFile existing(logFilePath());
        QVERIFY(existing.open(QIODevice::WriteOnly));
        QVERIFY(existing.resize(initialSize)); // sparse, so cheap
        existing.close();
        QFile stalePredecessor(oldLogFilePath());
        QVERIFY(stalePredecessor.open(QIODevice::WriteOnly));
        stalePredecessor.write("stale\r\n");
        stalePredecessor.close();

        {
            LogHandlerScope scope;
            qDebug() << "first";
            qDebug() << "second";
        }

        QCOMPARE(recordsIn(logFilePath()), expectedRecords);
        QCOMPARE(QFileInfo(oldLogFilePath()).size(), expectedOldSize);
    }

    void scopeClosesTheFileAndRestoresThePreviousHandler()
    {
        messagesSeenByPreviousHandler.clear();
        const QtMessageHandler testFrameworkHandler = qInstallMessageHandler(previousHandler);
        {
            LogHandlerScope scope;
            qDebug() << "inside";
        }
        const bool closed = !logFile.isOpen();
        qDebug() << "after";
        qInstallMessageHandler(testFrameworkHandler);

        QVERIFY(closed);
        QCOMPARE(messagesSeenByPreviousHandler, QStringList{"after"});
        QCOMPARE(recordsIn(logFilePath()), QStringList{"D: inside"});
    }

    void missingDirectoryDropsLinesUntilItExists()
    {
        QVERIFY(logDirectory.removeRecursively());
        bool createdByHandler = true;
        {
            LogHandlerScope scope;
            qDebug() << "dropped";
            createdByHandler = logDirectory.exists();
            QVERIFY(logDirectory.mkpath(QStringLiteral(".")));
            qDebug() << "kept";
        }
        QVERIFY(!createdByHandler);
        QCOMPARE(recordsIn(logFilePath()), QStringList{"D: kept"});
    }

    void linesFromSeveralThreadsNeverInterleave()
    {
        constexpr int threadCount = 4;
        constexpr int linesPerThread = 5000;
        {
            LogHandlerScope scope;
            std::vector<std::thread> threads;
            for (int thread = 0; thread < threadCount; ++thread) {
                threads.emplace_back([thread] {
                    for (int line = 0; line < linesPerThread; ++line)
                        qDebug() << "thread" << thread << "line" << line;
                });
            }
            for (std::thread &thread : threads)
                thread.join();
        }

        // Every record is whole, and each thread's lines are all there, in the order it wrote them.
        const QStringList records = recordsIn(logFilePath());
        QCOMPARE(records.size(), threadCount * linesPerThread);
        const QRegularExpression threadRecord(QStringLiteral("^D: thread (\\d) line (\\d+)$"));
        std::vector<int> nextLine(threadCount, 0);
        for (const QString &record : records) {
            const QRegularExpressionMatch match = threadRecord.match(record);
            QVERIFY2(match.hasMatch(), qPrintable(record));
            QCOMPARE(match.captured(2).toInt(), nextLine[match.captured(1).toInt()]++);
        }
    }

    void eachRunStartsWithBannerAndVersion()
    {
        for (int run = 0; run < 2; ++run) {
            LogHandlerScope scope;
            logStartBanner();
        }
        const QString banner = "D: ############################# Application loaded "
                               "##############################";
        const QString version = "D: Version 2.0.1.1886";
        QCOMPARE(recordsIn(logFilePath()), (QStringList{banner, version, banner, version}));
    }

    void localeCodecBecomesUtf8OnlyWithoutCyrillic_data()
    {
        columns<QByteArray, QByteArray>("localeCodec", "expectedCodec");
        QTest::newRow("Latin-1 replaced") << QByteArray("ISO-8859-1") << QByteArray("UTF-8");
        QTest::newRow("KOI8-R kept") << QByteArray("KOI8-R") << QByteArray("KOI8-R");
    }

    void localeCodecBecomesUtf8OnlyWithoutCyrillic()
    {
        const auto [localeCodec, expectedCodec] =
            fetch<QByteArray, QByteArray>("localeCodec", "expectedCodec");
        QTextCodec *const original = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName(localeCodec));
        ensureCyrillicLocaleCodec();
        const QByteArray result = QTextCodec::codecForLocale()->name();
        QTextCodec::setCodecForLocale(original);
        QCOMPARE(result, expectedCodec);
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
