#include "gridpaste.h"

#include "progresstext.h"

#include <QCoreApplication>
#include <QTableWidget>

namespace GridPaste {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("GridPaste", text);
}

QString rowsAndColumns(int rows, int columns)
{
    return tr("%1 и %2").arg(ProgressText::counted(rows, "строка", "строки", "строк"),
                             ProgressText::counted(columns, "столбец", "столбца", "столбцов"));
}

bool isEditable(const QTableWidget &grid, const QTableWidgetItem *cell)
{
    return cell && (cell->flags() & Qt::ItemIsEditable) &&
           grid.editTriggers() != QAbstractItemView::NoEditTriggers;
}

} // namespace

Block parse(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    Block block;
    block.reserve(lines.size());
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        block.append(line.split(QLatin1Char('\t')));
    }
    return block;
}

QString refusal(const QTableWidget &grid, int row, int column, const Block &block)
{
    int columns = 0;
    for (const QStringList &cells : block)
        columns = qMax(columns, int(cells.size()));
    const int rowsLeft = grid.rowCount() - row;
    const int columnsLeft = grid.columnCount() - column;
    if (block.size() > rowsLeft || columns > columnsLeft)
        return tr("В буфере обмена %1, а от текущей ячейки помещается %2. Ничего не вставлено.")
            .arg(rowsAndColumns(block.size(), columns), rowsAndColumns(rowsLeft, columnsLeft));
    for (int r = 0; r < block.size(); ++r) {
        for (int c = 0; c < block[r].size(); ++c) {
            const QTableWidgetItem *cell = grid.item(row + r, column + c);
            if (isEditable(grid, cell) || (cell && cell->text() == block[r][c]))
                continue;
            const QTableWidgetItem *caption = grid.horizontalHeaderItem(column + c);
            return tr("Вставка изменила бы ячейку, которую нельзя править: строка %1, «%2». "
                      "Ничего не вставлено.")
                .arg(row + r + 1)
                .arg(caption ? caption->text() : QString::number(column + c + 1));
        }
    }
    return QString();
}

QString tableText(const QTableWidget &grid)
{
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < grid.columnCount(); ++column) {
        const QTableWidgetItem *caption = grid.horizontalHeaderItem(column);
        cells << (caption ? caption->text() : QString());
    }
    lines << cells.join(QLatin1Char('\t'));
    for (int row = 0; row < grid.rowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            cells << (cell ? cell->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace GridPaste
