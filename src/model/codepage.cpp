#include "codepage.h"

#include <QTextCodec>

#include <array>

namespace {

using ReadTable = std::array<QChar, 256>;

ReadTable buildGeneralReadTable()
{
    ReadTable table;
    table.fill(QChar(u'?'));
    for (int b = 0x00; b <= 0x1F; ++b)
        table[b] = QChar(0x0410 + b);
    for (int b = 0x20; b <= 0x7E; ++b)
        table[b] = QChar(b);
    table[0x24] = QChar(0x2116);
    table[0x7F] = QChar(u' ');
    for (int b = 0x80; b <= 0x9F; ++b)
        table[b] = QChar(0x0430 + b - 0x80);
    table[0xA0] = QChar(u'$');
    table[0xA1] = QChar(0xCB86);
    table[0xA2] = QChar(0x2013);
    table[0xFE] = QChar(0x00BB);
    return table;
}

ReadTable buildMixedReadTable(bool capitals)
{
    ReadTable table;
    table.fill(QChar(u'?'));
    for (int b = 0x00; b <= 0x1F; ++b)
        table[b] = QChar(u' ');
    table[0x09] = QChar(0x00BB);
    for (int b = 0x20; b <= 0x5F; ++b)
        table[b] = QChar(b);
    table[0x24] = QChar(0x2116);
    for (int b = 0x61; b <= 0x7A; ++b)
        table[b] = QChar(capitals ? b - 0x20 : b);
    for (int b = 0x80; b <= 0x9F; ++b)
        table[b] = QChar(0x0410 + b - 0x80);
    for (int b = 0xA0; b <= 0xAF; ++b)
        table[b] = QChar((capitals ? 0x0410 : 0x0430) + b - 0xA0);
    for (int b = 0xE0; b <= 0xEF; ++b)
        table[b] = QChar((capitals ? 0x0420 : 0x0440) + b - 0xE0);
    table[0xF0] = QChar(0x0415);
    table[0xF1] = QChar(0x0415);
    table[0xF2] = QChar(0x20AC);
    table[0xFA] = QChar(0x2013);
    table[0xFC] = QChar(u'$');
    return table;
}

const ReadTable &generalReadTable()
{
    static const ReadTable table = buildGeneralReadTable();
    return table;
}

const ReadTable &mixedReadTable(bool capitals)
{
    static const ReadTable mixed = buildMixedReadTable(false);
    static const ReadTable upper = buildMixedReadTable(true);
    return capitals ? upper : mixed;
}

// Register byte for each Windows-1251 code.
using WriteTable = std::array<quint8, 256>;

WriteTable buildWindows1251WriteTable()
{
    static const quint8 row80toBF[64] = {
        0x3F, 0x3F, 0x27, 0x3F, 0x22, 0x3A, 0xC5, 0xD8, 0xF2, 0x25, 0x3F, 0x3C, 0x3F,
        0x3F, 0x3F, 0x3F, 0x3F, 0x27, 0x27, 0x22, 0x22, 0x07, 0x2D, 0xFA, 0x3F, 0x54,
        0x3F, 0x3E, 0x3F, 0x3F, 0x3F, 0x3F, 0xFF, 0xF6, 0xF7, 0x3F, 0xFD, 0x3F, 0xB3,
        0x15, 0x85, 0x63, 0x3F, 0x3C, 0xBF, 0x2D, 0x52, 0xF4, 0xF8, 0x2B, 0x49, 0x69,
        0x3F, 0xE7, 0x14, 0xF9, 0xA5, 0x24, 0xF3, 0xE2, 0x3F, 0x3F, 0x3F, 0xF5,
    };
    WriteTable table;
    for (int code = 0x00; code <= 0x7F; ++code)
        table[code] = static_cast<quint8>(code);
    table[0x24] = 0xFC;
    for (int code = 0x80; code <= 0xBF; ++code)
        table[code] = row80toBF[code - 0x80];
    for (int code = 0xC0; code <= 0xEF; ++code)
        table[code] = static_cast<quint8>(0x80 + code - 0xC0);
    table[0xCA] = 0x4B; // К is written as the Latin K
    for (int code = 0xF0; code <= 0xFF; ++code)
        table[code] = static_cast<quint8>(0xE0 + code - 0xF0);
    return table;
}

// Windows-1251 code of every UTF-16 unit, '?' where the code page has none.
// Built once from Qt's codec, so a text costs one look-up per character.
using Windows1251Table = std::array<quint8, 0x10000>;

Windows1251Table buildWindows1251Table()
{
    Windows1251Table table;
    table.fill('?');
    QTextCodec *codec = QTextCodec::codecForName("Windows-1251");
    for (int code = 0; code <= 0xFF; ++code) {
        const char byte = static_cast<char>(code);
        const QString decoded = codec->toUnicode(&byte, 1);
        if (decoded.size() == 1 && decoded.at(0) != QChar::ReplacementCharacter)
            table[decoded.at(0).unicode()] = static_cast<quint8>(code);
    }
    return table;
}

quint8 generalByteOf(QChar ch)
{
    static const WriteTable writeTable = buildWindows1251WriteTable();
    static const Windows1251Table windows1251 = buildWindows1251Table();
    if (ch.unicode() == 0x2013)
        return 0xFA;
    if (ch.unicode() == 0x00BB)
        return 0x09;
    return writeTable[windows1251[ch.unicode()]];
}

quint8 mixedByteOf(QChar ch, bool capitals)
{
    const ushort u = ch.unicode();
    switch (u) {
    case 0x0024:
        return 0xFC;
    case 0x00BB:
        return 0x09;
    case 0x0401:
    case 0x0451:
        return 0x85;
    case 0x2013:
        return 0xFA;
    case 0x20AC:
        return 0xF2;
    case 0x2116:
        return 0x24;
    default:
        break;
    }
    if (u < 0x20)
        return 0x20;
    if (u <= 0x5F)
        return static_cast<quint8>(u);
    if (u >= 0x61 && u <= 0x7A)
        return static_cast<quint8>(capitals ? u - 0x20 : u);
    if (u >= 0x0410 && u <= 0x042F)
        return static_cast<quint8>(0x80 + u - 0x0410);
    if (u >= 0x0430 && u <= 0x044F)
        return static_cast<quint8>(0x80 + u - 0x0430);
    return 0x20;
}

int readWith(const ReadTable &table, const char *bytes, int count, QString &text)
{
    text.clear();
    text.reserve(count);
    for (int i = 0; i < count; ++i)
        text.append(table[static_cast<quint8>(bytes[i])]);
    return 0;
}

template <typename ByteOf>
int writeWith(ByteOf byteOf, const QString &text, char *buffer, int length)
{
    const int count = qMin(length, text.size());
    for (int i = 0; i < count; ++i)
        buffer[i] = static_cast<char>(byteOf(text.at(i)));
    return 0;
}

} // namespace

int deviceToTextGeneral(const char *bytes, int count, QString &text)
{
    return readWith(generalReadTable(), bytes, count, text);
}

int deviceToTextMixed(const char *bytes, int count, QString &text, bool capitals)
{
    return readWith(mixedReadTable(capitals), bytes, count, text);
}

int textToDeviceGeneral(const QString &text, char *buffer, int length)
{
    return writeWith(generalByteOf, text, buffer, length);
}

int textToDeviceMixed(const QString &text, char *buffer, int length, bool capitals)
{
    return writeWith([capitals](QChar ch) { return mixedByteOf(ch, capitals); }, text, buffer,
                     length);
}
