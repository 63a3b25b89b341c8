// The goods database as an .xlsx workbook: 65,535 records saved and loaded
// back (read, checked whole, put into a table) three times each. Prints the
// file size, the best wall time of each, whether the loaded table holds the
// texts saved, and the peak memory of a load beside what the table itself
// holds: the process's resident set, its high-water mark reset before the
// load (/proc/self/clear_refs), against the growth of the resident set when
// the table was built. Targets: under 3 s each, and a peak under 2x the
// table's own. Run through scripts/bench.sh.

#include "errorcode.h"
#include "memorytable.h"
#include "tablecatalogue.h"
#include "tablefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <malloc.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int goodsRecords = 65535;
constexpr int runs = 3;

// A field of /proc/self/status, in kB.
qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Settled memory: what was freed is given back first.
qint64 residentKb()
{
    malloc_trim(0);
    return statusKb("VmRSS:");
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Barcodes, names and prices as a shop's price list has them.
void fillGoods(MemoryTable &table)
{
    const QVector<int> widths = TableCatalogue::goodsCsvFieldWidths();
    table.setRowCount(goodsRecords);
    for (int row = 0; row < goodsRecords; ++row) {
        const QStringList texts{QStringLiteral("ТОВАР %1 \"УПАКОВКА\" 0,5 Л").arg(row),
                                QString::number(4600000000000LL + row * 7),
                                QString::number(row % 5000 + 0.5),
                                QStringLiteral("1"),
                                QString::number(row % 6 + 1),
                                QString::number(row % 16 + 1),
                                QStringLiteral("0")};
        for (int column = 0; column < widths.size(); ++column)
            table.setCell(row, column, texts[column], widths[column]);
    }
}

bool sameTexts(const MemoryTable &a, const MemoryTable &b)
{
    if (a.rowCount() != b.rowCount())
        return false;
    for (int row = 0; row < a.rowCount(); ++row) {
        for (int column = 0; column < a.columnCount(); ++column) {
            if (a.text(row, column) != b.text(row, column))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("goods.xlsx"));

    const qint64 empty = residentKb();
    MemoryTable goods(1);
    fillGoods(goods);
    const qint64 tableKb = residentKb() - empty;

    qint64 bestSave = -1;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (TableFile::save(goods, path, TableFile::formatOf(1, path)) != ERR_OK) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        const qint64 elapsed = clock.elapsed();
        bestSave = bestSave < 0 ? elapsed : qMin(bestSave, elapsed);
    }

    qint64 bestLoad = -1;
    qint64 peakKb = 0;
    bool same = true;
    for (int run = 0; run < runs; ++run) {
        auto loaded = std::make_unique<MemoryTable>(1);
        const qint64 before = residentKb();
        resetPeak();
        QElapsedTimer clock;
        clock.start();
        const int result = TableFile::load(*loaded, path);
        const qint64 elapsed = clock.elapsed();
        peakKb = qMax(peakKb, statusKb("VmHWM:") - before);
        if (result != ERR_OK) {
            std::fprintf(stderr, "load failed: %d\n", result);
            return 1;
        }
        bestLoad = bestLoad < 0 ? elapsed : qMin(bestLoad, elapsed);
        same = same && sameTexts(goods, *loaded);
    }

    std::printf("records: %d, file: %lld bytes\n", goodsRecords, QFileInfo(path).size());
    std::printf("save: %lld ms (best of %d)\n", bestSave, runs);
    std::printf("load: %lld ms (best of %d), loaded texts equal: %s\n", bestLoad, runs,
                same ? "yes" : "NO");
    std::printf("table's own memory: %lld kB; peak of a load above its start: %lld kB (%.2fx)\n",
                tableKb, peakKb, tableKb > 0 ? double(peakKb) / double(tableKb) : 0.0);
    return same ? 0 : 1;
}
