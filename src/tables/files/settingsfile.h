#pragma once

#include "tablefilereader.h"

#include <QString>

class QTextStream;
class TableData;

// The settings file of table 2: "2" on line 1, then one line per row:
// field number, TAB, type code, TAB, width, TAB, value text. The table is laid
// out with columns field, type and value, one row per field.
namespace SettingsFile {

int write(const TableData &table, QTextStream &out);
// Checks the lines after the first; on success apply shows each value in the
// row of its field, as a read shows it. The text shown is the read form where
// it writes the same bytes again, else the file's own text (the register
// reads a text back in another layout than it is written in, which the read
// form cannot undo).
int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply);

} // namespace SettingsFile
