// The whole serial line: the host's HostExchange against the register's
// RegisterResponder over an in-memory line that loses, damages, cuts short,
// delays and repeats writes as the input says. Every request runs at most once
// at the register, every answer the host takes is the true one, and once the
// faults stop and the line has been quiet for a while, an exchange succeeds.
//
// Both ends block in reads, so each has a thread, but only one runs at a time:
// a read that finds nothing hands over to the other end, and when both wait,
// the clock jumps to the earlier wake-up. The framing times everything with
// Qt's timers on CLOCK_MONOTONIC, which this program answers from a fake clock
// on those two threads, so no run waits in real time.
//
// Input: a header byte (request count in bits 0-1, line rate in bits 2-3),
// then per request a timeout byte, a length byte and that many bytes; the rest
// scripts the faults, a byte or three per write, and once it is used up the
// line is faultless.

#include "byteline.h"
#include "framelink.h"
#include "fuzzsupport.h"
#include "hostexchange.h"
#include "registerresponder.h"

#include <QHash>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

thread_local bool onFakeClock = false;
std::atomic<qint64> fakeNowMs{1000000};

} // namespace

// Qt's timers read the clock here; the simulated ends get the fake one.
extern "C" int clock_gettime(clockid_t clock, struct timespec *time) noexcept
{
    if (onFakeClock && clock == CLOCK_MONOTONIC) {
        const qint64 nowMs = fakeNowMs.load();
        time->tv_sec = nowMs / 1000;
        time->tv_nsec = long(nowMs % 1000) * 1000000;
        return 0;
    }
    return int(syscall(SYS_clock_gettime, clock, time));
}

namespace {

constexpr qint64 Never = std::numeric_limits<qint64>::max();
constexpr int baudRates[] = {0, 115200, 9600, 2400};
constexpr int timeoutsMs[] = {0, 50, 1000, 5000};
constexpr qint64 delaysMs[] = {0, 1, 30, 120};
// Longer than the register's resends of an answer take at the slowest rate.
constexpr int QuietMs = 60000;
constexpr int FinalTimeoutMs = 5000;

enum End
{
    Host = 0,
    Register = 1,
};

struct Delivery
{
    QByteArray bytes;
    qint64 delayMs = 0;
};

// What the line does to each write, as the input says; faultless once the
// input is used up, since a zero byte means an intact write without delay.
class FaultScript
{
public:
    FaultScript(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    void stop() { m_at = m_size; }

    QVector<Delivery> apply(const QByteArray &bytes)
    {
        const quint8 fault = next();
        const qint64 delayMs = delaysMs[(fault >> 4) & 3];
        QVector<Delivery> deliveries;
        switch (fault & 7) {
        case 4: // lost
            break;
        case 5: { // one byte changed
            QByteArray changed = bytes;
            const int at = next() % bytes.size();
            changed[at] = char(changed[at] ^ (1 + next() % 255));
            deliveries.append({changed, delayMs});
            break;
        }
        case 6: // cut short
            deliveries.append({bytes.left(next() % bytes.size()), delayMs});
            break;
        case 7: { // the rest comes later
            const int split = next() % bytes.size();
            deliveries.append({bytes.left(split), delayMs});
            deliveries.append({bytes.mid(split), delayMs + next()});
            break;
        }
        default:
            deliveries.append({bytes, delayMs});
        }
        if (fault & 8)
            deliveries += deliveries;
        return deliveries;
    }

private:
    quint8 next() { return m_at < m_size ? m_data[m_at++] : 0; }

    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// Both directions of the line, the turn between the two ends and the clock.
class SimulatedLine
{
public:
    explicit SimulatedLine(FaultScript &faults) : m_faults(faults)
    {
        // The register's thread starts by waiting for its first turn.
        m_ends[Register].waiting = true;
    }

    void write(End from, const QByteArray &bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        EndState &to = m_ends[1 - from];
        for (const Delivery &delivery : m_faults.apply(bytes)) {
            if (delivery.bytes.isEmpty())
                continue;
            qint64 atMs = fakeNowMs + delivery.delayMs;
            if (!to.inbox.empty())
                atMs = qMax(atMs, to.inbox.back().atMs); // the line keeps the order
            to.inbox.push_back({atMs, delivery.bytes});
        }
    }

    QByteArray read(End end, int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        EndState &self = m_ends[end];
        const qint64 wakeMs = timeoutMs < 0 ? Never : fakeNowMs + timeoutMs;
        for (;;) {
            const QByteArray arrived = self.takeArrived();
            if (!arrived.isEmpty() || fakeNowMs >= wakeMs)
                return arrived;
            if (m_stopped) {
                // The host is gone: the register finishes what it was doing.
                if (wakeMs == Never)
                    return {};
                fakeNowMs = wakeMs;
                continue;
            }
            self.wakeMs = wakeMs;
            self.waiting = true;
            waitForTurn(lock, end);
            self.waiting = false;
        }
    }

    // Lets the clock run for a while with the host not reading.
    void pass(int ms)
    {
        const qint64 untilMs = fakeNowMs + ms;
        while (fakeNowMs < untilMs)
            read(Host, int(untilMs - fakeNowMs));
    }

    void awaitFirstTurn()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_turnChanged.wait(lock, [this] { return m_turn == Register; });
        m_ends[Register].waiting = false;
    }

    // From now on the register's reads return at once.
    void stop()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
        m_turn = Register;
        m_turnChanged.notify_all();
    }

    bool stopped()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_stopped;
    }

private:
    struct Arrival
    {
        qint64 atMs;
        QByteArray bytes;
    };

    struct EndState
    {
        std::deque<Arrival> inbox;
        qint64 wakeMs = Never;
        bool waiting = false;

        qint64 nextEventMs() const
        {
            return inbox.empty() ? wakeMs : qMin(wakeMs, inbox.front().atMs);
        }
        bool ready() const { return nextEventMs() <= fakeNowMs; }
        QByteArray takeArrived()
        {
            QByteArray bytes;
            while (!inbox.empty() && inbox.front().atMs <= fakeNowMs) {
                bytes += inbox.front().bytes;
                inbox.pop_front();
            }
            return bytes;
        }
    };

    // Hands the turn to the other end while it has something to do, and moves
    // the clock on when neither has; returns when this end can go on.
    void waitForTurn(std::unique_lock<std::mutex> &lock, End end)
    {
        EndState &self = m_ends[end];
        EndState &other = m_ends[1 - end];
        for (;;) {
            if (other.waiting && other.ready()) {
                m_turn = End(1 - end);
                m_turnChanged.notify_all();
                m_turnChanged.wait(lock, [this, end] { return m_turn == end; });
                return;
            }
            if (self.ready())
                return;
            const qint64 nextMs =
                qMin(self.nextEventMs(), other.waiting ? other.nextEventMs() : Never);
            // The host always waits with a deadline, so the two never wait for ever.
            FUZZ_CHECK(nextMs != Never);
            fakeNowMs = nextMs;
        }
    }

    FaultScript &m_faults;
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    End m_turn = Host;
    EndState m_ends[2];
    bool m_stopped = false;
};

class SimulatedEnd : public ByteLine
{
public:
    SimulatedEnd(SimulatedLine &line, End end) : m_line(line), m_end(end) {}

    bool write(const QByteArray &bytes) override
    {
        m_line.write(m_end, bytes);
        return true;
    }
    QByteArray read(int timeoutMs) override { return m_line.read(m_end, timeoutMs); }

private:
    SimulatedLine &m_line;
    End m_end;
};

// The register's answer to a request: made from its bytes and as long as its
// second byte says, so that answers of every size up to the largest travel.
QByteArray trueAnswer(const QByteArray &request)
{
    const int size =
        request.size() > 1 ? qMin((quint8(request[1]) + 1) * 4, SerialFrame::MaxPayload) : 0;
    QByteArray answer(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        answer[i] = char(request[i % request.size()] + i);
    return answer;
}

struct Request
{
    QByteArray bytes; // led by its number, so that no two are alike
    int timeoutMs = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int requestCount = 1 + (data[0] & 3);
    const int baudRate = baudRates[(data[0] >> 2) & 3];
    size_t at = 1;
    QVector<Request> requests;
    for (int i = 0; i < requestCount && at + 2 <= size; ++i) {
        const size_t length = qMin<size_t>(data[at + 1], size - at - 2);
        requests.append(
            {char(i) + QByteArray(reinterpret_cast<const char *>(data + at + 2), int(length)),
             timeoutsMs[data[at] & 3]});
        at += 2 + length;
    }

    onFakeClock = true;
    FaultScript faults(data + at, size - at);
    SimulatedLine line(faults);
    SimulatedEnd hostEnd(line, Host);
    SimulatedEnd registerEnd(line, Register);
    FrameLink hostLink(hostEnd, baudRate);
    FrameLink registerLink(registerEnd, baudRate);
    QHash<QByteArray, int> executions;
    RegisterResponder responder(registerLink, [&executions](const QByteArray &request) {
        ++executions[request];
        return trueAnswer(request);
    });
    std::thread registerThread([&] {
        onFakeClock = true;
        line.awaitFirstTurn();
        while (!line.stopped())
            responder.serveNext();
    });

    HostExchange host(hostLink);
    for (const Request &request : requests) {
        QByteArray answer;
        if (host.exchange(request.bytes, answer, request.timeoutMs))
            FUZZ_CHECK(answer == trueAnswer(request.bytes));
    }
    faults.stop();
    line.pass(QuietMs);
    const QByteArray last = char(requestCount) + QByteArray("last");
    QByteArray answer;
    FUZZ_CHECK(host.exchange(last, answer, FinalTimeoutMs));
    FUZZ_CHECK(answer == trueAnswer(last));

    line.stop();
    registerThread.join();
    onFakeClock = false;
    for (const int count : qAsConst(executions))
        FUZZ_CHECK(count == 1);
    return 0;
}
