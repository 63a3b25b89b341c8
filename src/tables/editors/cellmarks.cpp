#include "cellmarks.h"

#include <QTableWidgetItem>
#include <QVector>

namespace CellMarks {

namespace {

// Weights up to this one count as normal; the cell editor sets 50 or 75.
constexpr int heaviestUnchangedWeight = 57;

// The highlight's kind, with foundFlag added while a search has found the
// cell, and the text both were given for.
constexpr int highlightRole = Qt::UserRole + 1;
constexpr int highlightedTextRole = Qt::UserRole + 2;
constexpr int foundFlag = 0x100;

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

// The found cell's colour covers its highlight, which stays underneath.
const QBrush &validBackground(int marks)
{
    static const QBrush white{QColor(Qt::white)};
    static const QBrush mismatch{highlightColor(Highlight::WriteMismatch)};
    static const QBrush difference{highlightColor(Highlight::Difference)};
    static const QBrush found{foundColor()};
    if (marks & foundFlag)
        return found;
    switch (Highlight(marks)) {
    case Highlight::WriteMismatch:
        return mismatch;
    case Highlight::Difference:
        return difference;
    case Highlight::None:
        break;
    }
    return white;
}

const QBrush &invalidBackground()
{
    static const QBrush red{QColor(Qt::red)};
    return red;
}

int marksOf(const QTableWidgetItem &cell)
{
    return cell.data(highlightRole).toInt();
}

// The marks of the present text; the text first, so that a grid that reacts
// to the change finds them current. The red of an invalid cell stays.
void setMarks(QTableWidgetItem &cell, int marks)
{
    if (marks != 0)
        cell.setData(highlightedTextRole, cell.text());
    if (marksOf(cell) == marks)
        return;
    cell.setData(highlightRole, marks == 0 ? QVariant() : QVariant(marks));
    if (!isInvalid(cell))
        cell.setBackground(validBackground(marks));
}

bool marksCurrent(const QTableWidgetItem &cell)
{
    return cell.data(highlightedTextRole).toString() == cell.text();
}

} // namespace

QTableWidgetItem *copy(const QTableWidgetItem &cell)
{
    auto *copied = new QTableWidgetItem(cell.type());
    *copied = cell;
    return copied;
}

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

// Called on every change of the cell, and so the place where an edit ends its
// highlight. A cell without one costs a single look-up: a large load or read
// colours every cell, twice.
void setValidity(QTableWidgetItem &cell, bool valid)
{
    int marks = 0;
    const QVariant marked = cell.data(highlightRole);
    if (marked.isValid()) {
        if (marksCurrent(cell))
            marks = marked.toInt();
        else
            cell.setData(highlightRole, QVariant());
    }
    cell.setBackground(valid ? validBackground(marks) : invalidBackground());
}

bool isInvalid(const QTableWidgetItem &cell)
{
    return cell.background().color() == QColor(Qt::red);
}

void setHighlight(QTableWidgetItem &cell, Highlight kind)
{
    setMarks(cell, (marksOf(cell) & foundFlag) | int(kind));
}

Highlight highlight(const QTableWidgetItem &cell)
{
    return Highlight(marksOf(cell) & ~foundFlag);
}

bool isHighlighted(const QTableWidgetItem &cell, Highlight kind)
{
    return highlight(cell) == kind && marksCurrent(cell);
}

QColor highlightColor(Highlight kind)
{
    // Each apart from the red of invalid cells, the white of valid ones and
    // the other highlights.
    switch (kind) {
    case Highlight::WriteMismatch:
        return QColor(255, 170, 60); // orange
    case Highlight::Difference:
        return QColor(140, 190, 255); // light blue
    case Highlight::None:
        break;
    }
    return QColor(Qt::white);
}

void setFound(QTableWidgetItem &cell, bool found)
{
    setMarks(cell, (marksOf(cell) & ~foundFlag) | (found ? foundFlag : 0));
}

bool isFound(const QTableWidgetItem &cell)
{
    return (marksOf(cell) & foundFlag) != 0 && marksCurrent(cell);
}

QColor foundColor()
{
    return QColor(255, 240, 90); // yellow
}

} // namespace CellMarks
