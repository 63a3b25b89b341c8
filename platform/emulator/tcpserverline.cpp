#include "tcpserverline.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <cstdio>
#include <poll.h>

namespace {

// As FdLine's: a client that takes nothing for this long is not there.
constexpr int WriteTimeoutMs = 1000;
// How long to wait before listening again when the port is taken meanwhile.
constexpr int ListenRetryMs = 250;

int remainingMs(const QDeadlineTimer &deadline)
{
    return deadline.isForever() ? -1 : int(deadline.remainingTime());
}

} // namespace

TcpServerLine::TcpServerLine(int wakeFd) : m_wakeFd(wakeFd) {}

TcpServerLine::~TcpServerLine() = default;

bool TcpServerLine::listen(const QHostAddress &address, quint16 port, QString &error)
{
    if (!m_server.listen(address, port)) {
        error = m_server.errorString();
        return false;
    }
    m_address = address;
    m_port = m_server.serverPort();
    return true;
}

QString TcpServerLine::endpoint() const
{
    const QString host = m_address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(m_address.toString())
                             : m_address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(m_port);
}

bool TcpServerLine::write(const QByteArray &bytes)
{
    if (!m_client || m_client->write(bytes) != bytes.size())
        return false;
    while (m_client->bytesToWrite() > 0) {
        if (!m_client->waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    m_written += bytes.size();
    return true;
}

QByteArray TcpServerLine::read(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                : QDeadlineTimer(timeoutMs));
    for (;;) {
        if (!m_client) {
            if (!m_server.isListening() && !m_server.listen(m_address, m_port)) {
                std::fprintf(stderr, "register-emulator: cannot listen on %s again: %s\n",
                             qPrintable(endpoint()), qPrintable(m_server.errorString()));
                const int pauseMs = remainingMs(deadline);
                waitReadable(-1, pauseMs < 0 ? ListenRetryMs : qMin(pauseMs, ListenRetryMs));
                return QByteArray();
            }
            if (!waitReadable(int(m_server.socketDescriptor()), remainingMs(deadline)))
                return QByteArray();
            acceptClient();
            continue;
        }
        if (m_client->bytesAvailable() > 0) {
            const QByteArray bytes = m_client->readAll();
            m_read += bytes.size();
            return bytes;
        }
        if (m_client->state() != QAbstractSocket::ConnectedState) {
            dropClient();
            continue;
        }
        if (!waitReadable(int(m_client->socketDescriptor()), remainingMs(deadline)))
            return QByteArray();
        // Takes in what the system holds, or learns that the client has gone.
        m_client->waitForReadyRead(0);
    }
}

bool TcpServerLine::waitReadable(int fd, int timeoutMs) const
{
    // poll() skips a negative descriptor.
    pollfd fds[] = {{fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    return ::poll(fds, 2, timeoutMs) > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR));
}

void TcpServerLine::acceptClient()
{
    if (!m_server.waitForNewConnection(0))
        return;
    m_client.reset(m_server.nextPendingConnection());
    if (!m_client)
        return;
    m_client->setParent(nullptr);
    m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_server.close();
    ++m_clients;
}

void TcpServerLine::dropClient()
{
    m_client.reset();
}
