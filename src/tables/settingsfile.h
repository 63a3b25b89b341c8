#pragma once

#include "tablefilereader.h"

#include <QString>

#include <functional>

class FieldBase;
class QTableWidget;
class QTextStream;

// The settings file of table 2: "2" on line 1, then one line per grid row:
// field number, TAB, type code, TAB, width, TAB, value text. The grid is that
// of the settings editor: columns field, type and value, one row per field.
namespace SettingsFile {

int save(const QTableWidget &grid, const QString &path);
int write(const QTableWidget &grid, QTextStream &out);
// All or nothing: the grid changes only when the whole file is good; then
// fillRow shows each value in the grid row of its field, as a read does.
// The text to show comes with each value: the read form where it writes the
// same bytes again, else the file's own text (the register reads a text back
// in another layout than it is written in, which the read form cannot undo).
using FillRow = std::function<void(FieldBase &, const QString &)>;
int load(QTableWidget &grid, const QString &path, const FillRow &fillRow);
// Checks the lines after the first; on success apply puts them into the grid
// as load does.
int parse(TableLines &lines, const QString &firstLine, QTableWidget &grid, const FillRow &fillRow,
          PendingLoad &apply);

} // namespace SettingsFile
