// Prints how fast the tag-frame decoder turns a reader's output into tag
// reads: megabytes and frames a second for the worked examples' settings of
// docs/tag-output.md, and for a stream of another format (every byte stray),
// fed in pieces of the size a socket read gives.
#include "TagDecoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tagframe::Decoder;
using tagframe::Format;
using tagframe::FormatBytes;

constexpr std::size_t streamSize = 32 * 1024 * 1024;
constexpr std::size_t pieceSize = 4096;
constexpr int repeats = 5;

struct Setting {
    const char* name;
    FormatBytes format;
    std::vector<uint8_t> frame;   // repeated to make the stream
};

std::vector<uint8_t> repeated(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> stream;
    stream.reserve(streamSize + frame.size());
    while (stream.size() < streamSize)
        stream.insert(stream.end(), frame.begin(), frame.end());
    return stream;
}

struct Figures {
    double seconds = 1e9;
    std::size_t reads = 0;
    uint64_t stray = 0;
};

Figures decodeOnce(const Format& format, const std::vector<uint8_t>& stream)
{
    Decoder decoder(format);
    std::vector<tagframe::TagRead> reads;
    reads.reserve(pieceSize);
    Figures figures;
    const auto start = Clock::now();
    for (std::size_t at = 0; at < stream.size(); at += pieceSize) {
        reads.clear();
        decoder.feed(std::span(stream).subspan(at, std::min(pieceSize, stream.size() - at)), reads);
        figures.reads += reads.size();
    }
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    figures.stray = decoder.strayBytes();
    return figures;
}

} // namespace

int main()
{
    const std::vector<uint8_t> example1{0x02, 0x01, 0xE2, 0x00, 0x68, 0x16, 0x12, 0x34,
                                        0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0D, 0x0A};
    const std::string example2 = "\x02"
                                 "0A6816123456789ABC\r\n";
    const std::vector<Setting> settings{
        {"HEX, whole ID between STX and CR LF (example 1)", {0x00, 0x0C, 0xF0, {0x02}, {0x0D, 0x0A}}, example1},
        {"ASCII, reader number, 8 ID bytes (example 2)", {0x01, 0x28, 0xF0, {0x02}, {0x0D, 0x0A}},
         {example2.begin(), example2.end()}},
        {"HEX, 4-byte preamble, 2 ID bytes (example 3)", {0x00, 0xA4, 0xB0, {0xAA, 0xBB, 0xCC, 0xDD}, {0x7E}},
         {0xAA, 0xBB, 0xCC, 0xDD, 0xDE, 0xF0, 0x7E}},
        {"HEX, end code only", {0x00, 0x0C, 0x70, {}, {0x0D, 0x0A}},
         {example1.begin() + 1, example1.end()}},
        {"ASCII expected, example 1's HEX sent (all stray)", {0x01, 0x0C, 0xF0, {0x02}, {0x0D, 0x0A}}, example1},
    };
    std::printf("tag-frame decoder, %zu MB in pieces of %zu bytes, best of %d:\n", streamSize >> 20, pieceSize,
                repeats);
    std::printf("  %-52s %10s %14s %12s\n", "setting", "MB/s", "frames/s", "stray bytes");
    for (const Setting& setting : settings) {
        const Format format(setting.format);
        const std::vector<uint8_t> stream = repeated(setting.frame);
        Figures best;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            const Figures run = decodeOnce(format, stream);
            if (run.seconds < best.seconds)
                best = run;
        }
        std::printf("  %-52s %10.0f %14.0f %12llu\n", setting.name, double(stream.size()) / 1e6 / best.seconds,
                    double(best.reads) / best.seconds, static_cast<unsigned long long>(best.stray));
    }
    return 0;
}
