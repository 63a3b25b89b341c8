#pragma once

#include <QString>

// Where a register on the network is reached: a port entry "tcp://HOST:PORT",
// HOST a name, an IPv4 address or an IPv6 one in brackets.
struct NetworkAddress
{
    static constexpr char Scheme[] = "tcp://";

    QString host;
    quint16 port = 0;

    static bool isNetworkLocation(const QString &location);
    // The address of location, or of fallback ("HOST:PORT", the settings'
    // HostAddress) when the location is the scheme alone; false when the one
    // used is not a host and a port from 1 to 65535.
    static bool parse(const QString &location, const QString &fallback, NetworkAddress &address);
};
