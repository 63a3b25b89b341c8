#include "protocolpelto.h"

#include "devicetablenumber.h"
#include "errorcode.h"
#include "fieldfactory.h"
#include "stableportname.h"
#include "tablecatalogue.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFileInfo>
#include <QThread>

#include <numeric>

namespace {

constexpr int noMoreData = 1;
constexpr int connectMode = 4; // the mode in which the register accepts table writes

constexpr char readCommand = 0x46;
constexpr char writeCommand = 0x50;
constexpr char startDumpCommand = char(0x9C);
constexpr char nextDumpBlockCommand = char(0x84);
constexpr char answerMark = 0x55;
// The driver's result when the register did not answer in time.
constexpr int noAnswer = -1;
// The driver's result when the line failed while open: the device is gone.
constexpr int portGone = -13;
// How often a gone port is looked for, and how often the one waiting is
// asked whether to go on meanwhile.
constexpr int portLookIntervalMs = 250;
constexpr int portWaitTickMs = 25;
// A port that keeps going away is given up after this many comebacks within
// one exchange.
constexpr int maxComebacks = 3;
// A field number 0 asks for the whole record.
constexpr int wholeRecord = 0;
constexpr int dumpSizeBytes = 3;
// The register hands a dump out in blocks of this size.
constexpr int dumpBlockBytes = 256;
// The answer mark and the register's error byte before an answer's data.
constexpr int answerHeaderBytes = 2;

// The settings written on every connect; %1 is the baud rate's code.
const char deviceSettingsText[] = "DeviceNumber=1\n"
                                  "DeviceName=Korvan Tessel\n"
                                  "MachineName=\n"
                                  "PortNumber=1001\n"
                                  "BaudRate=%1\n"
                                  "Model=72\n"
                                  "AccessPassword=\n"
                                  "UseAccessPassword=1\n"
                                  "WriteLogFile=1\n"
                                  "DefaultPassword=30\n"
                                  "HostAddress=192.168.137.111:7778\n"
                                  "InvertDrawerState=0\n";

// The number of a port named like COM7; 0 for a name that does not end so.
int portNumberOf(const QString &portName)
{
    return portName.mid(3).toInt();
}

// Table, row and field address of a read or write command.
QByteArray tableCommand(char code, int table, int row, int field)
{
    QByteArray command;
    command.append(code);
    command.append(char(deviceTableNumber(table)));
    command.append(char(row >> 8));
    command.append(char(row));
    command.append(char(field));
    return command;
}

} // namespace

void protocolPelto::setBaudRateCode(int code)
{
    if (BaudRate::isCode(code))
        baudRateCode = code;
}

void protocolPelto::setPortWait(int ms, PortWait stillWaiting)
{
    portWaitMs = qMax(0, ms);
    portWait = std::move(stillWaiting);
}

int protocolPelto::openPort(PortInfo port)
{
    connectedPort = port;
    stableLocation = StablePortName::of(port.systemLocation());
    fieldWidths.clear();
    lastFailure.clear();
    written = 0;
    retried = 0;
    exchanged = 0;
    failedTries = 0;
    portWaitedMs = 0;
    answeredSinceOpen = false;
    lastUnanswered = false;
    try {
        connectDriver(port);
    } catch (ErrorCode code) {
        driver.SetDeviceEnabled(false);
        return code;
    }
    openedSerialNumber = serialNumberNow();
    return ERR_OK;
}

// As the connection's identification gave it: no exchange of its own.
QString protocolPelto::serialNumberNow()
{
    DeviceMetrics metrics;
    driver.ReadDeviceMetrics(&metrics);
    return metrics.serialNumber;
}

int protocolPelto::identifyAt(const PortInfo &port, int timeoutMs, DeviceMetrics &metrics)
{
    connectedPort = port;
    lastFailure.clear();
    int result = ERR_OK;
    try {
        prepareDriver(port);
        driver.SetENQTimeout(timeoutMs);
        connectStep(ExchangeRecord::Kind::Identification,
                    [this] { driver.SetDeviceEnabled(true); });
        driver.ReadDeviceMetrics(&metrics);
    } catch (ErrorCode code) {
        result = code;
    }
    lastDriverResult = driver.GetResultCode();
    driver.SetDeviceEnabled(false);
    driver.SetENQTimeout(exchangeTimeoutMs);
    return result;
}

bool protocolPelto::portUnusable() const
{
    return lastDriverResult != 0 && lastDriverResult != noAnswer;
}

void protocolPelto::connectDriver(const PortInfo &port)
{
    prepareDriver(port);
    // Identification and mode entry change nothing in the register, so a
    // spoiled line gets the same retries as any exchange.
    connectStep(ExchangeRecord::Kind::Identification, [this] { driver.SetDeviceEnabled(true); });
    connectStep(ExchangeRecord::Kind::ModeEntry,
                [this] { driver.SetMode(connectMode, accessPassword); });
}

void protocolPelto::prepareDriver(const PortInfo &port)
{
    driver.setControl(QStringLiteral("AddIn.Velmar"));
    if (driver.isNull()) {
        const QString title = QStringLiteral("Ошибка");
        const QString text = QStringLiteral("Не удалось создать объект драйвера ККМ Korvan");
        lastFailure = text;
        if (warningBox)
            warningBox(title, text);
        else
            qWarning().noquote() << text;
        throw ERR_PORT_NOT_OPEN;
    }
    driver.AddDevice();
    driver.SetDeviceSettings(QString::fromLatin1(deviceSettingsText).arg(baudRateCode));
    checkConnectStep();
    driver.SetPortNumber(portNumberOf(port.portName()));
    driver.SetPortName(port.systemLocation());
    checkConnectStep();
}

// Throws ERR_PORT_NOT_OPEN when the step failed.
void protocolPelto::connectStep(ExchangeRecord::Kind kind, const std::function<void()> &step)
{
    Recording recording(*this);
    int resultCode = 0;
    for (int attempt = 0;; ++attempt) {
        step();
        resultCode = driver.GetResultCode();
        if (!retryAfter(resultCode, attempt, retryLimit))
            break;
    }
    lastUnanswered = resultCode == noAnswer;
    if (resultCode != 0)
        noteDriverFailure(resultCode);
    recording.end(kind, 0, QByteArray(), QByteArray(),
                  resultCode == 0 ? int(ERR_OK) : int(ERR_PORT_NOT_OPEN), resultCode == 0);
    if (resultCode != 0)
        throw ERR_PORT_NOT_OPEN;
}

protocolPelto::Recording::Recording(protocolPelto &protocol)
    : m_protocol(protocol), m_retriesBefore(protocol.retried)
{
    if (m_protocol.exchangeObserver) {
        m_startedMs = QDateTime::currentMSecsSinceEpoch();
        m_timer.start();
    }
}

// Counts the exchange, and its failed tries, and tells the observer.
void protocolPelto::Recording::end(ExchangeRecord::Kind kind, int table, const QByteArray &request,
                                   const QByteArray &answer, int outcome, bool answered)
{
    const int retries = m_protocol.retried - m_retriesBefore;
    // A refusal by the register is an answer, and so is the end of a dump.
    const bool failed = !answered && (outcome == ERR_DEVICE || outcome == ERR_INVALID_DATA ||
                                      outcome == ERR_PORT_NOT_OPEN);
    // A look for a gone port that found none is part of the wait, which the
    // counts give as a time.
    if (failed && m_protocol.lookingForPort) {
        m_protocol.retried = m_retriesBefore;
        return;
    }
    m_protocol.answeredSinceOpen |= answered;
    ++m_protocol.exchanged;
    m_protocol.failedTries += retries + (failed ? 1 : 0);
    if (!m_protocol.exchangeObserver)
        return;
    ExchangeRecord record;
    record.startedMs = m_startedMs;
    record.durationUs = m_timer.nsecsElapsed() / 1000;
    record.kind = kind;
    record.table = quint8(table);
    if (request.size() >= 5) {
        record.row = quint16(quint8(request.at(2)) << 8 | quint8(request.at(3)));
        record.field = quint8(request.at(4));
    }
    record.result = outcome;
    record.retries = quint8(qMin(retries, 255));
    record.failed = failed;
    record.port = m_protocol.connectedPort.systemLocation();
    if (failed)
        record.failure = m_protocol.lastFailure;
    record.request = request;
    record.answer = answer;
    m_protocol.exchangeObserver->exchanged(record);
}

ExchangeRecord::Kind protocolPelto::kindOf(const QByteArray &command)
{
    switch (command.isEmpty() ? 0 : command.at(0)) {
    case readCommand:
        return command.size() >= 5 && command.at(4) == wholeRecord
                   ? ExchangeRecord::Kind::ReadRecord
                   : ExchangeRecord::Kind::ReadField;
    case writeCommand:
        return ExchangeRecord::Kind::WriteField;
    case startDumpCommand:
        return ExchangeRecord::Kind::StartDump;
    default:
        return ExchangeRecord::Kind::DumpBlock;
    }
}

bool protocolPelto::retryAfter(int resultCode, int attempt, int limit)
{
    if (resultCode != noAnswer || attempt >= limit)
        return false;
    ++retried;
    qDebug().noquote()
        << QStringLiteral("protocolPelto: no answer, retry %1 of %2").arg(attempt + 1).arg(limit);
    return true;
}

// A frame gets through as a whole or not at all, so a long one needs more
// tries for the same chance: a dump block about five times a field read's.
// 0 retries stay 0, the user's way to stop at the first failure.
int protocolPelto::retriesFor(int frameBytes) const
{
    const int shortFrames = qMax(1, (frameBytes + shortFrameBytes - 1) / shortFrameBytes);
    return retryLimit == 0 ? 0 : (retryLimit + 1) * shortFrames - 1;
}

int protocolPelto::expectedFrameBytes(const QByteArray &command) const
{
    int answer = answerHeaderBytes;
    if (kindOf(command) == ExchangeRecord::Kind::DumpBlock)
        answer += dumpBlockBytes;
    else if (kindOf(command) == ExchangeRecord::Kind::ReadRecord)
        answer += std::accumulate(fieldWidths.cbegin(), fieldWidths.cend(), 0);
    return qMax(int(command.size()), answer);
}

// The register is connected to anew, as by openPort: identified, its mode
// entered. A USB adapter may come back under another ttyUSB number, which its
// stable name follows.
protocolPelto::Comeback protocolPelto::reconnect()
{
    if (portWaitMs <= 0 || !portWait)
        return Comeback::NotBack;
    qDebug().noquote() << QStringLiteral("protocolPelto: port %1 gone, waiting up to %2 ms")
                              .arg(connectedPort.systemLocation())
                              .arg(portWaitMs);
    driver.SetDeviceEnabled(false);
    QElapsedTimer waited;
    waited.start();
    QString location;
    lookingForPort = true;
    const Comeback comeback = lookForPort(QDeadlineTimer(portWaitMs), location);
    lookingForPort = false;
    portWaitedMs += waited.elapsed();
    portWait(false, 0);
    switch (comeback) {
    case Comeback::Back:
        qDebug().noquote()
            << QStringLiteral("protocolPelto: port back at %1, going on").arg(location);
        break;
    case Comeback::NotBack:
        qDebug().noquote() << "protocolPelto: port not back";
        break;
    case Comeback::Stopped:
        qDebug().noquote() << "protocolPelto: wait for the port stopped";
        break;
    }
    return comeback;
}

// Connects to the device, at its stable name if it has one, every
// portLookIntervalMs, asking the one waiting in between whether to go on.
protocolPelto::Comeback protocolPelto::lookForPort(const QDeadlineTimer &deadline,
                                                   QString &location)
{
    QDeadlineTimer nextLook(0);
    while (!deadline.hasExpired()) {
        if (!portWait(true, deadline.remainingTime()))
            return Comeback::Stopped;
        if (!nextLook.hasExpired()) {
            QThread::msleep(portWaitTickMs);
            continue;
        }
        nextLook.setRemainingTime(portLookIntervalMs);
        location = !stableLocation.isEmpty() && QFileInfo::exists(stableLocation)
                       ? stableLocation
                       : connectedPort.systemLocation();
        try {
            connectDriver(
                PortInfo(connectedPort.portName(), connectedPort.description(), location));
            const QString serialNumber = serialNumberNow();
            if (serialNumber.isEmpty() || openedSerialNumber.isEmpty() ||
                serialNumber == openedSerialNumber)
                return Comeback::Back;
            // Another register plugged in meanwhile: the one left may come back.
            otherRegisterFound =
                QStringLiteral("На порту %1 теперь другая ККТ (заводской номер %2, а не %3): "
                               "с ней работа не продолжена")
                    .arg(location, serialNumber, openedSerialNumber);
            qDebug().noquote() << "protocolPelto:" << otherRegisterFound;
            driver.SetDeviceEnabled(false);
        } catch (ErrorCode) {
            driver.SetDeviceEnabled(false);
        }
    }
    return Comeback::NotBack;
}

void protocolPelto::checkConnectStep()
{
    const int resultCode = driver.GetResultCode();
    if (resultCode != 0) {
        noteDriverFailure(resultCode);
        throw ERR_PORT_NOT_OPEN;
    }
}

void protocolPelto::noteDriverFailure(int resultCode)
{
    lastFailure = driver.GetResultDescription();
    qDebug().noquote() << "protocolPelto: driver result" << resultCode << lastFailure;
}

int protocolPelto::closePort()
{
    driver.SetDeviceEnabled(false);
    return ERR_OK;
}

FieldBase *protocolPelto::readField(int type, int table, int row, int field)
{
    QByteArray data;
    const int outcome = exchange(tableCommand(readCommand, table, row, field), &data, table);
    if (outcome != ERR_OK)
        throw ErrorCode(outcome);
    FieldBase *value = createField(table, row, field, type, data.size());
    value->setRawData(data);
    return value;
}

int protocolPelto::writeField(FieldBase *value, bool flag)
{
    QByteArray command =
        tableCommand(writeCommand, value->tableNumber(), value->rowNumber(), value->fieldNumber());
    command.append(value->rawData());
    QByteArray data;
    const int outcome = exchange(command, &data, value->tableNumber(), flag);
    if (outcome == ERR_OK)
        ++written;
    return outcome;
}

int protocolPelto::readDeviceInfo(QString *info)
{
    driver.GetDeviceMetrics();
    const int resultCode = driver.GetResultCode();
    if (resultCode != 0) {
        noteDriverFailure(resultCode);
        info->clear();
        return driverResultToCode(resultCode);
    }
    // Members the driver could not report stay 0 or empty.
    DeviceMetrics metrics;
    driver.ReadDeviceMetrics(&metrics);
    *info = QStringLiteral("%1, %2.%3.%4")
                .arg(metrics.description, QString::number(metrics.majorVersion),
                     QString::number(metrics.minorVersion), QString::number(metrics.build));
    return ERR_OK;
}

int protocolPelto::readRow(int table, int row, FieldList *fields)
{
    // Another table's widths would cut the record in the wrong places, and
    // widths cut short by a failed learning would drop its last fields.
    if (fieldWidths.size() != fieldCount(table) || fieldWidthsTable != table) {
        fieldWidths.clear();
        fieldWidthsTable = table;
        try {
            learnFieldWidths(table, row, fields);
        } catch (ErrorCode code) {
            return code;
        }
    }
    QByteArray data;
    const int outcome = exchange(tableCommand(readCommand, table, row, wholeRecord), &data, table);
    if (outcome != ERR_OK)
        return outcome;
    // A list that did not learn this connection's widths (another caller's,
    // in the same connection) gets a value per field, or it would stay empty.
    if (fields->size() != fieldWidths.size())
        layOutRecord(table, row, fields);
    int offset = 0;
    for (int i = 0; i < fieldWidths.size(); ++i) {
        fields->at(i)->setRawData(data.mid(offset, fieldWidths.at(i)));
        offset += fieldWidths.at(i);
    }
    return ERR_OK;
}

// The register does not describe its records, so the widths come from reading
// the first record field by field; a failure keeps what was learned so far.
void protocolPelto::learnFieldWidths(int table, int row, FieldList *fields)
{
    fields->clear();
    const int count = fieldCount(table);
    for (int field = 1; field <= count; ++field) {
        const QSharedPointer<FieldBase> value(
            readField(fieldType(table, field), table, row, field));
        fields->append(value);
        fieldWidths.append(value->width());
    }
}

void protocolPelto::layOutRecord(int table, int row, FieldList *fields) const
{
    fields->clear();
    for (int field = 1; field <= fieldWidths.size(); ++field)
        fields->append(QSharedPointer<FieldBase>(
            createField(table, row, field, fieldType(table, field), fieldWidths.at(field - 1))));
}

int protocolPelto::startReadFW(int kind, qint64 *size)
{
    QByteArray data;
    const int outcome = exchange(QByteArray(1, startDumpCommand) + char(kind), &data);
    if (outcome != ERR_OK)
        return outcome;
    if (data.size() < dumpSizeBytes) {
        qDebug().nospace().noquote()
            << "protocolPelto::startReadFW" << ' ' << "failed. Response data: " << data.toHex(' ');
        return ERR_INVALID_DATA;
    }
    *size = qint64(quint8(data.at(0))) * 65536 + quint8(data.at(1)) * 256 + quint8(data.at(2));
    return ERR_OK;
}

int protocolPelto::readFWBlock(QByteArray *dump)
{
    QByteArray data;
    const int outcome = exchange(QByteArray(1, nextDumpBlockCommand), &data);
    if (outcome == ERR_OK)
        dump->append(data);
    return outcome;
}

// Only an exchange that got no answer is tried again: one the register
// answered, refusing or not, would be answered the same. A table read or
// write whose port went away goes out again once the port is back.
int protocolPelto::exchange(const QByteArray &command, QByteArray *data, int table, bool needResult)
{
    Recording recording(*this);
    QByteArray answer;
    const int outcome = tryExchange(command, answer, data, needResult);
    recording.end(kindOf(command), table, command, answer, outcome, lastAnswered);
    return outcome;
}

int protocolPelto::tryExchange(const QByteArray &command, QByteArray &answer, QByteArray *data,
                               bool needResult)
{
    const bool write = !command.isEmpty() && command.at(0) == writeCommand;
    const bool mayWaitForPort = write || (!command.isEmpty() && command.at(0) == readCommand);
    const int retryLimitHere = retriesFor(expectedFrameBytes(command));
    int comebacks = 0;
    for (int attempt = 0;; ++attempt) {
        answer.clear();
        if (!needResult)
            driver.SetNeedResult(2);
        driver.RunCommandExBin(command, &answer, exchangeTimeoutMs);
        // Both read before NeedResult is reset, which a driver may answer
        // with a result of its own.
        const int resultCode = driver.GetResultCode();
        if (resultCode != 0)
            noteDriverFailure(resultCode);
        if (write)
            driver.SetNeedResult(0);
        if (resultCode == portGone && mayWaitForPort && comebacks < maxComebacks) {
            const QString goneCause = lastFailure;
            otherRegisterFound.clear();
            const Comeback comeback = reconnect();
            if (comeback == Comeback::Back) {
                ++comebacks;
                --attempt;
                continue;
            }
            // What the user hears is why the port went, not what its last look
            // found, unless that was another register.
            lastFailure = otherRegisterFound.isEmpty()
                              ? goneCause
                              : QStringLiteral("%1. %2").arg(goneCause, otherRegisterFound);
            lastAnswered = false;
            lastUnanswered = false;
            // A wait the user stopped is a stop like any other, no failure.
            return comeback == Comeback::Stopped ? int(ERR_CANCELLED)
                                                 : driverResultToCode(resultCode);
        }
        if (!retryAfter(resultCode, attempt, retryLimitHere)) {
            lastUnanswered = resultCode == noAnswer;
            return judgeAnswer(resultCode, answer, data);
        }
    }
}

// An answer is 0x55, the register's error byte, then the data.
int protocolPelto::judgeAnswer(int resultCode, const QByteArray &answer, QByteArray *data)
{
    lastAnswered = false;
    if (resultCode != 0)
        return driverResultToCode(resultCode);
    if (answer.size() < 2 || answer.at(0) != answerMark) {
        qDebug().nospace().noquote()
            << "writeToDrellPort() -> failed. Response: " << answer.toHex(' ');
        return ERR_INVALID_DATA;
    }
    lastAnswered = true;
    const int error = answerErrorToCode(quint8(answer.at(1)));
    if (error == ERR_OK)
        *data = answer.mid(2);
    return error;
}

int protocolPelto::driverResultToCode(int resultCode)
{
    switch (resultCode) {
    case -3839:
        return ERR_DEVICE_WRONG_TABLE;
    case -3840:
        return ERR_DEVICE_WRONG_ROW;
    case -3841:
        return ERR_DEVICE_WRONG_FIELD;
    case -17:
        return noMoreData;
    default:
        return ERR_DEVICE;
    }
}

int protocolPelto::answerErrorToCode(quint8 error)
{
    switch (error) {
    case 0x00:
        return ERR_OK;
    case 0x18:
        return noMoreData;
    case 0x91:
        return ERR_DEVICE_WRONG_TABLE;
    case 0x92:
        return ERR_DEVICE_WRONG_ROW;
    case 0x93:
        return ERR_DEVICE_WRONG_FIELD;
    default:
        return ERR_DEVICE;
    }
}
