#include "drivercomponent.h"

#include "builtinregister.h"
#include "builtintransport.h"
#include "driverresult.h"
#include "registeremulator.h"
#include "serialtransport.h"
#include "tcptransport.h"

#include <QDebug>

using namespace RegisterProtocol;

namespace {

constexpr int PortNumberBase = 1000;
// Identification and mode entry are short commands; a register that does not
// answer them quickly is not there. A shorter ENQTimeout shortens the wait
// further, as a search of many ports at many rates needs.
constexpr int ServiceTimeoutMs = 1000;

bool lineFailure(int resultCode)
{
    switch (resultCode) {
    case DriverResult::NoConnection:
    case DriverResult::PortUnavailable:
    case DriverResult::NoSuchDevice:
    case DriverResult::PermissionDenied:
    case DriverResult::PortBusy:
    case DriverResult::DeviceGone:
    case DriverResult::NotSerialPort:
    case DriverResult::ConnectionRefused:
    case DriverResult::HostNotFound:
    case DriverResult::NoRoute:
    case DriverResult::HostSilent:
    case DriverResult::BadAddress:
        return true;
    default:
        return false;
    }
}

} // namespace

DriverComponent::DriverComponent(QObject *parent) : QObject(parent) {}

DriverComponent::~DriverComponent()
{
    closeTransport();
}

void DriverComponent::AddDevice()
{
    finish(DriverResult::Ok);
}

void DriverComponent::SetMode()
{
    if (!m_transport)
        return finish(DriverResult::NotEnabled);
    if (m_mode < 0 || m_mode > 0xFF)
        return finish(DriverResult::BadParameter);
    const QString password = m_password.isEmpty() ? m_settings.defaultPassword : m_password;
    QByteArray request;
    request.append(char(EnterMode));
    request.append(char(m_mode));
    request.append(password.toLatin1());
    Answer answer;
    finish(command(request, answer));
}

void DriverComponent::RunCommand()
{
    m_inboundStream.clear();
    if (!m_transport)
        return finish(DriverResult::NotEnabled);
    QByteArray request;
    if (m_streamFormat != HexStream::Format || !HexStream::decode(m_outboundStream, request))
        return finish(DriverResult::BadStream);
    QByteArray answer;
    const int result = exchange(request, answer, m_enqTimeout);
    if (result != DriverResult::Ok)
        return finish(result);
    m_inboundStream = HexStream::encode(answer);
    finish(DriverResult::Ok);
}

void DriverComponent::GetDeviceMetrics()
{
    finish(m_transport ? identify() : int(DriverResult::NotEnabled));
}

void DriverComponent::setDeviceSettings(const QString &text)
{
    if (!m_settings.apply(text))
        return finish(DriverResult::BadSettings);
    m_settingsText = text;
    finish(DriverResult::Ok);
}

void DriverComponent::setPortNumber(int number)
{
    m_settings.portNumber = number;
    m_portName.clear();
    finish(DriverResult::Ok);
}

void DriverComponent::setPortName(const QString &location)
{
    m_portName = location;
    finish(DriverResult::Ok);
}

void DriverComponent::setDeviceEnabled(bool enabled)
{
    closeTransport();
    if (!enabled)
        return finish(DriverResult::Ok);
    m_location = portLocation();
    m_networkAddress.reset();
    if (NetworkAddress::isNetworkLocation(m_location)) {
        NetworkAddress address;
        if (!NetworkAddress::parse(m_location, m_settings.hostAddress, address))
            return finish(DriverResult::BadAddress);
        m_networkAddress = address;
    }
    m_transport = createTransport(m_location);
    const int opened = m_transport ? m_transport->open() : int(DriverResult::PortUnavailable);
    if (opened != DriverResult::Ok) {
        qDebug() << "DriverComponent::setDeviceEnabled cannot open" << m_location;
        closeTransport();
        return finish(opened);
    }
    qDebug() << "DriverComponent::setDeviceEnabled opened" << m_location << "at"
             << m_settings.baudRate << "baud";
    const int result = identify();
    if (result != DriverResult::Ok)
        closeTransport();
    finish(result);
}

void DriverComponent::setRequestedMode(int mode)
{
    m_mode = mode;
    finish(DriverResult::Ok);
}

void DriverComponent::setPassword(const QString &password)
{
    m_password = password;
    finish(DriverResult::Ok);
}

void DriverComponent::setStreamFormat(int format)
{
    m_streamFormat = format;
    finish(DriverResult::Ok);
}

void DriverComponent::setOutboundStream(const QString &stream)
{
    m_outboundStream = stream;
    finish(DriverResult::Ok);
}

void DriverComponent::setEnqTimeout(int milliseconds)
{
    m_enqTimeout = milliseconds;
    finish(DriverResult::Ok);
}

void DriverComponent::setNeedResult(int needResult)
{
    m_needResult = needResult;
    finish(DriverResult::Ok);
}

QString DriverComponent::resultDescription() const
{
    return DriverResult::description(m_resultCode, m_resultDetail, m_resultHint);
}

QString DriverComponent::portLocation() const
{
    if (!m_portName.isEmpty())
        return m_portName;
    const int number = m_settings.portNumber - PortNumberBase;
    return number >= 1 ? QStringLiteral("/dev/ttyS%1").arg(number - 1) : QString();
}

DriverTransport *DriverComponent::createTransport(const QString &location)
{
    if (location.isEmpty())
        return nullptr;
    if (m_networkAddress)
        return new TcpTransport(*m_networkAddress, qMin(ServiceTimeoutMs, m_enqTimeout), this);
    if (location != QLatin1String(BuiltInRegister::Location))
        return new SerialTransport(location, m_settings.baudRate, this);
    if (!m_builtInRegister || m_builtInRegister->goodsCount() != m_settings.emulatorGoodsCount)
        m_builtInRegister = std::make_unique<RegisterEmulator>(m_settings.emulatorGoodsCount);
    return new BuiltInTransport(*m_builtInRegister, this);
}

void DriverComponent::closeTransport()
{
    if (!m_transport)
        return;
    m_transport->close();
    delete m_transport;
    m_transport = nullptr;
}

int DriverComponent::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    const int result = m_transport->exchange(request, answer, timeoutMs);
    qDebug().noquote() << "DriverComponent::exchange" << request.toHex() << "->"
                       << (result == DriverResult::Ok ? answer.toHex()
                                                      : QByteArrayLiteral("no answer"));
    return result;
}

int DriverComponent::command(const QByteArray &request, Answer &answer)
{
    QByteArray bytes;
    const int result = exchange(request, bytes, qMin(ServiceTimeoutMs, m_enqTimeout));
    if (result != DriverResult::Ok)
        return result;
    if (!parseAnswer(bytes, answer))
        return DriverResult::BadAnswer;
    switch (answer.error) {
    case NoError:
        return DriverResult::Ok;
    case RegisterProtocol::WrongPassword:
        return DriverResult::WrongPassword;
    default:
        return DriverResult::DeviceError;
    }
}

int DriverComponent::identify()
{
    Answer answer;
    const int result = command(QByteArray(1, char(Identify)), answer);
    if (result != DriverResult::Ok)
        return result;
    return Identification::decode(answer.data, m_identification) ? int(DriverResult::Ok)
                                                                 : int(DriverResult::BadAnswer);
}

// The location names the line in the failures that concern it. Who may open
// the device is read now, while the refusal is current.
void DriverComponent::finish(int resultCode)
{
    m_resultCode = resultCode;
    m_resultDetail = lineFailure(resultCode) ? m_location : QString();
    if (m_networkAddress && resultCode != DriverResult::Ok)
        m_resultHint =
            DriverResult::networkHint(resultCode, m_networkAddress->host, m_networkAddress->port);
    else if (resultCode == DriverResult::PermissionDenied)
        m_resultHint = DriverResult::permissionHint(m_location);
    else
        m_resultHint.clear();
    if (resultCode != DriverResult::Ok)
        qDebug().noquote() << "DriverComponent: result" << resultCode << resultDescription();
}
