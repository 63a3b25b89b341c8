#include "hexstream.h"

namespace HexStream {

namespace {

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

bool decode(const QString &text, QByteArray &bytes)
{
    if (text.size() % 2 != 0)
        return false;
    for (const QChar c : text) {
        if (!isHexDigit(c.unicode()))
            return false;
    }
    bytes = QByteArray::fromHex(text.toLatin1());
    return true;
}

QString encode(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace HexStream
