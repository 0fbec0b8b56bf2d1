// Feeds arbitrary bytes to the frame decoder in chunks of arbitrary size. Every
// frame it finds must encode again to bytes that a fresh decoder turns into
// the same frame with nothing left over, and the decoder never holds a whole
// frame's worth of bytes without deciding about them.
#include "FrameCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    frame::Decoder decoder;
    while (input.remaining_bytes() > 0) {
        const std::size_t chunkSize = input.ConsumeIntegralInRange<std::size_t>(1, 300);
        const std::vector<uint8_t> chunk = input.ConsumeBytes<uint8_t>(chunkSize);
        decoder.feed(chunk.data(), chunk.size());
        while (const auto decoded = decoder.next())
            checkReencodes(*decoded);
        check(decoder.pendingBytes() < frame::kMaxFrameSize);
    }
    return 0;
}
