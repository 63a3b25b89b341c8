#pragma once

#include <QByteArray>
#include <QString>

// Text in the register's single-byte code page. Letters, digits and ASCII
// punctuation are stored in the CP866 layout (capitals at 0x80-0x9F), which is
// what all three writing schemes produce. Fields written with the general scheme
// are read back through a different table, so the register translates them.
namespace RegisterText {

enum class Scheme
{
    General,
    Mixed,
    Capitals,
};

// The bytes a scheme writes for text, padded to width: 0x00 for the mixed
// scheme, blanks otherwise. Longer text is cut.
QByteArray encode(const QString &text, Scheme scheme, int width);

// Stored general-scheme bytes in the layout of the general read table:
// capitals at 0x00-0x1F, small letters at 0x80-0x9F, "$" 0xA0, "–" 0xA2, "»" 0xFE.
QByteArray toGeneralReadLayout(const QByteArray &stored);

} // namespace RegisterText
