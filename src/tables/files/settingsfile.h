#pragma once

#include "tablefilereader.h"

#include <QString>

class QTextStream;
class TableData;

// The settings file of table 2: "2" on line 1, then one line per row:
// field number, TAB, type code, TAB, width, TAB, value text. The table is laid
// out with columns field, type and value, one row per field.
namespace SettingsFile {

int save(const TableData &table, const QString &path);
int write(const TableData &table, QTextStream &out);
// All or nothing: the table changes only when the whole file is good; then
// each value shows in the row of its field, as a read shows it. The text
// shown is the read form where it writes the same bytes again, else the
// file's own text (the register reads a text back in another layout than it
// is written in, which the read form cannot undo).
int load(TableData &table, const QString &path);
// Checks the lines after the first; on success apply puts them into the
// table as load does.
int parse(TableLines &lines, const QString &firstLine, TableData &table, PendingLoad &apply);

} // namespace SettingsFile
