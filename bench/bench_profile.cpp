// The profile of a register with a full goods database: every edited table read from the built-in
// register with 65,535 goods records, as a profile save reads them, then saved as one profile
// file and loaded (checked whole, then put into fresh editors) three times each. The real log
// handler writes every line. Prints the file size, the best wall time of the save, the check, the
// apply and the whole load, and whether the loaded tables hold the texts read. Targets: a save
// and a load in under 3 s each. Run through scripts/bench.sh.

#include "benchlog.h"
#include "driverregistration.h"
#include "errorcode.h"
#include "gridrollback.h"
#include "profilefile.h"
#include "protocolpelto.h"
#include "tablecatalogue.h"
#include "tableeditors.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int goodsRecords = 65535;
constexpr int goodsTable = 1;
constexpr int runs = 3;

using Editors = std::vector<std::unique_ptr<QMyTableWidget>>;

const PortInfo builtInPort(QStringLiteral("EMU1"), QString(),
                           QLatin1String(builtInRegisterLocation));

Editors freshEditors()
{
    Editors editors;
    for (int table : TableCatalogue::numbers())
        editors.emplace_back(createTableEditor(table));
    return editors;
}

// Every table of the register, as a profile save reads them.
int readAllTables(protocolPelto &protocol, Editors &editors, ProfileFile::Header &header)
{
    int result = protocol.openPort(builtInPort);
    if (result == ERR_OK)
        result = protocol.readDeviceInfo(&header.identification);
    for (const auto &editor : editors) {
        if (result == ERR_OK)
            result = editor->readTable(protocol);
    }
    protocol.closePort();
    return result;
}

bool sameTexts(const QTableWidget &one, const QTableWidget &other)
{
    if (one.rowCount() != other.rowCount() || one.columnCount() != other.columnCount())
        return false;
    for (int row = 0; row < one.rowCount(); ++row) {
        for (int column = 0; column < one.columnCount(); ++column) {
            const QTableWidgetItem *a = one.item(row, column);
            const QTableWidgetItem *b = other.item(row, column);
            if (!a != !b || (a && a->text() != b->text()))
                return false;
        }
    }
    return true;
}

double seconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

bool failed(const char *step, int result, const QString &problem = QString())
{
    if (result == ERR_OK)
        return false;
    std::fprintf(stderr, "%s: result %d %s\n", step, result, qPrintable(problem));
    return true;
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
    Editors source = freshEditors();
    ProfileFile::Header header;
    QElapsedTimer timer;
    timer.start();
    if (failed("read", readAllTables(protocol, source, header)))
        return 1;
    header.saved = QDateTime::currentDateTime();
    std::printf("read of every table (setup): %.3f s; rows:", seconds(timer));
    QList<const TableData *> saved;
    for (const auto &editor : source) {
        saved << &editor->data();
        std::printf(" [%d] %d", editor->tableNumber(), editor->rowCount());
    }
    std::printf("\n");
    if (source.front()->tableNumber() != goodsTable || source.front()->rowCount() != goodsRecords) {
        std::fprintf(stderr, "the goods table was not read whole\n");
        return 1;
    }

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("register.prf"));
    double save = 1e9, check = 1e9, apply = 1e9, load = 1e9;
    bool equal = true;
    int loadedGoods = 0;
    // Alternated, so that a slow spell of the machine does not fall on one kind only.
    for (int run = 0; run < runs; ++run) {
        timer.restart();
        if (failed("save", ProfileFile::save(path, header, saved)))
            return 1;
        const double saveTime = seconds(timer);

        // Built before the clock starts: the window's editors exist before a load.
        Editors loaded = freshEditors();
        QMap<int, QMyTableWidget *> byTable;
        for (const auto &editor : loaded)
            byTable.insert(editor->tableNumber(), editor.get());
        ProfileFile::Checked checked;
        QString problem;
        const qint64 linesBefore = BenchLog::lines();
        timer.restart();
        const auto dataOf = [&byTable](int table) -> TableData * {
            QMyTableWidget *editor = byTable.value(table);
            return editor ? &editor->data() : nullptr;
        };
        const int result = ProfileFile::check(path, dataOf, checked, problem);
        const double checkTime = seconds(timer);
        if (failed("check", result, problem))
            return 1;
        timer.restart();
        for (const auto &[table, pending] : qAsConst(checked.tables))
            byTable.value(table->tableNumber())->applyLoad(pending);
        for (const auto &[table, pending] : qAsConst(checked.tables))
            byTable.value(table->tableNumber())->settleLoad();
        const double applyTime = seconds(timer);
        save = qMin(save, saveTime);
        check = qMin(check, checkTime);
        apply = qMin(apply, applyTime);
        load = qMin(load, checkTime + applyTime);
        std::printf("run %d: save %.3f s, check %.3f s, apply %.3f s, log lines of the load %lld\n",
                    run + 1, saveTime, checkTime, applyTime, BenchLog::lines() - linesBefore);
        for (std::size_t index = 0; index < source.size(); ++index)
            equal = equal && sameTexts(*source[index], *loaded[index]);
        loadedGoods = loaded.front()->rowCount();
        equal = equal && loadedGoods == goodsRecords &&
                checked.header.identification == header.identification;
    }
    std::printf("profile file: %.2f MB (%lld bytes)\n", QFileInfo(path).size() / 1e6,
                QFileInfo(path).size());
    std::printf("best of %d, wall: save %.3f s, check %.3f s, apply %.3f s, load (check + apply) "
                "%.3f s (targets: save and load under 3 s each)\n",
                runs, save, check, apply, load);
    std::printf("loaded goods rows: %d; equal: %s\n", loadedGoods, equal ? "yes" : "no");
    return equal ? 0 : 1;
}
