#pragma once

#include <QByteArray>
#include <QString>

// The hexadecimal text form of command and answer bytes (stream format 3).
namespace HexStream {

constexpr int Format = 3;

// Two digits per byte, either case, no separators; false for anything else.
bool decode(const QString &text, QByteArray &bytes);
// Lower-case digits, two per byte.
QString encode(const QByteArray &bytes);

} // namespace HexStream
