#pragma once

#include <QByteArray>

// The memory dumps of the register's two processors, handed out block by block.
class DumpMemory
{
public:
    enum Kind
    {
        FiscalMemoryProcessor = 2,
        FirmwareProcessor = 17,
    };
    static constexpr int BlockSize = 256;

    // Restarts at the first block of the dump of kind; false for an unknown kind.
    bool start(int kind);
    int size() const { return m_contents.size(); }
    // Up to BlockSize bytes; empty once the whole dump has been handed out.
    QByteArray nextBlock();

private:
    QByteArray m_contents;
    int m_position = 0;
};
