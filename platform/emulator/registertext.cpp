#include "registertext.h"

#include <array>

namespace RegisterText {

namespace {

constexpr char16_t CapitalA = 0x0410;
constexpr char16_t SmallP = 0x043F;
constexpr char16_t SmallR = 0x0440;
constexpr char16_t SmallYa = 0x044F;

quint8 encodeGeneral(char16_t c)
{
    switch (c) {
    case u'$':
        return 0xFC;
    case u'»':
        return 0x09;
    case u'–':
        return 0xFA;
    case u'€':
        return 0xF2;
    case u'№':
        return 0x24;
    case u'Ё':
        return 0x85;
    case u'ё':
        return 0xA5;
    case u'К': // the write table gives the Latin K for it
        return 0x4B;
    default:
        break;
    }
    if (c < 0x80)
        return quint8(c);
    if (c >= CapitalA && c <= SmallP)
        return quint8(0x80 + (c - CapitalA));
    if (c >= SmallR && c <= SmallYa)
        return quint8(0xE0 + (c - SmallR));
    return '?';
}

quint8 encodeMixed(char16_t c, bool capitals)
{
    switch (c) {
    case u'$':
        return 0xFC;
    case u'»':
        return 0x09;
    case u'Ё':
    case u'ё':
        return 0x85;
    case u'–':
        return 0xFA;
    case u'€':
        return 0xF2;
    case u'№':
        return 0x24;
    default:
        break;
    }
    if (c >= u'a' && c <= u'z')
        return quint8(capitals ? c - 0x20 : c);
    if (c >= 0x20 && c <= 0x5F)
        return quint8(c);
    if (c >= CapitalA && c <= SmallYa)
        return quint8(0x80 + ((c - CapitalA) % 0x20));
    return 0x20;
}

constexpr std::array<quint8, 256> makeGeneralReadTable()
{
    std::array<quint8, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = i < 0x20 ? 0x20 : i < 0x80 ? quint8(i) : quint8('?');
    for (int i = 0; i < 0x20; ++i)
        table[0x80 + i] = quint8(i); // А-Я
    for (int i = 0; i < 0x10; ++i) {
        table[0xA0 + i] = quint8(0x80 + i); // а-п
        table[0xE0 + i] = quint8(0x90 + i); // р-я
    }
    table[0x09] = 0xFE; // »
    table[0xF0] = 0x05; // Ё reads as Е
    table[0xF1] = 0x85; // ё reads as е
    table[0xFA] = 0xA2; // –
    table[0xFC] = 0xA0; // $
    return table;
}

constexpr std::array<quint8, 256> GeneralReadTable = makeGeneralReadTable();

} // namespace

QByteArray encode(const QString &text, Scheme scheme, int width)
{
    QByteArray bytes(width, scheme == Scheme::Mixed ? '\0' : ' ');
    const int count = qMin(width, text.size());
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[i].unicode();
        bytes[i] = char(scheme == Scheme::General ? encodeGeneral(c)
                                                  : encodeMixed(c, scheme == Scheme::Capitals));
    }
    return bytes;
}

QByteArray toGeneralReadLayout(const QByteArray &stored)
{
    QByteArray bytes(stored.size(), Qt::Uninitialized);
    for (int i = 0; i < stored.size(); ++i)
        bytes[i] = char(GeneralReadTable[quint8(stored[i])]);
    return bytes;
}

} // namespace RegisterText
