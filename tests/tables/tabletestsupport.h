#pragma once

#include "scriptedprotocol.h"

#include <QString>

#include <memory>

class QMyTableWidget;
class QTableWidget;

// The editor of a logical table number, as the main window builds it.
std::unique_ptr<QMyTableWidget> makeEditor(int table);

// A register table of `count` rows in the field layout of a logical table,
// with distinct valid texts (Cyrillic in the string fields).
QVector<QVector<ScriptedProtocol::Cell>> sampleRows(int table, int count);

// The grid as text: cells joined by ",", rows by "|", a missing cell as "~".
QString gridText(const QTableWidget &grid);
// The cells marked changed, as "row/column" from 0, joined by ",".
QString changedCells(const QTableWidget &grid);

// Writes a whole file; false when it cannot be written.
bool writeFile(const QString &path, const QByteArray &bytes);
// A whole file, or nothing when it cannot be read.
QByteArray readFile(const QString &path);
