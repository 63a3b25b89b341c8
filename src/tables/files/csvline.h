#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// A line of a CSV file, as spreadsheets write it or as a plain file holds it.
namespace CsvLine {

// A text formula ="…", the way spreadsheets keep a number as text.
bool isTextFormula(const QString &value);
// A text formula taken as its text, bare or quoted as a CSV field with its
// quotes doubled, as a spreadsheet may write it again; any other value with
// one quote taken from either end.
QString fieldValue(const QString &field);
// The values of a line: as spreadsheets write it when each of its quoted
// values is closed by a quote before a separator or the line's end, its
// quotes inside doubled; any other line split at every separator, each value
// as fieldValue takes it.
QStringList fields(const QString &line, QChar separator);

} // namespace CsvLine
