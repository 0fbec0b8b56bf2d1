// The frame codec: what the decoder finds in the byte streams a link delivers.
#include "FrameCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

frame::Frame makeFrame(uint8_t seq, uint8_t command, Bytes payload, uint8_t station = 255, uint8_t status = 0)
{
    frame::Frame f;
    f.seq = seq;
    f.station = station;
    f.command = command;
    f.status = status;
    f.payload = std::move(payload);
    return f;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<frame::Frame> decodeAll(const Bytes& bytes, std::size_t chunk, frame::Decoder& decoder)
{
    std::vector<frame::Frame> frames;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        decoder.feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
        while (auto f = decoder.next())
            frames.push_back(*f);
    }
    // The stream ends and the line goes quiet: whatever is incomplete is given up.
    decoder.lineQuiet();
    while (auto f = decoder.next())
        frames.push_back(*f);
    return frames;
}

std::vector<frame::Frame> decodeAll(const Bytes& bytes, std::size_t chunk = SIZE_MAX)
{
    frame::Decoder decoder;
    return decodeAll(bytes, chunk == SIZE_MAX ? std::max<std::size_t>(bytes.size(), 1) : chunk, decoder);
}

Bytes fullPayload(std::size_t size)
{
    Bytes payload(size);
    for (std::size_t i = 0; i < size; ++i)
        payload[i] = static_cast<uint8_t>(i * 7 + 1);
    return payload;
}

TEST(FrameCodec, CrcIsCcittFalse)
{
    const std::string check = "123456789";
    EXPECT_EQ(frame::crc16(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0x29B1);
}

TEST(FrameCodec, EncodeRefusesOversizePayload)
{
    EXPECT_TRUE(frame::encode(makeFrame(1, 0x21, Bytes(frame::kMaxPayload + 1))).empty());
    EXPECT_EQ(frame::encode(makeFrame(1, 0x21, Bytes(frame::kMaxPayload))).size(), frame::kMaxFrameSize);
}

struct RoundTripCase {
    const char* name;
    frame::Frame frame;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// Every chunking of the stream gives back exactly the frame encoded.
TEST_P(RoundTrip, InAnyChunking)
{
    const frame::Frame& original = GetParam().frame;
    const Bytes bytes = frame::encode(original);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}, bytes.size()}) {
        frame::Decoder decoder;
        const auto frames = decodeAll(bytes, chunk, decoder);
        ASSERT_EQ(frames.size(), 1u) << "chunk " << chunk;
        EXPECT_EQ(frames[0], original) << "chunk " << chunk;
        EXPECT_EQ(decoder.pendingBytes(), 0u);
        EXPECT_EQ(decoder.discardedBytes(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, RoundTrip,
    ::testing::Values(
        RoundTripCase{"empty_payload", makeFrame(0, 0x10, {})},
        RoundTripCase{"get_parameter", makeFrame(1, 0x20, {153, 1}, 3)},
        RoundTripCase{"answer_with_status", makeFrame(255, 0xA0, {}, 7, 5)},
        RoundTripCase{"payload_full_of_start_bytes", makeFrame(9, 0xA0, Bytes(40, frame::kStartOfFrame))},
        RoundTripCase{"largest_payload", makeFrame(200, 0x21, fullPayload(frame::kMaxPayload))}),
    [](const auto& info) { return std::string(info.param.name); });

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<frame::Frame> expected;
};

const frame::Frame kFirst = makeFrame(1, 0xA0, {0x11, 0x22, 0x33}, 1);
const frame::Frame kSecond = makeFrame(2, 0x90, {}, 1);

// A parameter write (or a read's answer) whose data is itself a whole valid frame.
frame::Frame carrying(const frame::Frame& inner, uint8_t command)
{
    Bytes payload = {100, 0};
    const Bytes bytes = frame::encode(inner);
    payload[1] = static_cast<uint8_t>(bytes.size());
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    return makeFrame(7, command, payload);
}
const frame::Frame kWriteCarryingAFrame = carrying(makeFrame(0x42, 0x22, {1}), 0x21);
const frame::Frame kAnswerCarryingAFrame = makeFrame(9, 0xA0, frame::encode(makeFrame(0x42, 0xA0, {1, 2, 3})));

Bytes withBadCrc(Bytes bytes)
{
    bytes.back() ^= 0x01;
    return bytes;
}

Bytes withLength(Bytes bytes, uint16_t length)
{
    bytes[1] = static_cast<uint8_t>(length >> 8);
    bytes[2] = static_cast<uint8_t>(length & 0xFF);
    return bytes;
}

Bytes truncated(Bytes bytes, std::size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

class Stream : public ::testing::TestWithParam<StreamCase> {};

// What comes out of a stream must not depend on how the transport split it.
TEST_P(Stream, GivesTheExpectedFramesWholeAndByteByByte)
{
    const StreamCase& c = GetParam();
    EXPECT_EQ(decodeAll(c.stream), c.expected) << "whole";
    EXPECT_EQ(decodeAll(c.stream, 1), c.expected) << "byte by byte";
    EXPECT_EQ(decodeAll(c.stream, 5), c.expected) << "five at a time";
}

INSTANTIATE_TEST_SUITE_P(Streams, Stream,
    ::testing::Values(
        StreamCase{"two_frames_in_one_read", concat({frame::encode(kFirst), frame::encode(kSecond)}), {kFirst, kSecond}},
        StreamCase{"garbage_before_a_frame", concat({{0x00, 0x13, 0x5A, 0xFF}, frame::encode(kFirst)}), {kFirst}},
        StreamCase{"garbage_with_start_byte_and_oversize_length",
                   concat({{0x00, frame::kStartOfFrame, 0xFF, 0xFF, 0x5A, 0x13}, frame::encode(kFirst)}), {kFirst}},
        // A stray start byte announcing 200 bytes that never come must not hide the answer behind it.
        StreamCase{"garbage_with_start_byte_and_plausible_length",
                   concat({{frame::kStartOfFrame, 0x00, 0xC8}, frame::encode(kFirst)}), {kFirst}},
        // The frame inside a payload is data: only the outer frame counts, however the bytes come.
        StreamCase{"write_carrying_a_frame", frame::encode(kWriteCarryingAFrame), {kWriteCarryingAFrame}},
        StreamCase{"answer_carrying_a_frame_then_another",
                   concat({frame::encode(kAnswerCarryingAFrame), frame::encode(kSecond)}), {kAnswerCarryingAFrame, kSecond}},
        // A bad CRC gives up the outer start byte only once all its bytes are there; the inner frame is then found.
        StreamCase{"bad_crc_around_a_frame", withBadCrc(frame::encode(kWriteCarryingAFrame)), {makeFrame(0x42, 0x22, {1})}},
        StreamCase{"bad_crc_then_good_frame", concat({withBadCrc(frame::encode(kFirst)), frame::encode(kSecond)}), {kSecond}},
        StreamCase{"oversize_length_then_good_frame",
                   concat({withLength(frame::encode(kFirst), frame::kMaxPayload + 1), frame::encode(kSecond)}), {kSecond}},
        StreamCase{"truncated_frame_then_good_frame",
                   concat({truncated(frame::encode(kFirst), 3), frame::encode(kSecond)}), {kSecond}},
        StreamCase{"bad_crc_alone", withBadCrc(frame::encode(kFirst)), {}},
        StreamCase{"truncated_alone", truncated(frame::encode(kFirst), 1), {}},
        StreamCase{"garbage_only", {0x01, 0x02, frame::kStartOfFrame}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameCodec, TruncatedFrameWaitsAndCompletesLater)
{
    const Bytes bytes = frame::encode(kFirst);
    frame::Decoder decoder;
    decoder.feed(bytes.data(), bytes.size() - 2);
    EXPECT_FALSE(decoder.next());
    EXPECT_EQ(decoder.pendingBytes(), bytes.size() - 2);
    decoder.feed(bytes.data() + bytes.size() - 2, 2);
    EXPECT_EQ(decoder.next(), kFirst);
}

// A start byte with a plausible length holds everything behind it until the line goes quiet.
TEST(FrameCodec, StrayStartByteWaitsForAQuietLine)
{
    const Bytes bytes = concat({{frame::kStartOfFrame, 0x00, 0xC8}, frame::encode(kFirst), frame::encode(kSecond)});
    frame::Decoder decoder;
    decoder.feed(bytes.data(), bytes.size());
    EXPECT_FALSE(decoder.next()) << "the frames behind a pending start byte are part of its payload so far";
    decoder.lineQuiet();
    EXPECT_EQ(decoder.next(), kFirst);
    EXPECT_EQ(decoder.next(), kSecond);
    EXPECT_FALSE(decoder.next());
    EXPECT_EQ(decoder.discardedBytes(), 3u);
    EXPECT_EQ(decoder.pendingBytes(), 0u);
}

TEST(FrameCodec, QuietLineEndsWithTheNextFeed)
{
    const Bytes first = frame::encode(kFirst);
    frame::Decoder decoder;
    decoder.lineQuiet();
    decoder.feed(first.data(), 5);
    EXPECT_FALSE(decoder.next()) << "bytes fed after the quiet line are a frame on its way";
    decoder.feed(first.data() + 5, first.size() - 5);
    EXPECT_EQ(decoder.next(), kFirst);
}

TEST(FrameCodec, ResetForgetsPartialFrame)
{
    const Bytes bytes = frame::encode(kFirst);
    frame::Decoder decoder;
    decoder.feed(bytes.data(), 4);
    decoder.reset();
    const Bytes second = frame::encode(kSecond);
    decoder.feed(second.data(), second.size());
    EXPECT_EQ(decoder.next(), kSecond);
    EXPECT_FALSE(decoder.next());
}

TEST(FrameCodec, NullOrEmptyFeedIsIgnored)
{
    frame::Decoder decoder;
    decoder.feed(nullptr, 10);
    const uint8_t byte = frame::kStartOfFrame;
    decoder.feed(&byte, 0);
    EXPECT_EQ(decoder.pendingBytes(), 0u);
    EXPECT_FALSE(decoder.next());
}

} // namespace
