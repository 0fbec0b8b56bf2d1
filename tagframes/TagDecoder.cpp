#include "TagDecoder.h"

#include <algorithm>
#include <cstring>

namespace tagframe {

namespace {

// Bytes taken into the working buffer at a time, so that a large piece costs
// no more memory than a small one.
constexpr std::size_t takeAtOnce = 16 * 1024;

// An upper-case hexadecimal digit's value; -1 for any other byte.
constexpr std::array<int8_t, 256> digitValues = [] {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i)
        values['0' + i] = int8_t(i);
    for (int i = 0; i < 6; ++i)
        values['A' + i] = int8_t(10 + i);
    return values;
}();

// Two characters, high nibble first, as one byte; nullopt unless both are digits.
std::optional<uint8_t> hexPair(const uint8_t* chars)
{
    const int high = digitValues[chars[0]];
    const int low = digitValues[chars[1]];
    if (high < 0 || low < 0)
        return std::nullopt;
    return uint8_t(high << 4 | low);
}

} // namespace

Decoder::Decoder(const Format& format) : format_(format), frameSize_(format.frameSize())
{
    held_.reserve(takeAtOnce + maxFrameSize);
}

bool Decoder::frameAt(const uint8_t* frame, TagRead& read) const
{
    const std::span<const uint8_t> preamble = format_.preamble();
    const std::span<const uint8_t> endCode = format_.endCode();
    if (!std::equal(preamble.begin(), preamble.end(), frame)
        || !std::equal(endCode.begin(), endCode.end(), frame + frameSize_ - endCode.size()))
        return false;
    const uint8_t* at = frame + preamble.size();
    read.idLength = uint8_t(format_.windowLength());
    if (!format_.ascii()) {
        if (format_.hasReaderNumber())
            read.readerNumber = *at++;
        std::memcpy(read.idBytes.data(), at, read.idLength);
        return true;
    }
    if (format_.hasReaderNumber()) {
        read.readerNumber = hexPair(at);
        if (!read.readerNumber)
            return false;
        at += 2;
    }
    for (std::size_t i = 0; i < read.idLength; ++i, at += 2) {
        const std::optional<uint8_t> byte = hexPair(at);
        if (!byte)
            return false;
        read.idBytes[i] = *byte;
    }
    return true;
}

std::size_t Decoder::nextCandidate(std::span<const uint8_t> bytes, std::size_t from) const
{
    if (format_.preamble().empty() || from >= bytes.size())
        return from;
    const void* found = std::memchr(bytes.data() + from, format_.preamble().front(), bytes.size() - from);
    return found == nullptr ? bytes.size() : std::size_t(static_cast<const uint8_t*>(found) - bytes.data());
}

void Decoder::stray(std::span<const uint8_t> bytes)
{
    strayBytes_ += bytes.size();
    if (bytes.size() > sample_.size())
        bytes = bytes.last(sample_.size());
    for (const uint8_t byte : bytes) {
        sample_[sampleNext_] = byte;
        sampleNext_ = (sampleNext_ + 1) % sample_.size();
    }
}

void Decoder::decodeHeld(std::vector<TagRead>& reads)
{
    const std::span<const uint8_t> bytes(held_);
    if (frameSize_ == 0) {
        // A setting that makes no frame: the reader should send nothing.
        stray(bytes);
        held_.clear();
        return;
    }
    std::size_t at = 0;
    for (;;) {
        if (bytes.size() - at < frameSize_) {
            // Too few bytes for a frame: hold those that may yet begin one.
            const std::size_t next = nextCandidate(bytes, at);
            stray(bytes.subspan(at, next - at));
            at = next;
            break;
        }
        // Decoded in place: a frame costs no copy of its read.
        if (frameAt(bytes.data() + at, reads.emplace_back())) {
            at += frameSize_;
            continue;
        }
        reads.pop_back();
        // No frame begins here: the byte was garbage, or a preamble byte inside an ID.
        const std::size_t next = nextCandidate(bytes, at + 1);
        stray(bytes.subspan(at, next - at));
        at = next;
    }
    held_.erase(held_.begin(), held_.begin() + std::ptrdiff_t(at));
}

void Decoder::feed(std::span<const uint8_t> piece, std::vector<TagRead>& reads)
{
    while (!piece.empty()) {
        const std::size_t taken = std::min(piece.size(), takeAtOnce);
        held_.insert(held_.end(), piece.begin(), piece.begin() + std::ptrdiff_t(taken));
        piece = piece.subspan(taken);
        decodeHeld(reads);
    }
}

void Decoder::finish()
{
    stray(held_);
    held_.clear();
}

std::vector<uint8_t> Decoder::straySample() const
{
    const std::size_t kept = std::min<uint64_t>(strayBytes_, sample_.size());
    std::vector<uint8_t> sample(kept);
    for (std::size_t i = 0; i < kept; ++i)
        sample[i] = sample_[(sampleNext_ + sample_.size() - kept + i) % sample_.size()];
    return sample;
}

} // namespace tagframe
