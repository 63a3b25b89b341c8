#pragma once

#include "deviceline.h"
#include "drivertransport.h"
#include "framelink.h"
#include "hostexchange.h"
#include "networkaddress.h"

#include <QTcpSocket>

// A register on the network, over a TCP connection carrying exactly the
// serial line's frames. The waits for an ACK and an answer add the
// connection's round trip: the longer of the time the connection and the
// first exchange took, and before that exchange the longest a connection may
// take.
class TcpTransport : public DriverTransport
{
    Q_OBJECT
public:
    TcpTransport(const NetworkAddress &address, int connectTimeoutMs, QObject *parent);

    int open() override;
    void close() override;
    int exchange(const QByteArray &request, QByteArray &answer, int timeoutMs) override;

private:
    int connectFailureCause() const;
    // "host:port", as the address was given.
    QString key() const;

    NetworkAddress m_address;
    int m_connectTimeoutMs;
    QTcpSocket m_socket;
    DeviceLine m_line;
    FrameLink m_link;
    HostExchange m_host;
    int m_connectMs = 0;
    bool m_roundTripMeasured = false;
};
