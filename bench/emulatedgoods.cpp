#include "emulatedgoods.h"

#include "errorcode.h"
#include "protocolpelto.h"

#include <QElapsedTimer>

namespace {

constexpr int GoodsTable = 1;
constexpr int StartTimeoutMs = 10000;

} // namespace

std::unique_ptr<QProcess> startEmulator(int records, const QStringList &options, QString &where)
{
    auto emulator = std::make_unique<QProcess>();
    emulator->start(QStringLiteral(REGISTER_EMULATOR),
                    QStringList{QStringLiteral("--goods"), QString::number(records)} + options);
    while (!emulator->canReadLine()) {
        if (!emulator->waitForReadyRead(StartTimeoutMs))
            return nullptr;
    }
    where = QString::fromLocal8Bit(emulator->readLine()).trimmed();
    return emulator;
}

GoodsRead readGoods(protocolPelto &protocol, const PortInfo &port, int records)
{
    GoodsRead read;
    QElapsedTimer timer;
    timer.start();
    if (protocol.openPort(port) != ERR_OK)
        return read;
    FieldList record;
    for (int row = 1; row <= records; ++row) {
        if (protocol.readRow(GoodsTable, row, &record) != ERR_OK)
            break;
        QByteArray bytes;
        for (const auto &field : qAsConst(record))
            bytes += field->rawData();
        read.records << bytes;
    }
    read.counts = protocol.exchangeCounts();
    protocol.closePort();
    read.seconds = timer.nsecsElapsed() / 1e9;
    read.complete = read.records.size() == records;
    return read;
}
