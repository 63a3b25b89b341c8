// The frame decoder on arbitrary bytes, split and timed arbitrarily: every
// event it makes is well-formed, and every frame it accepts was on the line.
//
// The input is a list of pieces: a control byte, a length byte n and n bytes.
// The control byte's low two bits choose the pause before the piece; the next
// two whether its bytes go on the line as they are, or as the encoded frame
// whose SEQ is the first byte and whose payload is the rest (or the rest
// repeated to the largest payload), so that good frames need no guessed CRC.

#include "fuzzsupport.h"
#include "serialframe.h"

#include <cstdint>

namespace {

constexpr qint64 pausesMs[] = {0, 1, SerialFrame::StallMs, SerialFrame::StallMs + 1};

enum PieceKind
{
    RawBytes = 0,
    Frame = 1,
    LargestFrame = 2,
};

QByteArray lineBytes(int kind, const QByteArray &bytes)
{
    if (kind == RawBytes || kind > LargestFrame || bytes.isEmpty())
        return bytes;
    QByteArray payload = bytes.mid(1);
    if (kind == LargestFrame && !payload.isEmpty()) {
        while (payload.size() < SerialFrame::MaxPayload)
            payload += payload;
        payload.truncate(SerialFrame::MaxPayload);
    }
    return SerialFrame::encode(quint8(bytes[0]), payload);
}

// Counts of what the line carried so far and what the decoder made of it.
struct Tally
{
    QByteArray line;
    int acks = 0;
    int naks = 0;
    int framesBegun = 0; // events that each take an STX: Frame, BadFrame, Stalled
};

void takeEvents(FrameDecoder &decoder, Tally &tally)
{
    FrameEvent event;
    bool previousWasNak = false;
    while (decoder.takeEvent(event)) {
        if (event.kind == FrameEvent::Frame) {
            FUZZ_CHECK(event.payload.size() <= SerialFrame::MaxPayload);
            FUZZ_CHECK(tally.line.contains(SerialFrame::encode(event.seq, event.payload)));
        } else {
            FUZZ_CHECK(event.seq == 0 && event.payload.isEmpty());
        }
        switch (event.kind) {
        case FrameEvent::Ack:
            FUZZ_CHECK(--tally.acks >= 0);
            break;
        case FrameEvent::Nak:
            // NAKs waiting together are one event.
            FUZZ_CHECK(!previousWasNak);
            FUZZ_CHECK(--tally.naks >= 0);
            break;
        case FrameEvent::Frame:
        case FrameEvent::BadFrame:
        case FrameEvent::Stalled:
            FUZZ_CHECK(--tally.framesBegun >= 0);
            break;
        }
        previousWasNak = event.kind == FrameEvent::Nak;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FrameDecoder decoder;
    Tally tally;
    qint64 nowMs = 0;
    size_t at = 0;
    while (at + 2 <= size) {
        const quint8 control = data[at];
        const size_t length = qMin<size_t>(data[at + 1], size - at - 2);
        const QByteArray bytes =
            lineBytes((control >> 2) & 3,
                      QByteArray(reinterpret_cast<const char *>(data + at + 2), int(length)));
        at += 2 + length;
        nowMs += pausesMs[control & 3];
        if (bytes.isEmpty()) {
            decoder.expire(nowMs);
        } else {
            tally.line += bytes;
            tally.acks += bytes.count(SerialFrame::Ack);
            tally.naks += bytes.count(SerialFrame::Nak);
            tally.framesBegun += bytes.count(SerialFrame::Stx);
            decoder.feed(bytes, nowMs);
        }
        takeEvents(decoder, tally);
    }
    // Once the line falls silent, no frame stays under way.
    decoder.expire(nowMs + SerialFrame::StallMs + 1);
    takeEvents(decoder, tally);
    FUZZ_CHECK(decoder.msUntilStall(nowMs + SerialFrame::StallMs + 1) == -1);
    return 0;
}
