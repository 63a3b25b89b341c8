#pragma once

#include <QColor>

class QTableWidgetItem;

// The marks a grid cell carries besides its text: the font weight says
// whether the next write sends it, the background whether its text is valid.
namespace CellMarks {

constexpr int changedWeight = 75;
constexpr int unchangedWeight = 50;

bool isChanged(const QTableWidgetItem &cell);
void setWeight(QTableWidgetItem &cell, int weight);

void setValidity(QTableWidgetItem &cell, bool valid);
bool isInvalid(const QTableWidgetItem &cell);

} // namespace CellMarks
