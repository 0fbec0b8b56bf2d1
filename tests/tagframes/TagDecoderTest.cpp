// The tag-frame decoder: formats against the bytes a reader sends.
#include "TagDecoder.h"

#include "HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace {

using tagframe::Decoder;
using tagframe::Format;
using tagframe::FormatBytes;
using tagframe::TagRead;

std::vector<uint8_t> bytesOf(std::string hex)
{
    std::erase(hex, ' ');
    return *bytesFromHex(hex, OddDigit::Refuse);
}

std::vector<uint8_t> operator+(std::vector<uint8_t> left, const std::vector<uint8_t>& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// "DF WW FF PPPPPPPP EEEEEEEE": data format, tag ID window, frame fields, preamble code, end code.
FormatBytes formatOf(const std::string& hex)
{
    const std::vector<uint8_t> b = bytesOf(hex);
    return {b[0], b[1], b[2], {b.begin() + 3, b.begin() + 7}, {b.begin() + 7, b.begin() + 11}};
}

// "10:6816123456789ABC", "-:DEF0" without a reader number.
std::string readText(const TagRead& read)
{
    const std::vector<uint8_t> id(read.id().begin(), read.id().end());
    return (read.readerNumber ? std::to_string(*read.readerNumber) : std::string("-")) + ":" + hexText(id);
}

struct Decoded {
    std::vector<std::string> reads;
    std::size_t held = 0;     // before the stream ends
    uint64_t stray = 0;       // after it ends
};

Decoded decode(const FormatBytes& bytes, const std::vector<uint8_t>& stream, std::size_t piece)
{
    Decoder decoder{Format(bytes)};
    std::vector<TagRead> reads;
    for (std::size_t at = 0; at < stream.size(); at += piece)
        decoder.feed(std::span(stream).subspan(at, std::min(piece, stream.size() - at)), reads);
    Decoded decoded;
    for (const TagRead& read : reads)
        decoded.reads.push_back(readText(read));
    decoded.held = decoder.heldBytes();
    decoder.finish();
    decoded.stray = decoder.strayBytes();
    return decoded;
}

// The worked examples' frames (docs/tag-output.md).
const std::string example1Format = "00 0C F0 02FFFFFF 0D0AFFFF";
const std::vector<uint8_t> example1 = bytesOf("02 01 E2 00 68 16 12 34 56 78 9A BC DE F0 0D 0A");
const std::string example2Format = "01 28 F0 02FFFFFF 0D0AFFFF";
const std::vector<uint8_t> example2 = bytesOf("02 30 41 36 38 31 36 31 32 33 34 35 36 37 38 39 41 42 43 0D 0A");

struct DecodeCase {
    const char* name;
    std::string format;
    std::vector<uint8_t> stream;
    std::vector<std::string> reads;
    std::size_t held;
    uint64_t stray;
};

const DecodeCase decodeCases[] = {
    {"example 1: HEX, whole ID between STX and CR LF", example1Format, example1, {"1:E2006816123456789ABCDEF0"}, 0, 0},
    {"example 2: ASCII, reader 10, eight ID bytes from byte 2", example2Format, example2, {"10:6816123456789ABC"}, 0, 0},
    {"example 3: 4-byte preamble, no reader number, window past the ID's end", "00 A4 B0 AABBCCDD 7EFFFFFF",
     bytesOf("AA BB CC DD DE F0 7E"), {"-:DEF0"}, 0, 0},
    {"garbage before and between frames", example1Format, bytesOf("FF 00") + example1 + bytesOf("13 37") + example1,
     {"1:E2006816123456789ABCDEF0", "1:E2006816123456789ABCDEF0"}, 0, 4},
    {"a cut frame, then a whole one", example1Format,
     std::vector<uint8_t>(example1.begin(), example1.begin() + 9) + example1, {"1:E2006816123456789ABCDEF0"}, 0, 9},
    {"a preamble byte inside a cut frame's ID", example1Format, bytesOf("02 01 E2 02 68") + example1,
     {"1:E2006816123456789ABCDEF0"}, 0, 5},
    {"a frame cut at the stream's end is held, then stray", example1Format,
     example1 + std::vector<uint8_t>(example1.begin(), example1.begin() + 6), {"1:E2006816123456789ABCDEF0"}, 6, 6},
    {"bytes after the last frame that begin none are stray at once", example2Format, example2 + bytesOf("00 38 39"),
     {"10:6816123456789ABC"}, 0, 3},
    {"HEX with an end code only: the end code's bytes inside the ID", "00 04 70 02FFFFFF 0D0AFFFF",
     bytesOf("55  07 0D0A0D0A 0D0A  07 0D0A0000 0D0A"), {"7:0D0A0D0A", "7:0D0A0000"}, 0, 1},
    {"ASCII with an end code only finds the line after junk", "01 0C 30 02FFFFFF 0D0AFFFF",
     bytesOf("6A 75 6E 6B 0D 0A") + bytesOf("4532303036383136313233343536373839414243444546300D0A"),
     {"-:E2006816123456789ABCDEF0"}, 0, 6},
    {"neither code: every frame's bytes in turn", "00 04 60 02FFFFFF 0D0AFFFF", bytesOf("01 AABBCCDD 02 11223344 03 55"),
     {"1:AABBCCDD", "2:11223344"}, 2, 2},
    {"ASCII expected, HEX sent: no read, every byte stray", "01 0C F0 02FFFFFF 0D0AFFFF", example1 + example1 + example1,
     {}, 16, 48},
    {"HEX expected, ASCII sent: no read, every byte stray", example1Format, example2, {}, 0, 21},
    {"lower-case digits are no ASCII frame", example2Format,
     bytesOf("02 30 61 36 38 31 36 31 32 33 34 35 36 37 38 39 41 42 43 0D 0A"), {}, 0, 21},
    {"a setting that makes no frame: everything stray", "00 0C 00 02FFFFFF 0D0AFFFF", example1, {}, 0, 16},
    {"flags on, codes empty, window of no bytes: only the reader number", "00 C4 F0 FFFFFFFF FF000000",
     bytesOf("05 06"), {"5:", "6:"}, 0, 0},
};

class TagDecoding : public ::testing::TestWithParam<DecodeCase> {};

// Each stream whole, in pieces of seven bytes and byte by byte: the reads and
// the stray bytes never depend on how the connection split them.
TEST_P(TagDecoding, FindsTheFramesOfTheFormat)
{
    const DecodeCase& row = GetParam();
    const FormatBytes format = formatOf(row.format);
    for (const std::size_t piece : {row.stream.size(), std::size_t{7}, std::size_t{1}}) {
        const Decoded decoded = decode(format, row.stream, piece);
        EXPECT_EQ(decoded.reads, row.reads) << "in pieces of " << piece;
        EXPECT_EQ(decoded.held, row.held) << "in pieces of " << piece;
        EXPECT_EQ(decoded.stray, row.stray) << "in pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, TagDecoding, ::testing::ValuesIn(decodeCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(uint8_t(c)); }, '_');
                             return name;
                         });

// However much garbage comes, and however it is made to look like frames'
// beginnings, the decoder holds less than a frame and keeps the latest of it.
TEST(TagDecoder, HoldsLessThanAFrameWhateverArrives)
{
    Decoder decoder{Format(formatOf(example1Format))};
    std::vector<TagRead> reads;
    std::vector<uint8_t> preambles(100'000, 0x02);
    preambles.back() = 0x7E;
    decoder.feed(preambles, reads);
    EXPECT_TRUE(reads.empty());
    EXPECT_LT(decoder.heldBytes(), example1.size());
    EXPECT_EQ(decoder.strayBytes() + decoder.heldBytes(), preambles.size());
    decoder.finish();
    const std::vector<uint8_t> sample = decoder.straySample();
    ASSERT_EQ(sample.size(), Decoder::straySampleSize);
    EXPECT_EQ(sample.back(), 0x7E);
}

// A format from each kind of source: whole parameters as the reader holds
// them, a code as a page writes it (shorter than its field), and the
// parameter a source lacks or gives with a wrong length named.
TEST(TagFormat, FromTheParametersOfAnySource)
{
    struct Case {
        std::map<std::string, std::string> given;   // parameter name -> hex bytes
        std::string description;                    // or the error
    };
    const Case cases[] = {
        {{{"data_format", "00"}, {"tag_id_window", "0C"}, {"frame_fields", "F0"}, {"preamble_code", "02FFFFFF"},
          {"end_code", "0D0AFFFF"}},
         "HEX code, 16 bytes a frame: preamble 02, reader number, ID bytes 0 to 11, end code 0D 0A"},
        {{{"data_format", "01"}, {"tag_id_window", "28"}, {"frame_fields", "B0"}, {"preamble_code", "0202"},
          {"end_code", ""}},
         "ASCII code, 18 bytes a frame: preamble 02 02, ID bytes 2 to 9"},
        {{{"data_format", "01"}, {"tag_id_window", "28"}, {"frame_fields", "B0"}, {"preamble_code", "02"}},
         "frame_format.end_code: no value"},
        {{{"data_format", "0001"}, {"tag_id_window", "28"}, {"frame_fields", "B0"}, {"preamble_code", "02"},
          {"end_code", "0D"}},
         "frame_format.data_format: 2 bytes where it has 1"},
    };
    for (const Case& row : cases) {
        const auto converted = tagframe::formatBytesFrom([&](const Para& para) -> std::optional<ParaBytes> {
            const auto given = row.given.find(para.name);
            return given == row.given.end() ? std::nullopt : bytesFromHex(given->second, OddDigit::Refuse);
        });
        EXPECT_EQ(converted ? Format(*converted.result).description() : converted.error, row.description);
    }
}

} // namespace
