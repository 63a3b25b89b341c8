#pragma once

#include "tabledata.h"

#include <QColor>

class QTableWidgetItem;

// The looks of a grid cell's marks: the font weight says whether the next
// write sends it, the background whether its text is valid and, for a valid
// one, which highlight it carries, if any, or that a search found it.
namespace CellMarks {

constexpr int changedWeight = 75;
constexpr int unchangedWeight = 50;

// A new item with the cell's text, width, marks and flags: clone() would
// drop the width, which is the item's type.
QTableWidgetItem *copy(const QTableWidgetItem &cell);

bool isChanged(const QTableWidgetItem &cell);
void setWeight(QTableWidgetItem &cell, int weight);

// Colours the cell red when invalid; otherwise in its highlight's colour, or
// white without one. A highlight whose text has been edited since is dropped.
void setValidity(QTableWidgetItem &cell, bool valid);
bool isInvalid(const QTableWidgetItem &cell);

using Highlight = CellHighlight;

// Highlights the cell's present text: the mark goes when the text changes.
void setHighlight(QTableWidgetItem &cell, Highlight kind);
Highlight highlight(const QTableWidgetItem &cell);
// Whether the cell carries that highlight for its present text: true to an
// edit even before the grid has reacted to it.
bool isHighlighted(const QTableWidgetItem &cell, Highlight kind);
QColor highlightColor(Highlight kind);
// The cell a search found, in a colour of its own over its highlight, which
// stays; not over the red of an invalid cell. The mark goes when the text
// changes, and counts as no highlight.
void setFound(QTableWidgetItem &cell, bool found);
bool isFound(const QTableWidgetItem &cell);
QColor foundColor();

} // namespace CellMarks
