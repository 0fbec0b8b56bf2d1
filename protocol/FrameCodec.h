// Framing of the reader protocol: encoding one frame, and a streaming decoder
// that finds frames in whatever bytes a transport delivers (split, joined, or
// mixed with line noise). Shared by the device library and the virtual reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace frame {

// Layout: SOF | LEN_HI LEN_LO | SEQ | STATION | CMD | STATUS | PAYLOAD[LEN] | CRC_HI CRC_LO
// CRC-16/CCITT-FALSE over everything after SOF up to the end of the payload.
constexpr uint8_t kStartOfFrame = 0xA5;
constexpr std::size_t kHeaderSize = 7;      // SOF, two length bytes, seq, station, cmd, status
constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kMaxPayload = 260;    // a full 255-byte parameter write plus its address and length
constexpr std::size_t kMaxFrameSize = kHeaderSize + kMaxPayload + kCrcSize;
// A pause after which the bytes of an incomplete frame are given up as noise:
// far longer than any gap inside a frame a reader or host sends, far shorter
// than the 500 ms a call waits for its answer.
constexpr int kQuietLineMs = 100;

struct Frame {
    uint8_t seq = 0;
    uint8_t station = 0;
    uint8_t command = 0;
    uint8_t status = 0;
    std::vector<uint8_t> payload;

    bool operator==(const Frame&) const = default;
};

uint16_t crc16(const uint8_t* data, std::size_t size);

// Returns the frame's bytes; an empty vector when the payload is longer than kMaxPayload.
std::vector<uint8_t> encode(const Frame& frame);

// Feed bytes as they arrive, then take frames with next() until it gives nothing.
// A start byte commits the decoder to the length it announces: nothing behind
// it is looked at until that many bytes are there, so a frame carried inside
// another frame's payload is never taken for a frame of its own, and the frames
// found never depend on how the bytes were split. A start byte is given up (and
// the search goes on from the byte after it) only for an impossible length, a
// bad CRC once the announced bytes are all there, or a quiet line (lineQuiet()).
class Decoder {
public:
    void feed(const uint8_t* data, std::size_t size);
    std::optional<Frame> next();
    void reset();

    // For a host that waits for one frame, when next() gives nothing: a whole
    // frame that wanted() accepts, held behind the start byte next() waits on.
    // The bytes before it are given up as noise. On a line that carries other
    // bytes too (a reader's tag frames), a start byte among them may announce
    // more bytes than come before the frame waited for, and the line is never
    // quiet; the frame waited for is still taken as soon as it is whole.
    std::optional<Frame> takeWaitedFor(const std::function<bool(const Frame&)>& wanted);

    // The line has been quiet for kQuietLineMs: no more bytes are coming for
    // what is held. A frame still incomplete is given up, so the whole frames
    // held behind a stray start byte are found; the next feed() ends this.
    void lineQuiet() { quiet_ = true; }

    // Bytes thrown away while resynchronising, for diagnostics and tests.
    std::size_t discardedBytes() const { return discarded_; }
    // Bytes held that do not yet make a whole frame.
    std::size_t pendingBytes() const { return buffer_.size() - start_; }

private:
    enum class Candidate { Noise, Incomplete, Whole };
    // What begins at buffer_[at] (a start byte); for a whole frame, its size in total.
    Candidate candidateAt(std::size_t at, std::size_t& total) const;
    Frame frameAt(std::size_t at, std::size_t total) const;
    void take(std::size_t total);
    void dropByte();
    void compact();

    std::vector<uint8_t> buffer_;
    std::size_t start_ = 0;
    std::size_t discarded_ = 0;
    bool quiet_ = false;
};

} // namespace frame
