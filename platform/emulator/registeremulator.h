#pragma once

#include "dumpmemory.h"
#include "registerprotocol.h"
#include "tableseed.h"

#include <QByteArray>

// The register itself: its tables, mode and dump memory, driven one command at
// a time. Request bytes in, answer bytes out (RegisterProtocol).
class RegisterEmulator
{
public:
    static constexpr int DefaultGoodsCount = 20;
    static constexpr int MaxGoodsCount = 65535;
    // The access password that mode entry expects, as ASCII digits.
    static constexpr char AccessPassword[] = "30";
    static constexpr int StartMode = 1;
    static constexpr char DefaultSerialNumber[] = "0001000001";

    explicit RegisterEmulator(int goodsCount = DefaultGoodsCount);

    int goodsCount() const;
    // The factory number its identification gives.
    void setSerialNumber(const QString &digits) { m_serialNumber = digits; }

    QByteArray handle(const QByteArray &request);

    // Counts the table writes handled, so that a caller can tell a change.
    int revision() const { return m_revision; }
    // The tables' contents (not the mode or a dump under way), to keep them
    // across runs.
    QByteArray saveTables() const;
    // Replaces the tables, and with them the goods count, by saved ones; false,
    // changing nothing, when state is not what saveTables gives.
    bool restoreTables(const QByteArray &state);

private:
    struct Address
    {
        RegisterTable *table = nullptr;
        int row = 0;
        int field = 0;
    };

    // Table, row and field of a read or write request; field 0 is left to the caller.
    RegisterProtocol::ErrorByte locate(const QByteArray &request, Address &address);

    QByteArray readField(const QByteArray &request);
    QByteArray writeField(const QByteArray &request);
    QByteArray startDump(const QByteArray &request);
    QByteArray nextDumpBlock(const QByteArray &request);
    QByteArray identify(const QByteArray &request) const;
    QByteArray enterMode(const QByteArray &request);

    TableSeed::Tables m_tables;
    DumpMemory m_dump;
    int m_mode = StartMode;
    int m_revision = 0;
    QString m_serialNumber = QLatin1String(DefaultSerialNumber);
};
