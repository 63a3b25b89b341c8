// Cost of decoding what a broken line can deliver: a run of STX bytes, where
// every byte starts a candidate frame, and random bytes. Each input is decoded
// at 256 KiB, 512 KiB and 1 MiB, fed all at once and in 256-byte reads, and
// the ratio of the 1 MiB time to the 256 KiB time is printed: about 4 when the
// decoder is linear in its input, about 16 when it is quadratic.

#include "serialframe.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int KiB = 1024;
constexpr int Sizes[] = {256 * KiB, 512 * KiB, 1024 * KiB};
constexpr int ReadSize = 256;
constexpr int Rounds = 15;

// Milliseconds to decode bytes fed in pieces of pieceSize, best of Rounds.
double decodeMs(const QByteArray &bytes, int pieceSize)
{
    double best = -1;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        FrameDecoder decoder;
        FrameEvent event;
        for (int offset = 0; offset < bytes.size(); offset += pieceSize) {
            decoder.feed(bytes.mid(offset, pieceSize), 0);
            while (decoder.takeEvent(event)) {
            }
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

void report(const char *name, const QByteArray &input)
{
    for (const int pieceSize : {int(input.size()), ReadSize}) {
        std::printf("%-12s %-16s", name, pieceSize == ReadSize ? "256-byte reads" : "all at once");
        double first = 0;
        double last = 0;
        for (const int size : Sizes) {
            last = decodeMs(input.left(size), std::min(pieceSize, size));
            first = first > 0 ? first : last;
            std::printf(" %4d KiB %9.1f ms", size / KiB, last);
        }
        std::printf("   ratio 1 MiB / 256 KiB %5.1f\n", last / first);
    }
}

} // namespace

int main()
{
    const int largest = Sizes[std::size(Sizes) - 1];
    report("STX run", QByteArray(largest, SerialFrame::Stx));
    QByteArray random(largest, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(random.data()), largest / 4);
    report("random", random);
    return 0;
}
