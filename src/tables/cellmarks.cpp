#include "cellmarks.h"

#include <QTableWidgetItem>
#include <QVector>

namespace CellMarks {

namespace {

// Weights up to this one count as normal; the cell editor sets 50 or 75.
constexpr int heaviestUnchangedWeight = 57;

// Cells with the same font or colour share one copy of it: a copy of its own
// per cell would make up a good part of a large table's memory.
QFont sharedFont(const QFont &font)
{
    static QVector<QFont> fonts;
    for (const QFont &known : qAsConst(fonts)) {
        if (known == font && known.resolve() == font.resolve())
            return known;
    }
    fonts.append(font);
    return font;
}

const QBrush &validBackground()
{
    static const QBrush white{QColor(Qt::white)};
    return white;
}

const QBrush &invalidBackground()
{
    static const QBrush red{QColor(Qt::red)};
    return red;
}

} // namespace

bool isChanged(const QTableWidgetItem &cell)
{
    return cell.font().weight() > heaviestUnchangedWeight;
}

void setWeight(QTableWidgetItem &cell, int weight)
{
    QFont font = cell.font();
    font.setWeight(weight);
    cell.setFont(sharedFont(font));
}

void setValidity(QTableWidgetItem &cell, bool valid)
{
    cell.setBackground(valid ? validBackground() : invalidBackground());
}

bool isInvalid(const QTableWidgetItem &cell)
{
    return cell.background().color() == QColor(Qt::red);
}

} // namespace CellMarks
