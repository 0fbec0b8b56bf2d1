// Finds a reader's tag frames (docs/tag-output.md) in the bytes one
// connection or serial line delivers, in pieces of any size: each frame a
// tag read, every byte that makes no frame counted as stray. It finds frames
// again after garbage or a cut frame, and holds less than a frame between
// pieces, whatever arrives.
#pragma once

#include "TagFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tagframe {

// One frame: the reader number when the frame holds one, and the ID bytes of
// the format's window (decoded from their characters in ASCII code).
struct TagRead {
    std::optional<uint8_t> readerNumber;
    std::array<uint8_t, idSize> idBytes{};
    uint8_t idLength = 0;

    std::span<const uint8_t> id() const { return {idBytes.data(), idLength}; }
    bool operator==(const TagRead& other) const
    {
        return readerNumber == other.readerNumber && std::ranges::equal(id(), other.id());
    }
};

class Decoder {
public:
    // The most recent stray bytes kept to show what arrived instead of frames.
    static constexpr std::size_t straySampleSize = 64;

    explicit Decoder(const Format& format);

    // Decodes the next piece of the stream: appends to reads every frame the
    // piece completes, in order. A frame is taken once its last byte is there.
    void feed(std::span<const uint8_t> piece, std::vector<TagRead>& reads);

    // The stream ended (its connection closed): the bytes held are a cut
    // frame and count as stray.
    void finish();

    // Bytes that made no frame, since the decoder was made.
    uint64_t strayBytes() const { return strayBytes_; }
    // The last of them (at most straySampleSize), oldest first.
    std::vector<uint8_t> straySample() const;
    // Bytes held that may yet begin a frame; always fewer than a frame's.
    std::size_t heldBytes() const { return held_.size(); }

    const Format& format() const { return format_; }

private:
    // Fills read (a fresh one) from frame, which holds frameSize_ bytes; false when they are no frame.
    bool frameAt(const uint8_t* frame, TagRead& read) const;
    // Where after from the next frame may begin: the next preamble's first byte, or from itself.
    std::size_t nextCandidate(std::span<const uint8_t> bytes, std::size_t from) const;
    void stray(std::span<const uint8_t> bytes);
    // Decodes what held_ has; keeps what may yet begin a frame.
    void decodeHeld(std::vector<TagRead>& reads);

    Format format_;
    std::size_t frameSize_;
    std::vector<uint8_t> held_;
    uint64_t strayBytes_ = 0;
    std::array<uint8_t, straySampleSize> sample_{};   // a ring: the newest byte before sampleNext_
    std::size_t sampleNext_ = 0;
};

} // namespace tagframe
