#include "tablefilecheck.h"

#include "errorcode.h"
#include "fuzzsupport.h"
#include "memorytable.h"
#include "tablefile.h"

#include <QStringList>
#include <QTextCodec>

namespace TableFileCheck {

namespace {

// Every cell's width and text, row by row; "-" where there is no cell.
QStringList cells(const TableData &table)
{
    QStringList cells{QStringLiteral("%1x%2").arg(table.rowCount()).arg(table.columnCount())};
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            cells.append(table.hasCell(row, column) ? QString::number(table.width(row, column)) +
                                                          QLatin1Char(':') + table.text(row, column)
                                                    : QStringLiteral("-"));
        }
    }
    return cells;
}

} // namespace

void start()
{
    FuzzSupport::startQt();
    // Table files are written in the locale's encoding; the engineers' desktops use UTF-8.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void loadSaveLoad(int table, const QByteArray &file, const char *suffix)
{
    const QString loadedPath = FuzzSupport::scratchPath(QStringLiteral("loaded") + suffix);
    const QString savedPath = FuzzSupport::scratchPath(QStringLiteral("saved") + suffix);
    FuzzSupport::writeFile(loadedPath, file);
    MemoryTable loaded(table);
    if (TableFile::load(loaded, loadedPath) != ERR_OK)
        return;
    const int saved = TableFile::save(loaded, savedPath, TableFile::formatOf(table, savedPath));
    // A table with a cell missing or a text that would break the format is refused.
    FUZZ_CHECK(saved == ERR_OK || saved == ERR_INVALID_DATA);
    if (saved != ERR_OK)
        return;
    MemoryTable reloaded(table);
    FUZZ_CHECK(TableFile::load(reloaded, savedPath) == ERR_OK);
    FUZZ_CHECK(cells(reloaded) == cells(loaded));
}

} // namespace TableFileCheck
