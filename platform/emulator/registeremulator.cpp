#include "registeremulator.h"

#include <QDataStream>

using namespace RegisterProtocol;

namespace {

constexpr int AddressedRequestSize = 5; // command, table, row (2 bytes), field
constexpr int MaxMode = 7;
constexpr quint32 StateMagic = 0x4B545331; // "KTS1"

Identification registerIdentification(int mode, const QString &serialNumber)
{
    Identification identification;
    identification.protocolVersion = 1;
    identification.type = 1;
    identification.model = 72;
    identification.mode = mode;
    identification.majorVersion = 3;
    identification.minorVersion = 2;
    identification.build = 1205;
    identification.codePage = 866;
    identification.description = QStringLiteral("ККТ Korvan Tessel (эмулятор)");
    identification.serialNumber = serialNumber;
    return identification;
}

} // namespace

RegisterEmulator::RegisterEmulator(int goodsCount)
    : m_tables(TableSeed::build(qBound(0, goodsCount, MaxGoodsCount)))
{
}

int RegisterEmulator::goodsCount() const
{
    return m_tables.at(TableSeed::Goods).rowCount();
}

QByteArray RegisterEmulator::saveTables() const
{
    QByteArray state;
    QDataStream stream(&state, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_15);
    stream << StateMagic << qint32(goodsCount()) << quint32(m_tables.size());
    for (const auto &[number, table] : m_tables)
        stream << qint32(number) << table.contents();
    return state;
}

bool RegisterEmulator::restoreTables(const QByteArray &state)
{
    QDataStream stream(state);
    stream.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0;
    qint32 goods = -1;
    quint32 tableCount = 0;
    stream >> magic >> goods >> tableCount;
    if (magic != StateMagic || goods < 0 || goods > MaxGoodsCount)
        return false;
    TableSeed::Tables tables = TableSeed::build(goods);
    if (tableCount != tables.size())
        return false;
    // Saved in ascending order, so every table is restored exactly once.
    qint32 previous = 0;
    for (quint32 i = 0; i < tableCount; ++i) {
        qint32 number = 0;
        QByteArray contents;
        stream >> number >> contents;
        const auto found = tables.find(number);
        if (number <= previous || found == tables.end() || !found->second.setContents(contents))
            return false;
        previous = number;
    }
    if (stream.status() != QDataStream::Ok || !stream.atEnd())
        return false;
    m_tables = std::move(tables);
    return true;
}

QByteArray RegisterEmulator::handle(const QByteArray &request)
{
    if (request.isEmpty())
        return makeAnswer(BadLength);
    switch (quint8(request[0])) {
    case ReadField:
        return readField(request);
    case WriteField:
        return writeField(request);
    case StartDump:
        return startDump(request);
    case NextDumpBlock:
        return nextDumpBlock(request);
    case Identify:
        return identify(request);
    case EnterMode:
        return enterMode(request);
    default:
        return makeAnswer(UnknownCommand);
    }
}

ErrorByte RegisterEmulator::locate(const QByteArray &request, Address &address)
{
    const auto found = m_tables.find(quint8(request[1]));
    if (found == m_tables.end())
        return UnknownTable;
    address.table = &found->second;
    address.row = (quint8(request[2]) << 8) | quint8(request[3]);
    address.field = quint8(request[4]);
    if (!address.table->hasRow(address.row))
        return RowOutOfRange;
    if (address.field != 0 && !address.table->hasField(address.field))
        return UnknownField;
    return NoError;
}

QByteArray RegisterEmulator::readField(const QByteArray &request)
{
    if (request.size() != AddressedRequestSize)
        return makeAnswer(BadLength);
    Address address;
    const ErrorByte error = locate(request, address);
    if (error != NoError)
        return makeAnswer(error);
    if (address.field == 0)
        return makeAnswer(NoError, address.table->readRecord(address.row));
    return makeAnswer(NoError, address.table->readField(address.row, address.field));
}

QByteArray RegisterEmulator::writeField(const QByteArray &request)
{
    if (request.size() < AddressedRequestSize)
        return makeAnswer(BadLength);
    if (m_mode != ProgrammingMode)
        return makeAnswer(WrongMode);
    Address address;
    const ErrorByte error = locate(request, address);
    if (error != NoError)
        return makeAnswer(error);
    if (address.field == 0)
        return makeAnswer(UnknownField);
    const QByteArray data = request.mid(AddressedRequestSize);
    if (data.size() != address.table->fieldWidth(address.field))
        return makeAnswer(BadLength);
    address.table->writeField(address.row, address.field, data);
    ++m_revision;
    return makeAnswer(NoError);
}

QByteArray RegisterEmulator::startDump(const QByteArray &request)
{
    if (request.size() != 2)
        return makeAnswer(BadLength);
    if (!m_dump.start(quint8(request[1])))
        return makeAnswer(BadParameter);
    const int size = m_dump.size();
    QByteArray data;
    data.append(char((size >> 16) & 0xFF));
    data.append(char((size >> 8) & 0xFF));
    data.append(char(size & 0xFF));
    return makeAnswer(NoError, data);
}

QByteArray RegisterEmulator::nextDumpBlock(const QByteArray &request)
{
    if (request.size() != 1)
        return makeAnswer(BadLength);
    const QByteArray block = m_dump.nextBlock();
    return block.isEmpty() ? makeAnswer(NoMoreData) : makeAnswer(NoError, block);
}

QByteArray RegisterEmulator::identify(const QByteArray &request) const
{
    if (request.size() != 1)
        return makeAnswer(BadLength);
    return makeAnswer(NoError, registerIdentification(m_mode, m_serialNumber).encode());
}

QByteArray RegisterEmulator::enterMode(const QByteArray &request)
{
    if (request.size() < 2)
        return makeAnswer(BadLength);
    const int mode = quint8(request[1]);
    if (mode < StartMode || mode > MaxMode)
        return makeAnswer(BadParameter);
    if (request.mid(2) != AccessPassword)
        return makeAnswer(WrongPassword);
    m_mode = mode;
    return makeAnswer(NoError);
}
