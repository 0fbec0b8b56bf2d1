// Feeds arbitrary bytes to the frame decoder twice: all at once, and in pieces
// of arbitrary sizes as a serial line delivers them. Both must find the same
// frames, drop the same bytes and hold the same rest, before and after the line
// goes quiet: what the decoder finds may not depend on how the bytes were split.
// Every frame found must also encode again to bytes that a fresh decoder turns
// into the same frame with nothing left over, and the decoder never holds a
// whole frame's worth of bytes without deciding about them; so also when a
// host waiting for one answer takes it from behind a start byte held.
#include "FrameCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkReencodes(const frame::Frame& decoded)
{
    check(decoded.payload.size() <= frame::kMaxPayload);
    const std::vector<uint8_t> bytes = frame::encode(decoded);
    check(bytes.size() == frame::kHeaderSize + decoded.payload.size() + frame::kCrcSize);
    frame::Decoder fresh;
    fresh.feed(bytes.data(), bytes.size());
    const auto again = fresh.next();
    check(again.has_value() && *again == decoded);
    check(!fresh.next().has_value());
    check(fresh.pendingBytes() == 0 && fresh.discardedBytes() == 0);
}

struct Outcome {
    std::vector<frame::Frame> frames;
    std::size_t discarded = 0;
    std::size_t pending = 0;
};

void takeFrames(frame::Decoder& decoder, Outcome& outcome)
{
    while (auto decoded = decoder.next()) {
        checkReencodes(*decoded);
        outcome.frames.push_back(std::move(*decoded));
    }
    check(decoder.pendingBytes() < frame::kMaxFrameSize);
}

// Feeds stream to decoder in pieces of the sizes in plan (cycled; each
// 1..256; no plan: all at once), calling afterEach after each piece.
void feedInPieces(frame::Decoder& decoder, const std::vector<uint8_t>& stream, const std::vector<uint8_t>& plan,
                  const std::function<void()>& afterEach)
{
    std::size_t at = 0;
    for (std::size_t piece = 0; at < stream.size(); ++piece) {
        const std::size_t size = plan.empty() ? stream.size() : std::size_t{plan[piece % plan.size()]} + 1;
        const std::size_t taken = std::min(size, stream.size() - at);
        decoder.feed(stream.data() + at, taken);
        at += taken;
        afterEach();
    }
}

// Decodes stream in pieces of the sizes in plan (cycled; each 1..256), then lets the line go quiet.
Outcome decode(const std::vector<uint8_t>& stream, const std::vector<uint8_t>& plan, Outcome& beforeQuiet)
{
    frame::Decoder decoder;
    Outcome outcome;
    feedInPieces(decoder, stream, plan, [&] { takeFrames(decoder, outcome); });
    beforeQuiet = outcome;
    beforeQuiet.discarded = decoder.discardedBytes();
    beforeQuiet.pending = decoder.pendingBytes();
    decoder.lineQuiet();
    takeFrames(decoder, outcome);
    outcome.discarded = decoder.discardedBytes();
    outcome.pending = decoder.pendingBytes();
    check(outcome.pending == 0);   // a quiet line leaves nothing undecided
    return outcome;
}

// Decodes stream as a host waiting for one answer does: whenever next() gives
// nothing, it takes the frame it waits for (here: sequence number waited)
// from behind the start byte held. What it takes is a whole frame, and the
// decoder goes on after it as before.
void decodeWaiting(const std::vector<uint8_t>& stream, const std::vector<uint8_t>& plan, uint8_t waited)
{
    frame::Decoder decoder;
    Outcome ignored;
    feedInPieces(decoder, stream, plan, [&] {
        takeFrames(decoder, ignored);
        while (auto found = decoder.takeWaitedFor([waited](const frame::Frame& f) { return f.seq == waited; })) {
            check(found->seq == waited);
            checkReencodes(*found);
            takeFrames(decoder, ignored);
        }
    });
}

bool same(const Outcome& a, const Outcome& b)
{
    return a.frames == b.frames && a.discarded == b.discarded && a.pending == b.pending;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::vector<uint8_t> plan = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 16));
    const std::vector<uint8_t> stream = input.ConsumeRemainingBytes<uint8_t>();

    Outcome wholeBeforeQuiet, splitBeforeQuiet;
    const Outcome whole = decode(stream, {}, wholeBeforeQuiet);
    const Outcome split = decode(stream, plan, splitBeforeQuiet);
    check(same(whole, split));
    check(same(wholeBeforeQuiet, splitBeforeQuiet));
    decodeWaiting(stream, plan, plan.empty() ? 0 : plan[0]);
    return 0;
}
