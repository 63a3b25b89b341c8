#pragma once

#include <QtGlobal>

// Bounds of what a register table can hold. Reads stop at them, and a table
// file that names anything beyond them is malformed, so no file can make the
// grid grow without bound.
constexpr int maxTableRows = 65535;   // row numbers travel as 16 bits
constexpr int maxSettingsField = 255; // field numbers travel as one byte
constexpr int maxFieldWidth = 255;

// Room for one cell in a table file: its numbers and TABs, and a text as long
// as the widest field with every character taking three bytes, and room to
// spare. A decoded line has no more characters than it had bytes.
constexpr int maxCellBytes = 1024;

// The largest legal file of a table format. A load refuses a larger file
// unread, and stops at a line longer or a line more than it can hold, so that
// what it keeps in memory is bounded by what the grid can show.
struct TableFileBound
{
    int headerLines;
    int dataLines;    // the most lines with content after the header
    int cellsPerLine; // the cells a data line carries

    constexpr int maxLineLength() const { return cellsPerLine * maxCellBytes; }
    constexpr int maxLines() const { return headerLines + dataLines; }
    constexpr qint64 maxFileSize() const { return qint64(maxLines()) * maxLineLength(); }
};

// A line per cell of up to maxTableRows rows of fields cells.
constexpr TableFileBound genericTableFileBound(int fields)
{
    return {1, maxTableRows * fields, 1};
}
constexpr TableFileBound settingsFileBound{1, maxSettingsField, 1};
// A record of the seven goods fields per line.
constexpr TableFileBound goodsCsvFileBound{2, maxTableRows, 7};
