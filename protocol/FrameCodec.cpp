#include "FrameCodec.h"

#include <algorithm>

namespace frame {

uint16_t crc16(const uint8_t* data, std::size_t size)
{
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint16_t>(data[i]) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

std::vector<uint8_t> encode(const Frame& frame)
{
    const std::size_t length = frame.payload.size();
    if (length > kMaxPayload)
        return {};
    std::vector<uint8_t> bytes;
    bytes.reserve(kHeaderSize + length + kCrcSize);
    bytes.push_back(kStartOfFrame);
    bytes.push_back(static_cast<uint8_t>(length >> 8));
    bytes.push_back(static_cast<uint8_t>(length & 0xFF));
    bytes.push_back(frame.seq);
    bytes.push_back(frame.station);
    bytes.push_back(frame.command);
    bytes.push_back(frame.status);
    bytes.insert(bytes.end(), frame.payload.begin(), frame.payload.end());
    const uint16_t crc = crc16(bytes.data() + 1, bytes.size() - 1);
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
    return bytes;
}

void Decoder::feed(const uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return;
    compact();
    buffer_.insert(buffer_.end(), data, data + size);
    quiet_ = false;
}

void Decoder::reset()
{
    buffer_.clear();
    start_ = 0;
    quiet_ = false;
}

void Decoder::dropByte()
{
    ++start_;
    ++discarded_;
}

void Decoder::compact()
{
    if (start_ == 0)
        return;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
}

Decoder::Candidate Decoder::candidateAt(std::size_t at, std::size_t& total) const
{
    const std::size_t held = buffer_.size() - at;
    if (held < 3)
        return Candidate::Incomplete;
    const uint8_t* p = buffer_.data() + at;
    const std::size_t length = (static_cast<std::size_t>(p[1]) << 8) | p[2];
    if (length > kMaxPayload)
        return Candidate::Noise;
    total = kHeaderSize + length + kCrcSize;
    if (held < total)
        return Candidate::Incomplete;
    const uint16_t expected = static_cast<uint16_t>((p[total - 2] << 8) | p[total - 1]);
    return crc16(p + 1, total - 3) == expected ? Candidate::Whole : Candidate::Noise;
}

Frame Decoder::frameAt(std::size_t at, std::size_t total) const
{
    const uint8_t* p = buffer_.data() + at;
    Frame frame;
    frame.seq = p[3];
    frame.station = p[4];
    frame.command = p[5];
    frame.status = p[6];
    frame.payload.assign(p + kHeaderSize, p + total - kCrcSize);
    return frame;
}

void Decoder::take(std::size_t total)
{
    start_ += total;
    if (start_ == buffer_.size())
        reset();
}

std::optional<Frame> Decoder::next()
{
    for (;;) {
        // Skip line noise up to the next start byte.
        const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(start_);
        const auto sof = std::find(first, buffer_.end(), kStartOfFrame);
        const auto skipped = static_cast<std::size_t>(sof - first);
        start_ += skipped;
        discarded_ += skipped;
        if (pendingBytes() == 0)
            return std::nullopt;

        std::size_t total = 0;
        switch (candidateAt(start_, total)) {
        case Candidate::Incomplete:
            // The rest of the frame is still on its way, unless the line went
            // quiet: then the start byte was noise announcing bytes that never
            // come, and the bytes behind it are searched again.
            if (!quiet_)
                return std::nullopt;
            dropByte();
            continue;
        case Candidate::Noise:   // an impossible length or a bad CRC
            dropByte();
            continue;
        case Candidate::Whole: {
            Frame frame = frameAt(start_, total);
            take(total);
            return frame;
        }
        }
    }
}

std::optional<Frame> Decoder::takeWaitedFor(const std::function<bool(const Frame&)>& wanted)
{
    for (std::size_t at = start_ + 1; at < buffer_.size(); ++at) {
        std::size_t total = 0;
        if (buffer_[at] != kStartOfFrame || candidateAt(at, total) != Candidate::Whole)
            continue;
        Frame frame = frameAt(at, total);
        if (!wanted(frame))
            continue;
        discarded_ += at - start_;
        start_ = at;
        take(total);
        return frame;
    }
    return std::nullopt;
}

} // namespace frame
