#include "dumpmemory.h"

namespace {

// 64 KiB of firmware; the fiscal memory dump is deliberately not a whole number
// of blocks, so that its last block is short.
constexpr int FirmwareSize = 64 * 1024;
constexpr int FiscalMemorySize = 8000;

// Deterministic filler: the same dump every time, different per processor.
QByteArray pseudoRandomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = char(state & 0xFF);
    }
    return bytes;
}

} // namespace

bool DumpMemory::start(int kind)
{
    switch (kind) {
    case FirmwareProcessor:
        m_contents = pseudoRandomBytes(FirmwareSize, quint32(kind));
        break;
    case FiscalMemoryProcessor:
        m_contents = pseudoRandomBytes(FiscalMemorySize, quint32(kind));
        break;
    default:
        return false;
    }
    m_position = 0;
    return true;
}

QByteArray DumpMemory::nextBlock()
{
    const QByteArray block = m_contents.mid(m_position, BlockSize);
    m_position += block.size();
    return block;
}
