// How a reader makes up the frame it sends for each tag it reads
// (docs/tag-output.md): the layout that follows from its frame-format
// parameters, whether they come from the reader, a profile or the Frame Format
// page. Every frame under one setting has the same length.
#pragma once

#include "ParaTable.h"
#include "ParaValue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tagframe {

// A tag's ID as the reader reads it.
inline constexpr std::size_t idSize = 12;
// The longest frame any setting gives: a 4-byte preamble, the reader number and
// the whole ID in ASCII code, a 4-byte end code.
inline constexpr std::size_t maxFrameSize = 4 + 2 + 2 * idSize + 4;

// The bytes of the parameters a frame's make-up follows. A one-byte parameter
// is its byte; a code is its bytes as read (four, a shorter code ended by 0xFF)
// or as written (one to four).
struct FormatBytes {
    uint8_t dataFormat = 0;     // data_format (64): exactly 1 is ASCII code, any other value HEX code
    uint8_t tagIdWindow = 0;    // tag_id_window (65): start in the high nibble, length in the low
    uint8_t frameFields = 0;    // frame_fields (71): bit 7 preamble, 6 reader number, 5 tag ID, 4 end code
    ParaBytes preambleCode;     // preamble_code (72)
    ParaBytes endCode;          // end_code (76)
};

// The parameters of FormatBytes, from the parameter table, in the table's order:
// data_format, tag_id_window, frame_fields, preamble_code, end_code. The Frame
// Format page's other three (output mode, interval, ports) say when and where
// frames go, not what they hold.
const std::array<const Para*, 5>& formatParas();

// A parameter's bytes from some source (the reader, a profile, a page), or
// nullopt when the source has none.
using ParaBytesSource = std::function<std::optional<ParaBytes>(const Para&)>;

// FormatBytes from source; fails naming the first parameter the source lacks
// or gives with a length the parameter cannot have.
Converted<FormatBytes> formatBytesFrom(const ParaBytesSource& source);

class Format {
public:
    explicit Format(const FormatBytes& bytes);

    bool ascii() const { return ascii_; }
    // Empty when its flag is clear or the code is empty (its first byte 0xFF).
    std::span<const uint8_t> preamble() const { return {preamble_.data(), preambleSize_}; }
    std::span<const uint8_t> endCode() const { return {endCode_.data(), endCodeSize_}; }
    bool hasReaderNumber() const { return readerNumber_; }
    // The ID bytes a frame carries: windowLength() bytes from windowStart(),
    // clipped at the ID's end; 0 when the frame holds no ID.
    std::size_t windowStart() const { return windowStart_; }
    std::size_t windowLength() const { return windowLength_; }

    // Bytes a character stands for in the frame's reader number and ID: 1 in HEX code, 2 in ASCII.
    std::size_t charsPerByte() const { return ascii_ ? 2 : 1; }
    // Bytes of every frame; 0 when a frame would hold nothing, so the reader sends none.
    std::size_t frameSize() const;

    // "HEX code, 16 bytes a frame: preamble 02, reader number, ID bytes 0 to 11, end code 0D 0A".
    std::string description() const;

private:
    bool ascii_ = false;
    std::array<uint8_t, 4> preamble_{};
    std::size_t preambleSize_ = 0;
    std::array<uint8_t, 4> endCode_{};
    std::size_t endCodeSize_ = 0;
    bool readerNumber_ = false;
    std::size_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};

} // namespace tagframe
