#pragma once

#include "byteline.h"

#include <QHostAddress>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

// The register's end of a TCP port, serving one client at a time: while a
// client is connected the port is closed, so that a second one is refused,
// and it listens again once the client has gone. A wait for bytes waits for
// a client first and, as FdLine's, also ends when wakeFd becomes readable.
// Counts the bytes that cross it.
class TcpServerLine : public ByteLine
{
public:
    explicit TcpServerLine(int wakeFd);
    ~TcpServerLine() override;

    // port 0 takes any free one; false with the reason when it cannot listen.
    bool listen(const QHostAddress &address, quint16 port, QString &error);
    // Why listen() failed.
    QAbstractSocket::SocketError listenError() const { return m_server.serverError(); }
    // Where it listens: "127.0.0.1:7778", "[::1]:7778".
    QString endpoint() const;

    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;

    qint64 bytesWritten() const { return m_written; }
    qint64 bytesRead() const { return m_read; }
    int clients() const { return m_clients; }

private:
    // Whether fd became readable within timeoutMs, not the wake descriptor.
    bool waitReadable(int fd, int timeoutMs) const;
    void acceptClient();
    void dropClient();

    int m_wakeFd;
    QTcpServer m_server;
    QHostAddress m_address;
    quint16 m_port = 0;
    std::unique_ptr<QTcpSocket> m_client;
    qint64 m_written = 0;
    qint64 m_read = 0;
    int m_clients = 0;
};
