#pragma once

#include <QString>

#include <functional>

class FieldBase;
class QTableWidget;

// The settings file of table 2: "2" on line 1, then one line per grid row:
// field number, TAB, type code, TAB, width, TAB, value text. The grid is that
// of the settings editor: columns field, type and value, one row per field.
namespace SettingsFile {

int save(const QTableWidget &grid, const QString &path);
// All or nothing: the grid changes only when the whole file is good; then
// fillRow shows each value in the grid row of its field, as a read does.
int load(QTableWidget &grid, const QString &path, const std::function<void(FieldBase &)> &fillRow);

} // namespace SettingsFile
