// The exchanges' journal and its dock with a full goods database in the built-in register. Prints
// what adding a record to the journal costs; what recording adds to an exchange, from field reads
// of every goods record with the journal and without, interleaved in small blocks; the read of
// 65,535 records as the read button does it with no observer, with the window's journal and its
// dock closed, and with the dock open and following (best of two each), and the dock's catch-ups
// and repaints per second while open; how long the dock's filters take on 100,000 rows; and the
// memory of a journal given 1,000,000 records against one given 100,000. The real log handler
// writes every line. Targets: at most 2 us per exchange for recording with the dock closed, at
// most 10 catch-ups a second while open, the memory of 100,000 records however many come. Run
// through scripts/bench.sh.

#include "benchlog.h"
#include "driverregistration.h"
#include "exchangejournal.h"
#include "fieldtypes.h"
#include "protocolpelto.h"
#include "qmytable1widget.h"
#include "trafficdock.h"
#include "trafficfilter.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QTableView>

#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

constexpr int goodsRecords = 65535;
constexpr int manyRecords = 1000000;

const PortInfo builtInPort(QStringLiteral("EMU1"), QString(),
                           QLatin1String(builtInRegisterLocation));

double processSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

// The resident memory now, which unlike the peak also falls.
double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// As the protocol makes it for a goods record read: its own request and answer bytes.
ExchangeRecord goodsRead(int number, const QString &port)
{
    ExchangeRecord record;
    record.startedMs = 1765000000000 + number;
    record.durationUs = 40;
    record.kind = ExchangeRecord::Kind::ReadRecord;
    record.table = 1;
    record.row = quint16(number);
    record.port = port;
    record.request = QByteArray::fromHex("4601000000") + char(number);
    record.answer = QByteArray(84, char(number));
    return record;
}

void journalAppend()
{
    const QString port = QStringLiteral("/dev/ttyUSB0");
    const ExchangeRecord record = goodsRead(1, port);
    ExchangeJournal journal;
    const double start = processSeconds();
    for (int count = 0; count < manyRecords; ++count)
        journal.exchanged(record);
    std::printf("journal: %.3f us CPU per record added (1,000,000 records)\n",
                (processSeconds() - start) * 1e6 / manyRecords);
}

void journalMemory()
{
    const QString port = QStringLiteral("/dev/ttyUSB0");
    const double before = residentMegabytes();
    ExchangeJournal journal;
    for (int number = 0; number < ExchangeJournal::defaultCapacity; ++number)
        journal.exchanged(goodsRead(number, port));
    const double full = residentMegabytes() - before;
    for (int number = ExchangeJournal::defaultCapacity; number < manyRecords; ++number)
        journal.exchanged(goodsRead(number, port));
    const double many = residentMegabytes() - before;
    std::printf("journal memory: %.1f MB after 100,000 records (%.0f bytes each), %.1f MB after "
                "1,000,000, holding %d (target: no more than after 100,000)\n",
                full, full * 1048576.0 / ExchangeJournal::defaultCapacity, many, journal.size());
}

// Reads a field of every goods record in blocks of 1,000, each block twice, with the journal
// and without, the order turned from block to block: a slow spell of the machine falls on both
// alike, and what stays is what recording adds to an exchange.
void recordingCost()
{
    constexpr int blockSize = 1000;
    protocolPelto protocol;
    ExchangeJournal journal;
    protocol.openPort(builtInPort);
    double seconds[2] = {0, 0};
    int exchanges = 0;
    for (int first = 1; first + blockSize <= goodsRecords; first += blockSize) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool recorded = (turn + first / blockSize) % 2 == 1;
            protocol.setExchangeObserver(recorded ? &journal : nullptr);
            const double start = processSeconds();
            for (int row = first; row < first + blockSize; ++row)
                delete protocol.readField(FIELD_BCD, 1, row, 2);
            seconds[recorded] += processSeconds() - start;
        }
        exchanges += blockSize;
    }
    protocol.closePort();
    std::printf("field reads: %.2f us CPU per exchange unrecorded, %.2f us recorded: recording "
                "adds %.2f us (target: at most 2)\n",
                seconds[0] * 1e6 / exchanges, seconds[1] * 1e6 / exchanges,
                (seconds[1] - seconds[0]) * 1e6 / exchanges);
}

// Times the events delivered to the dock and everything in it (its timers, its view's paints),
// the outermost of them only: the time the open dock takes from the operation around it.
class DockTimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    QObject *dock = nullptr;
    double dockSeconds = 0;
    int viewPaints = 0;
    QObject *viewport = nullptr;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_inside || !dock || !isInDock(receiver))
            return QApplication::notify(receiver, event);
        viewPaints += receiver == viewport && event->type() == QEvent::Paint;
        m_inside = true;
        const double start = processSeconds();
        const bool result = QApplication::notify(receiver, event);
        dockSeconds += processSeconds() - start;
        m_inside = false;
        return result;
    }

private:
    bool isInDock(const QObject *object) const
    {
        for (; object; object = object->parent()) {
            if (object == dock)
                return true;
        }
        return false;
    }

    bool m_inside = false;
};

enum class Recording
{
    None,
    DockClosed,
    DockOpen
};

struct ReadCost
{
    double cpuSeconds = 0;
    qint64 exchanges = 0;
};

class Reads
{
public:
    explicit Reads(DockTimingApplication &application)
        : m_application(application), m_dock(new TrafficDock(&m_window))
    {
        m_editor = new QMyTable1Widget;
        m_window.setCentralWidget(m_editor);
        m_window.resize(1000, 800);
        m_dock->hide();
        m_window.show();
        m_view = m_dock->findChild<QTableView *>(QStringLiteral("trafficView"));
        m_application.dock = m_dock;
        m_application.viewport = m_view->viewport();
        QObject::connect(m_view->model(), &QAbstractItemModel::rowsInserted,
                         [this] { ++m_catchUps; });
        QApplication::processEvents();
    }

    ReadCost read(Recording recording)
    {
        m_protocol.setExchangeObserver(recording == Recording::None ? nullptr : &m_dock->journal());
        m_dock->setVisible(recording == Recording::DockOpen);
        QApplication::processEvents();
        const qint64 addedBefore = m_dock->journal().added();
        const int catchUpsBefore = m_catchUps;
        const int paintsBefore = m_application.viewPaints;
        const double dockBefore = m_application.dockSeconds;
        QElapsedTimer wall;
        wall.start();
        const double start = processSeconds();
        m_protocol.openPort(builtInPort);
        m_editor->setRowCount(0);
        const int result = m_editor->readTable(m_protocol);
        m_protocol.closePort();
        const ReadCost cost{processSeconds() - start, m_dock->journal().added() - addedBefore};
        const double seconds = wall.nsecsElapsed() / 1e9;
        static const char *const names[] = {"no observer", "dock closed", "dock open"};
        std::printf("read 65,535 records, %-11s result %d  %6.3f s wall  %6.3f s CPU",
                    names[int(recording)], result, seconds, cost.cpuSeconds);
        if (recording == Recording::DockOpen)
            std::printf("  dock: %.1f catch-ups/s, %.1f repaints/s, %.3f s CPU, %.2f us/exchange",
                        (m_catchUps - catchUpsBefore) / seconds,
                        (m_application.viewPaints - paintsBefore) / seconds,
                        m_application.dockSeconds - dockBefore,
                        (m_application.dockSeconds - dockBefore) * 1e6 / double(cost.exchanges));
        std::printf("\n");
        return cost;
    }

    // The time each filter takes on the rows the dock holds, caught up first.
    void filters()
    {
        // Shown again, it catches up at once.
        m_dock->hide();
        m_dock->show();
        auto *filter = qobject_cast<TrafficFilter *>(m_view->model());
        const auto timed = [&](const char *name, const std::function<void()> &change) {
            const double start = processSeconds();
            change();
            std::printf("filter %-34s %6.1f ms CPU, %6d of %d rows\n", name,
                        (processSeconds() - start) * 1e3, filter->rowCount(),
                        m_dock->journal().size());
        };
        timed("failures", [&] { filter->setScope(TrafficFilter::Scope::Problems); });
        timed("table 1", [&] { filter->setScope(TrafficFilter::Scope::Table, 1); });
        timed("all", [&] { filter->setScope(TrafficFilter::Scope::All); });
        for (const char *text : {"Данных больше нет", "Нет связи", "99:99", "12:"}) {
            const QByteArray name = QByteArray("text \"") + text + '"';
            timed(name.constData(), [&] { filter->setSearch(QString::fromUtf8(text), false); });
        }
        timed("text \"aa bb\", bytes shown",
              [&] { filter->setSearch(QStringLiteral("aa bb"), true); });
        timed("no text", [&] { filter->setSearch(QString(), false); });
    }

private:
    DockTimingApplication &m_application;
    QMainWindow m_window;
    TrafficDock *m_dock;
    QMyTable1Widget *m_editor;
    QTableView *m_view;
    int m_catchUps = 0;
    protocolPelto m_protocol;
};

} // namespace

int main(int argc, char *argv[])
{
    DockTimingApplication application(argc, argv);
    const auto log = BenchLog::open();
    if (!log)
        return 2;
    // First, while the heap is fresh.
    journalMemory();
    journalAppend();

    setBuiltInGoods(goodsRecords);
    registerDriverComponent();
    recordingCost();
    Reads reads(application);
    // Builds the full register once, outside the timed reads.
    reads.read(Recording::None);
    ReadCost best[3];
    for (ReadCost &cost : best)
        cost.cpuSeconds = 1e9;
    for (int round = 0; round < 2; ++round) {
        for (const Recording recording :
             {Recording::None, Recording::DockClosed, Recording::DockOpen}) {
            const ReadCost cost = reads.read(recording);
            ReadCost &kept = best[int(recording)];
            if (cost.cpuSeconds < kept.cpuSeconds)
                kept = cost;
        }
    }
    const qint64 exchanges = best[int(Recording::DockClosed)].exchanges;
    const auto added = [&](Recording recording) {
        return (best[int(recording)].cpuSeconds - best[int(Recording::None)].cpuSeconds) * 1e6 /
               double(exchanges);
    };
    std::printf("%lld exchanges a read; the whole read takes %+.2f us CPU per exchange more with "
                "the dock closed, %+.2f us with it open (best of two each; a whole read varies "
                "by more than that from run to run)\n",
                exchanges, added(Recording::DockClosed), added(Recording::DockOpen));
    reads.filters();
    return 0;
}
