#include "tablefilecheck.h"

#include "errorcode.h"
#include "fuzzsupport.h"
#include "qmytablewidget.h"

#include <QStringList>
#include <QTextCodec>

#include <memory>

namespace TableFileCheck {

namespace {

// Every cell's width and text, row by row; "-" where there is no cell.
QStringList cells(const QTableWidget &grid)
{
    QStringList cells{QStringLiteral("%1x%2").arg(grid.rowCount()).arg(grid.columnCount())};
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            const QTableWidgetItem *cell = grid.item(row, column);
            cells.append(cell ? QString::number(cell->type()) + QLatin1Char(':') + cell->text()
                              : QStringLiteral("-"));
        }
    }
    return cells;
}

} // namespace

void start()
{
    FuzzSupport::startQt(true);
    // Table files are written in the locale's encoding; the engineers' desktops use UTF-8.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void loadSaveLoad(const std::function<QMyTableWidget *()> &newEditor, const QByteArray &file,
                  const char *suffix)
{
    const QString loadedPath = FuzzSupport::scratchPath(QStringLiteral("loaded") + suffix);
    const QString savedPath = FuzzSupport::scratchPath(QStringLiteral("saved") + suffix);
    FuzzSupport::writeFile(loadedPath, file);
    const std::unique_ptr<QMyTableWidget> loaded(newEditor());
    if (loaded->loadFromFile(loadedPath) != ERR_OK)
        return;
    const int saved = loaded->saveToFile(savedPath);
    // A grid with a cell missing or a text that would break the format is refused.
    FUZZ_CHECK(saved == ERR_OK || saved == ERR_INVALID_DATA);
    if (saved != ERR_OK)
        return;
    const std::unique_ptr<QMyTableWidget> reloaded(newEditor());
    FUZZ_CHECK(reloaded->loadFromFile(savedPath) == ERR_OK);
    FUZZ_CHECK(cells(*reloaded) == cells(*loaded));
}

} // namespace TableFileCheck
