// The goods editor with a full database: reads 65,535 records from the built-in register through
// the protocol as the read button does, twice without and twice with the progress shown in the
// status bar's panel, writes 1,000 edited prices back, twice without and twice with the check
// that reads them back, then saves and loads the table as CSV and as a tab-separated file, and
// loads it as the window does, shown and with the progress in the panel: into an empty grid, over
// other values, and stopped halfway, which puts the grid back; then once more over other values,
// kept as a step, which it undoes and redoes; pastes 10,000 rows and undoes that. The real log
// handler writes every line. Prints the program's time per record read (the built-in register's
// share included), what the progress adds to it, what the check adds to a write, the other times,
// the log volume and the peak memory. Targets: building the register's full goods table in under 1
// s, at most 100 us per record read, at most 2 us per record for the progress, a checked write at
// most 2.2 times the plain one, 256 MB peak before the load over other values (which holds the
// items it replaces until it is done, a second table's worth), 2 s per file save or load, 1 s per
// undo or redo of the full load, 1 s for the paste and for its undo. Run through scripts/bench.sh.

#include "benchlog.h"
#include "cellmarks.h"
#include "driverregistration.h"
#include "gridhistory.h"
#include "operationprogress.h"
#include "priceupdate.h"
#include "progresspanel.h"
#include "protocolpelto.h"
#include "qmytable1widget.h"
#include "tableoperations.h"
#include "writecheck.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr int goodsRecords = 65535;
constexpr int editedCells = 1000;
constexpr int priceColumn = 2;
constexpr int pastedRows = 10000;

const PortInfo builtInPort(QStringLiteral("EMU1"), QString(),
                           QLatin1String(builtInRegisterLocation));

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double processSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

// Wall and CPU time and log volume of one step.
class Step
{
public:
    explicit Step(const char *name)
        : m_name(name), m_cpu(processSeconds()), m_lines(BenchLog::lines()),
          m_bytes(BenchLog::bytes())
    {
        m_wall.start();
    }
    double cpuSeconds() const { return processSeconds() - m_cpu; }
    // Prints the step's line; returns its CPU seconds.
    double report(int result, int perRecord = 0) const
    {
        const double wall = m_wall.nsecsElapsed() / 1e9;
        const double cpu = cpuSeconds();
        std::printf("%-34s result %4d  %7.3f s wall  %7.3f s CPU", m_name, result, wall, cpu);
        if (perRecord > 0)
            std::printf("  %6.1f us CPU/record", cpu * 1e6 / perRecord);
        std::printf("  log %8lld lines %6.1f MB\n", BenchLog::lines() - m_lines,
                    double(BenchLog::bytes() - m_bytes) / 1e6);
        return cpu;
    }

private:
    const char *m_name;
    QElapsedTimer m_wall;
    double m_cpu;
    qint64 m_lines;
    qint64 m_bytes;
};

void editPrices(QMyTable1Widget &editor)
{
    const int step = editor.rowCount() / editedCells;
    for (int edit = 0; edit < editedCells; ++edit) {
        QTableWidgetItem *cell = editor.item(edit * step, priceColumn);
        cell->setText(QStringLiteral("%1.99").arg(edit + 1));
        CellMarks::setWeight(*cell, CellMarks::changedWeight);
    }
}

// Writes the edited prices as the write button does, reading them back after
// when checked; returns the CPU seconds.
double writePrices(QMyTable1Widget &editor, protocolPelto &protocol, OperationProgress &progress,
                   bool checked)
{
    editPrices(editor);
    Step step(checked ? "write 1,000 edited prices, checked" : "write 1,000 edited prices");
    WriteCheck check(editor.data());
    protocol.openPort(builtInPort);
    int result =
        TableOperations::writeTable(protocol, editor.data(), checked ? &check : nullptr, &progress);
    if (checked && result == 0)
        result = check.run(protocol, &progress);
    protocol.closePort();
    return step.report(result);
}

void save(QMyTable1Widget &editor, const QString &path, const char *format)
{
    const QByteArray save = QByteArray("save ") + format;
    const QByteArray same = QByteArray("load ") + format + " into the same grid";
    {
        Step step(save.constData());
        step.report(editor.saveToFile(path));
    }
    Step step(same.constData());
    step.report(editor.loadFromFile(path));
}

// Into an empty grid every cell is new: the slowest load.
void loadIntoEmptyGrid(const QString &path, const char *format)
{
    const QByteArray fresh = QByteArray("load ") + format + " into an empty grid";
    QMyTable1Widget empty;
    Step step(fresh.constData());
    step.report(empty.loadFromFile(path));
}

// The tab-separated file with every value changed: a "1" after each.
QString otherValues(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray text = file.readAll().replace('\n', "1\n");
    text.replace(0, text.indexOf('\n') + 1, "1\n");
    const QString other = path + QStringLiteral(".other.txt");
    QFile out(other);
    out.open(QIODevice::WriteOnly);
    out.write(text);
    return other;
}

// Loads as the window runs them, shown and with the progress in the panel;
// stopHalfway asks to stop once half the records are in the grid.
int loadShown(QMyTable1Widget &editor, ProgressPanel &panel, OperationProgress &progress,
              const QString &path, const char *name, bool stopHalfway = false)
{
    const QMetaObject::Connection halfway =
        QObject::connect(&progress, &OperationProgress::changed, [&progress, stopHalfway] {
            if (stopHalfway &&
                progress.runningText(ProgressText::Work::RecordsLoaded).startsWith("Записи") &&
                progress.done() * 2 >= progress.total())
                progress.requestCancel();
        });
    Step step(name);
    panel.start(ProgressText::Work::RecordsLoaded, QFileInfo(path).size(), true);
    const int result = editor.loadFromFile(path);
    panel.finish(editor.rowCount(), result);
    step.report(result);
    QObject::disconnect(halfway);
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const auto log = BenchLog::open();
    if (!log)
        return 2;
    setBuiltInGoods(goodsRecords);
    registerDriverComponent();

    protocolPelto protocol;
    auto editor = std::make_unique<QMyTable1Widget>();
    // Shown, as on its tab of the main window, so that the event points repaint it.
    editor->resize(1000, 600);
    editor->show();
    QApplication::processEvents();
    {
        Step step("open (builds the full register)");
        step.report(protocol.openPort(builtInPort));
    }
    protocol.closePort();
    // The progress as the main window shows it: the panel in a status bar beside the grid.
    OperationProgress progress;
    QWidget statusBar;
    ProgressPanel panel(progress, &statusBar);
    statusBar.show();
    // Alternated, so that a slow spell of the machine does not fall on one kind only.
    double plain = 1e9;
    double shown = 1e9;
    for (int round = 0; round < 2; ++round) {
        for (const bool withProgress : {false, true}) {
            Step step(withProgress ? "read 65,535 records, progress shown" : "read 65,535 records");
            editor->setOperationProgress(withProgress ? &progress : nullptr);
            if (withProgress)
                panel.start(ProgressText::Work::RecordsRead, -1, true);
            protocol.openPort(builtInPort);
            editor->setRowCount(0);
            const int result = editor->readTable(protocol);
            protocol.closePort();
            if (withProgress)
                panel.finish(editor->rowCount(), result);
            double &best = withProgress ? shown : plain;
            best = qMin(best, step.report(result, goodsRecords));
        }
    }
    std::printf("progress adds %.2f us CPU per record (best of two each; target: at most 2)\n",
                (shown - plain) * 1e6 / goodsRecords);
    std::printf("peak memory with the full database in the grid: %.1f MB\n", peakMegabytes());
    // As the read: alternated, best of two each, with the progress as the window has it.
    double unchecked = 1e9;
    double checked = 1e9;
    for (int round = 0; round < 2; ++round) {
        for (const bool withCheck : {false, true}) {
            double &best = withCheck ? checked : unchecked;
            best = qMin(best, writePrices(*editor, protocol, progress, withCheck));
        }
    }
    std::printf("write of 1,000 prices: %.3f s CPU plain, %.3f s checked, ratio %.2f (best of two "
                "each; target: at most 2.2)\n",
                unchecked, checked, checked / unchecked);

    QTemporaryDir directory;
    const QString csvPath = directory.filePath(QStringLiteral("goods.csv"));
    const QString textPath = directory.filePath(QStringLiteral("goods.txt"));
    save(*editor, csvPath, "CSV");
    save(*editor, textPath, "tab-separated");
    const int rows = editor->rowCount();
    editor.reset();
    loadIntoEmptyGrid(csvPath, "CSV");
    loadIntoEmptyGrid(textPath, "tab-separated");

    std::printf("peak memory before the loads as the window does them: %.1f MB\n", peakMegabytes());
    // In the window: into an empty grid, over other values (a stop would
    // have to put back every cell), and stopped halfway, all put back.
    QMyTable1Widget grid;
    grid.resize(1000, 600);
    grid.show();
    grid.setOperationProgress(&progress);
    loadShown(grid, panel, progress, textPath,
              "load tab-separated into an empty grid, progress shown");
    const QStringList loaded{grid.item(0, 1)->text(), grid.item(rows - 1, 1)->text()};
    loadShown(grid, panel, progress, otherValues(textPath),
              "load tab-separated over other values, progress shown");
    const QStringList other{grid.item(0, 1)->text(), grid.item(rows - 1, 1)->text()};
    loadShown(grid, panel, progress, textPath,
              "load tab-separated over other values, stopped halfway", true);
    const QStringList afterStop{grid.item(0, 1)->text(), grid.item(rows - 1, 1)->text()};
    std::printf("the stopped load left the grid as it was: %s\n",
                afterStop == other && other != loaded ? "yes" : "no");

    // Kept to undo, the load holds what it replaced, as a stopped one does until it stops.
    GridHistory history;
    grid.setHistory(&history);
    loadShown(grid, panel, progress, textPath, "load tab-separated, kept to undo");
    {
        Step step("undo the full load");
        history.undo();
        step.report(0);
    }
    const QStringList undone{grid.item(0, 1)->text(), grid.item(rows - 1, 1)->text()};
    {
        Step step("redo the full load");
        history.redo();
        step.report(0);
    }
    const QStringList redone{grid.item(0, 1)->text(), grid.item(rows - 1, 1)->text()};
    std::printf("the undo put the grid back, the redo loaded it again: %s\n",
                undone == other && redone == loaded && grid.rowCount() == rows ? "yes" : "no");

    // Pasted as from a spreadsheet: the first three columns of 10,000 goods.
    QString block;
    for (int row = 0; row < pastedRows; ++row)
        block += QStringLiteral("Вставлено %1\t%2\t3\n").arg(row).arg(row + 100);
    grid.setCurrentCell(0, 0);
    {
        Step step("paste 10,000 rows x 3 columns");
        const QString refusal = grid.paste(block);
        step.report(refusal.isEmpty() ? 0 : 1);
    }
    const QString pasted = grid.item(pastedRows - 1, 0)->text();
    {
        Step step("undo the paste");
        history.undo();
        step.report(0);
    }
    std::printf("the paste went in, the undo took it back: %s\n",
                pasted == QStringLiteral("Вставлено %1").arg(pastedRows - 1) &&
                        grid.item(pastedRows - 1, 0)->text() != pasted
                    ? "yes"
                    : "no");

    // A price list of every barcode with a new price, planned and applied as
    // one step, as "Обновить по штрихкодам..." does.
    const QString pricesPath = directory.filePath(QStringLiteral("prices.csv"));
    {
        QFile prices(pricesPath);
        prices.open(QIODevice::WriteOnly);
        QTextStream out(&prices);
        out << "Barcode;Price\n";
        for (int row = 0; row < grid.rowCount(); ++row)
            out << grid.item(row, 1)->text() << ';' << row % 1000 << ",25\n";
    }
    double updateSeconds = 0;
    SheetRows priceRows;
    {
        Step step("read a price list of 65,535 prices");
        QString why;
        const int result = PriceList::read(pricesPath, priceRows, why);
        updateSeconds += step.report(result);
    }
    std::unique_ptr<PriceUpdate> update;
    {
        Step step("plan 65,535 prices by barcode");
        update = std::make_unique<PriceUpdate>(grid.data(), priceRows,
                                               PriceList::findColumns(priceRows), false);
        updateSeconds += step.report(update->changes().size() == rows ? 0 : 1);
    }
    {
        Step step("apply them to the grid, one step");
        QVector<CellText> texts;
        for (const PriceChange &change : update->changes())
            texts.append({change.record, change.column, change.after});
        grid.putTexts(texts, update->stepName());
        updateSeconds += step.report(0);
    }
    std::printf("update of 65,535 prices by barcode: %.3f s CPU (target: under 1)\n",
                updateSeconds);
    {
        Step step("undo the update");
        history.undo();
        step.report(0);
    }

    std::printf("rows %d; log in all %lld lines, %.1f MB; peak memory %.1f MB\n", rows,
                BenchLog::lines(), double(BenchLog::bytes()) / 1e6, peakMegabytes());
    return 0;
}
