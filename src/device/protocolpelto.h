#pragma once

#include "baudrate.h"
#include "driveroperations.h"
#include "exchangerecord.h"
#include "protocolbase.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QVector>

#include <functional>

// The register's command protocol, carried through the driver component:
// builds the command bytes, checks each answer and turns every failure into
// a result code.
class protocolPelto : public protocolBase
{
public:
    // The line's rate for the next connections, as a code of BaudRate;
    // an unknown code is ignored.
    void setBaudRateCode(int code);
    // The access password the next connections give the register; empty for
    // the driver's default.
    void setPassword(const QString &password) { accessPassword = password; }
    // How long an exchange waits for the register's answer, in milliseconds.
    void setExchangeTimeout(int ms) { exchangeTimeoutMs = ms; }
    // What the driver said of its last failure since openPort: the cause and
    // what to do about it; empty when the driver reported none.
    QString failureCause() const { return lastFailure; }
    // Shows the user a warning the driver cannot report itself (no driver
    // component to be had); without one, the warning goes to the log.
    using WarningBox = std::function<void(const QString &title, const QString &text)>;
    void setWarningBox(WarningBox box) { warningBox = std::move(box); }
    // Fields written since openPort.
    int fieldsWritten() const { return written; }
    // How many more times a short exchange that got no answer is tried, with
    // the same request, which the driver sends with the same SEQ so that the
    // register never executes it twice; 0 gives up at the first failure.
    // A longer frame is spoiled more often: each shortFrameBytes of it get
    // the tries of a short exchange (retriesFor).
    void setRetries(int count) { retryLimit = qBound(0, count, maxRetries); }
    int retries() const { return retryLimit; }
    // The retries of an exchange whose longer frame, request or answer, is
    // that many bytes.
    int retriesFor(int frameBytes) const;
    static constexpr int shortFrameBytes = 64;
    // Exchanges tried again since openPort.
    int retriesDone() const { return retried; }
    // Since openPort, the connection's own exchanges among them, and the time
    // spent waiting for a gone port, whose looks for it are not exchanges.
    ExchangeCounts exchangeCounts() const
    {
        return {exchanged, retried, failedTries, portWaitedMs};
    }
    // The last exchange got no answer after all its tries, although the
    // register had answered in this connection before: a poor line, which
    // more retries may carry, rather than a silent one.
    bool unansweredOnWorkingLine() const { return lastUnanswered && answeredSinceOpen; }
    // Told of every exchange as it ends, from the next one on; none by default.
    void setExchangeObserver(ExchangeObserver *observer) { exchangeObserver = observer; }
    // When the port goes away in the middle of a table read or write (a USB
    // adapter pulled), how long to wait for the same device to come back (at
    // the same path, or at its /dev/serial/by-id name) and carry on; stillWaiting is asked every
    // few hundredths of a second while it waits (true, with the time left), whether to go on
    // (false stops at once: the exchange ends with ERR_CANCELLED), and told once when the wait
    // ends (false). 0 ms fails at once, as without a wait. A dump never waits: its next block
    // after a new connection could be another than the one lost.
    using PortWait = std::function<bool(bool waiting, qint64 msLeft)>;
    void setPortWait(int ms, PortWait stillWaiting);
    static constexpr int maxRetries = 10;

    // Whether a register answers at port at the line's rate set: only its
    // identification is asked, nothing is entered or written, and the answer
    // is waited for at most timeoutMs; retries as set. On success metrics
    // holds what it said; else failureCause() says why.
    int identifyAt(const PortInfo &port, int timeoutMs, DeviceMetrics &metrics);
    // The port could not be opened at all in the last identifyAt, so that
    // no other rate can do better: no such device, no access, busy.
    bool portUnusable() const;
    int openPort(PortInfo port) override;
    int closePort() override;
    FieldBase *readField(int type, int table, int row, int field) override;
    int writeField(FieldBase *value, bool flag) override;
    int readDeviceInfo(QString *info) override;
    int readRow(int table, int row, FieldList *fields) override;
    int startReadFW(int kind, qint64 *size) override;
    int readFWBlock(QByteArray *dump) override;
    bool answeredLastRequest() const override { return lastAnswered; }

private:
    // What one exchange is counted and recorded as, once it ended.
    class Recording
    {
    public:
        explicit Recording(protocolPelto &protocol);
        // answered: the register's answer came, whatever it said.
        void end(ExchangeRecord::Kind kind, int table, const QByteArray &request,
                 const QByteArray &answer, int outcome, bool answered);

    private:
        protocolPelto &m_protocol;
        int m_retriesBefore;
        qint64 m_startedMs = 0;
        QElapsedTimer m_timer;
    };

    // Each step throws ERR_PORT_NOT_OPEN when it fails.
    void connectDriver(const PortInfo &port);
    // The driver made and set up for port, not yet enabled.
    void prepareDriver(const PortInfo &port);
    void checkConnectStep();
    void connectStep(ExchangeRecord::Kind kind, const std::function<void()> &step);
    static ExchangeRecord::Kind kindOf(const QByteArray &command);
    void noteDriverFailure(int resultCode);
    QString serialNumberNow();
    // Whether an attempt that ended with the driver's result is to be made
    // again, within limit retries; counts and logs the retry.
    bool retryAfter(int resultCode, int attempt, int limit);
    enum class Comeback
    {
        Back,
        NotBack,
        Stopped,
    };
    // Waits for the port to come back and connects again.
    Comeback reconnect();
    // location: where the device was looked for last.
    Comeback lookForPort(const QDeadlineTimer &deadline, QString &location);
    // The longer of the request and the answer it is to bring, in bytes.
    int expectedFrameBytes(const QByteArray &command) const;
    void learnFieldWidths(int table, int row, FieldList *fields);
    void layOutRecord(int table, int row, FieldList *fields) const;
    // One command and its answer, counted and recorded; on success data
    // holds the answer data. table is the logical table it addresses, if any.
    // Without needResult the driver's NeedResult is 2 for it; a write resets
    // NeedResult to 0 after every try.
    int exchange(const QByteArray &command, QByteArray *data, int table = 0,
                 bool needResult = true);
    // The tries of one exchange; answer holds the last one's answer.
    int tryExchange(const QByteArray &command, QByteArray &answer, QByteArray *data,
                    bool needResult);

    // The driver's failure, if any, is noted by the caller.
    int judgeAnswer(int resultCode, const QByteArray &answer, QByteArray *data);
    static int driverResultToCode(int resultCode);
    static int answerErrorToCode(quint8 error);

    DriverOperations driver;
    // Byte widths of one record's fields, learned by the first readRow of a
    // connection, and again when a readRow asks for another table.
    QVector<qint32> fieldWidths;
    int fieldWidthsTable = 0;
    int baudRateCode = BaudRate::DefaultCode;
    QString accessPassword;
    int exchangeTimeoutMs = 20000;
    WarningBox warningBox;
    PortInfo connectedPort;
    // Its name under /dev/serial/by-id, if it has one.
    QString stableLocation;
    int portWaitMs = 0;
    PortWait portWait;
    QString lastFailure;
    int written = 0;
    int retryLimit = 0;
    int retried = 0;
    int exchanged = 0;
    int failedTries = 0;
    qint64 portWaitedMs = 0;
    // While a gone port is looked for, a connection that fails is no exchange.
    bool lookingForPort = false;
    // The factory number the register gave when the port was opened: one that
    // comes back with another is not the register the work began on, and the
    // rest of a table must not go into it.
    QString openedSerialNumber;
    // Why the last wait for a gone port did not take up a register it found.
    QString otherRegisterFound;
    bool answeredSinceOpen = false;
    bool lastUnanswered = false;
    ExchangeObserver *exchangeObserver = nullptr;
    bool lastAnswered = false;
    int lastDriverResult = 0;
};
