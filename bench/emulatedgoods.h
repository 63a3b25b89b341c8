#pragma once

#include "exchangerecord.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <memory>

class PortInfo;
class protocolPelto;

// The emulator program with a goods table of records and the options given;
// where it serves (a terminal's path or a network address), as it prints it.
// Null when it printed nothing in time.
std::unique_ptr<QProcess> startEmulator(int records, const QStringList &options, QString &where);

// The goods read record by record through the protocol, their bytes kept so
// that one line's read compares with another's.
struct GoodsRead
{
    bool complete = false;
    double seconds = 0;
    ExchangeCounts counts;
    QList<QByteArray> records;
};

// Opens the port with the protocol as the caller set it up (rate, retries),
// reads the first records of the goods, and closes it.
GoodsRead readGoods(protocolPelto &protocol, const PortInfo &port, int records);
