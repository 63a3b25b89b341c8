#include "tcptransport.h"

#include "driverresult.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QThread>

namespace {

// A register serving one client at a time refuses a new connection until it
// has seen the last one go, which takes it a moment after this program closed
// it: a retry reconnects at once. Within this time of such a close a refused
// connection is tried again, every RefusedRetryMs, while the connection may take.
constexpr int RecentCloseMs = 2000;
constexpr int RefusedRetryMs = 20;

// When this program last closed a connection to each "host:port", across
// its driver components and threads.
class RecentCloses
{
public:
    void note(const QString &key)
    {
        const QMutexLocker lock(&m_mutex);
        m_closed[key].start();
    }
    bool contains(const QString &key)
    {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_closed.constFind(key);
        return found != m_closed.constEnd() && !found->hasExpired(RecentCloseMs);
    }

private:
    QMutex m_mutex;
    QHash<QString, QElapsedTimer> m_closed;
};

RecentCloses &recentCloses()
{
    static RecentCloses closes;
    return closes;
}

} // namespace

TcpTransport::TcpTransport(const NetworkAddress &address, int connectTimeoutMs, QObject *parent)
    : DriverTransport(parent), m_address(address), m_connectTimeoutMs(connectTimeoutMs),
      m_line(m_socket), m_link(m_line), m_host(m_link)
{
}

int TcpTransport::open()
{
    QElapsedTimer connecting;
    connecting.start();
    const bool justClosed = recentCloses().contains(key());
    for (;;) {
        m_socket.connectToHost(m_address.host, m_address.port);
        if (m_socket.waitForConnected(qMax(0, m_connectTimeoutMs - int(connecting.elapsed()))))
            break;
        qDebug() << "TcpTransport:" << m_address.host << m_address.port << m_socket.error()
                 << m_socket.errorString();
        const int cause = connectFailureCause();
        m_socket.abort();
        if (!justClosed || cause != DriverResult::ConnectionRefused ||
            connecting.elapsed() + RefusedRetryMs >= m_connectTimeoutMs)
            return cause;
        QThread::msleep(RefusedRetryMs);
    }
    // Frames are small and each waits for its ACK: none is to be held back.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_connectMs = int(connecting.elapsed());
    // Until an exchange has shown the round trip, as long as the connection may take.
    m_link.setRoundTripMs(m_connectTimeoutMs);
    m_roundTripMeasured = false;
    return DriverResult::Ok;
}

int TcpTransport::connectFailureCause() const
{
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return DriverResult::ConnectionRefused;
    case QAbstractSocket::HostNotFoundError:
        return DriverResult::HostNotFound;
    case QAbstractSocket::NetworkError:
        return DriverResult::NoRoute;
    case QAbstractSocket::SocketTimeoutError:
        return DriverResult::HostSilent;
    default:
        return DriverResult::PortUnavailable;
    }
}

void TcpTransport::close()
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        recentCloses().note(key());
    m_socket.abort();
}

QString TcpTransport::key() const
{
    return m_address.host + QLatin1Char(':') + QString::number(m_address.port);
}

int TcpTransport::exchange(const QByteArray &request, QByteArray &answer, int timeoutMs)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return DriverResult::DeviceGone;
    QElapsedTimer exchanging;
    exchanging.start();
    if (m_host.exchange(request, answer, timeoutMs + m_link.roundTripMs())) {
        // The register answers at once, so the first exchange takes a round trip.
        if (!m_roundTripMeasured) {
            m_roundTripMeasured = true;
            m_link.setRoundTripMs(qMax(m_connectMs, int(exchanging.elapsed())));
            qDebug() << "TcpTransport: round trip" << m_link.roundTripMs() << "ms";
        }
        return DriverResult::Ok;
    }
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        qDebug() << "TcpTransport: connection lost:" << m_socket.errorString();
        return DriverResult::DeviceGone;
    }
    return DriverResult::NoConnection;
}
