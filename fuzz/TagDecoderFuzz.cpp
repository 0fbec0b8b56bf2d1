// Feeds arbitrary bytes to the tag-frame decoder under an arbitrary frame
// format, all at once and in pieces of arbitrary sizes: both must give the
// same reads, the same stray bytes and hold the same rest. Every byte is
// accounted for (a frame's, stray, or held), less than a frame is ever held,
// and every read, made into a frame again, decodes to itself with nothing stray.
#include "TagDecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace tagframe;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void appendHex(std::vector<uint8_t>& frame, uint8_t byte)
{
    constexpr char digits[] = "0123456789ABCDEF";
    frame.push_back(uint8_t(digits[byte >> 4]));
    frame.push_back(uint8_t(digits[byte & 0x0F]));
}

// The frame a reader of this format sends for read.
std::vector<uint8_t> frameOf(const Format& format, const TagRead& read)
{
    std::vector<uint8_t> frame(format.preamble().begin(), format.preamble().end());
    std::vector<uint8_t> values;
    if (read.readerNumber)
        values.push_back(*read.readerNumber);
    values.insert(values.end(), read.id().begin(), read.id().end());
    for (const uint8_t value : values) {
        if (format.ascii())
            appendHex(frame, value);
        else
            frame.push_back(value);
    }
    frame.insert(frame.end(), format.endCode().begin(), format.endCode().end());
    return frame;
}

struct Outcome {
    std::vector<TagRead> reads;
    uint64_t stray = 0;
    std::size_t held = 0;
    std::vector<uint8_t> sample;

    bool operator==(const Outcome&) const = default;
};

// Decodes stream in pieces of the sizes in plan (cycled; each 1..256; empty: all at once).
Outcome decode(const Format& format, const std::vector<uint8_t>& stream, const std::vector<uint8_t>& plan)
{
    Decoder decoder(format);
    Outcome outcome;
    std::size_t at = 0;
    for (std::size_t piece = 0; at < stream.size(); ++piece) {
        const std::size_t size = plan.empty() ? stream.size() : std::size_t{plan[piece % plan.size()]} + 1;
        const std::size_t taken = std::min(size, stream.size() - at);
        decoder.feed(std::span(stream).subspan(at, taken), outcome.reads);
        at += taken;
        check(decoder.heldBytes() < std::max<std::size_t>(format.frameSize(), 1));
    }
    outcome.stray = decoder.strayBytes();
    outcome.held = decoder.heldBytes();
    outcome.sample = decoder.straySample();
    check(outcome.reads.size() * format.frameSize() + outcome.stray + outcome.held == stream.size());
    return outcome;
}

void checkRead(const Format& format, const TagRead& read)
{
    check(read.idLength == format.windowLength() && read.readerNumber.has_value() == format.hasReaderNumber());
    const std::vector<uint8_t> frame = frameOf(format, read);
    check(frame.size() == format.frameSize());
    Decoder fresh(format);
    std::vector<TagRead> again;
    fresh.feed(frame, again);
    check(again.size() == 1 && again.front() == read && fresh.strayBytes() == 0 && fresh.heldBytes() == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    FormatBytes bytes;
    bytes.dataFormat = input.ConsumeIntegralInRange<uint8_t>(0, 2);
    bytes.tagIdWindow = input.ConsumeIntegral<uint8_t>();
    bytes.frameFields = input.ConsumeIntegral<uint8_t>();
    bytes.preambleCode = input.ConsumeBytes<uint8_t>(4);
    bytes.endCode = input.ConsumeBytes<uint8_t>(4);
    const std::vector<uint8_t> plan = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 16));
    const std::vector<uint8_t> stream = input.ConsumeRemainingBytes<uint8_t>();

    const Format format(bytes);
    const Outcome whole = decode(format, stream, {});
    check(whole == decode(format, stream, plan));
    for (const TagRead& read : whole.reads)
        checkRead(format, read);
    return 0;
}
