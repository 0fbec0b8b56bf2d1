#include "TagFrame.h"

#include "ParaTable.h"

#include <algorithm>

namespace sim {

namespace {

constexpr const Para& kDataFormat = paraNamed(Page::FrameFormat, "data_format");
constexpr const Para& kWindow = paraNamed(Page::FrameFormat, "tag_id_window");
constexpr const Para& kFlags = paraNamed(Page::FrameFormat, "frame_fields");
constexpr const Para& kPreamble = paraNamed(Page::FrameFormat, "preamble_code");
constexpr const Para& kEndCode = paraNamed(Page::FrameFormat, "end_code");
constexpr const Para& kReaderNumber = paraNamed(Page::CommunicationPort, "reader_number");

constexpr uint8_t kAsciiCode = 1;
constexpr uint8_t kPreambleFlag = maskBitNamed(kFlags, "preamble");
constexpr uint8_t kReaderNumberFlag = maskBitNamed(kFlags, "reader_number");
constexpr uint8_t kTagIdFlag = maskBitNamed(kFlags, "tag_id");
constexpr uint8_t kEndCodeFlag = maskBitNamed(kFlags, "end_code");

// A code's bytes up to its first fill byte, which is never sent.
void appendCode(const ParameterMemory& memory, const Para& code, std::vector<uint8_t>& frame)
{
    const auto first = memory.begin() + code.address;
    frame.insert(frame.end(), first, std::find(first, first + code.readLength, code.fill));
}

// In ASCII code a byte goes as two upper-case hexadecimal characters, high nibble first.
void appendData(uint8_t byte, bool ascii, std::vector<uint8_t>& frame)
{
    if (!ascii) {
        frame.push_back(byte);
        return;
    }
    constexpr char digits[] = "0123456789ABCDEF";
    frame.push_back(static_cast<uint8_t>(digits[byte >> 4]));
    frame.push_back(static_cast<uint8_t>(digits[byte & 0x0F]));
}

} // namespace

std::vector<uint8_t> tagFrame(const ParameterMemory& memory, const TagId& id)
{
    const uint8_t flags = memory[kFlags.address];
    const bool ascii = memory[kDataFormat.address] == kAsciiCode;
    std::vector<uint8_t> frame;
    if (flags & kPreambleFlag)
        appendCode(memory, kPreamble, frame);
    if (flags & kReaderNumberFlag)
        appendData(memory[kReaderNumber.address], ascii, frame);
    if (flags & kTagIdFlag) {
        // The window is cut to the ID's bytes: what lies past its end is not sent.
        const std::size_t start = std::min<std::size_t>(memory[kWindow.address] >> 4, id.size());
        const std::size_t end = std::min<std::size_t>(start + (memory[kWindow.address] & 0x0F), id.size());
        for (std::size_t i = start; i < end; ++i)
            appendData(id[i], ascii, frame);
    }
    if (flags & kEndCodeFlag)
        appendCode(memory, kEndCode, frame);
    return frame;
}

} // namespace sim
