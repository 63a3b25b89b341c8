#include "tcptransport.h"

#include "driverresult.h"

#include <QDebug>
#include <QElapsedTimer>

TcpTransport::TcpTransport(const NetworkAddress &address, int connectTimeoutMs, QObject *parent)
    : DriverTransport(parent), m_address(address), m_connectTimeoutMs(connectTimeoutMs),
      m_line(m_socket), m_link(m_line), m_host(m_link)
{
}

int TcpTransport::open()
{
    QElapsedTimer connecting;
    connecting.start();
    m_socket.connectToHost(m_address.host, m_address.port);
    if (!m_socket.waitForConnected(m_connectTimeoutMs)) {
        qDebug() << "TcpTransport:" << m_address.host << m_address.port << m_socket.error()
                 << m_socket.errorString();
        const int cause = connectFailureCause();
        m_socket.abort();
        return cause;
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
    m_socket.abort();
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
